#include "DiagnosticsPage.h"

#include "Lamp.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

namespace qta::app {
namespace {

constexpr int kInputs = 8;
constexpr int kOutputs = 4;
constexpr int kAnalogInputs = 2;
constexpr int kSignalMaximum = 9;

QGroupBox* group(const QString& name, QWidget* parent) {
    auto* box = new QGroupBox(parent);
    box->setObjectName(name);
    return box;
}

QLabel* label(const QString& name, const QString& text, QWidget* parent) {
    auto* caption = new QLabel(text, parent);
    caption->setObjectName(name);
    return caption;
}

QLineEdit* readout(const QString& name, QWidget* parent, int width = 60) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignRight);
    field->setFixedWidth(width);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

} // namespace

DiagnosticsPage::DiagnosticsPage(QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->addWidget(inputsGroup(), 0, 0, 3, 1);
    grid->addWidget(outputsGroup(), 0, 1);
    grid->addWidget(analogGroup(), 1, 1);
    grid->addWidget(powerGroup(), 0, 2);
    grid->addWidget(timeGroup(), 1, 2);
    grid->addWidget(signalGroup(), 2, 1, 1, 2);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(3, 1);
    blank();
}

void DiagnosticsPage::addLampPlace(QGridLayout* grid, int row, int column, const QString& lit, bool litGreen,
                                   const QString& grey) {
    auto* parent = grid->parentWidget();
    grid->addWidget(new Lamp(lit, litGreen ? Lamp::Colour::Green : Lamp::Colour::Red, parent), row, column,
                    Qt::AlignCenter);
    // Added last, so it lies on top of the lit lamp.
    grid->addWidget(new Lamp(grey, Lamp::Colour::Grey, parent), row, column, Qt::AlignCenter);
}

QWidget* DiagnosticsPage::inputsGroup() {
    auto* box = group(QStringLiteral("GroupBoxDIN"), this);
    auto* grid = new QGridLayout(box);
    grid->addWidget(label(QStringLiteral("LabelDINDEA"), QStringLiteral("Neaktívny"), box), 0, 1);
    grid->addWidget(label(QStringLiteral("LabelDINAKT"), QStringLiteral("Aktívny"), box), 0, 2);
    for (int i = 1; i <= kInputs; ++i) {
        grid->addWidget(label(QStringLiteral("LabelDIN%1").arg(i), QStringLiteral("%1. ").arg(i), box), i, 0);
        addLampPlace(grid, i, 1, QStringLiteral("IN_D_%1").arg(i), true, QStringLiteral("IN_ND_%1").arg(i));
        addLampPlace(grid, i, 2, QStringLiteral("IN_A_%1").arg(i), false, QStringLiteral("IN_NA_%1").arg(i));
    }
    return box;
}

QWidget* DiagnosticsPage::outputsGroup() {
    auto* box = group(QStringLiteral("GroupBoxDOUT"), this);
    auto* grid = new QGridLayout(box);
    grid->addWidget(label(QStringLiteral("LabelDOOF"), QStringLiteral("Vypnutý"), box), 0, 1);
    grid->addWidget(label(QStringLiteral("LabelDOON"), QStringLiteral("Zapnutý"), box), 0, 2);
    for (int n = 1; n <= kOutputs; ++n) {
        grid->addWidget(label(QStringLiteral("LabelDO%1").arg(n), QStringLiteral("%1. ").arg(n), box), n, 0);
        addLampPlace(grid, n, 1, QStringLiteral("OUT_V_%1").arg(n), true, QStringLiteral("OUT_NV_%1").arg(n));
        addLampPlace(grid, n, 2, QStringLiteral("OUT_Z_%1").arg(n), false,
                     QStringLiteral("OUT_NZ_%1").arg(n));
        // The grey lamps switch the output: off is command n, on is command n + 4.
        box->findChild<Lamp*>(QStringLiteral("OUT_NV_%1").arg(n))->setProperty("command", n);
        box->findChild<Lamp*>(QStringLiteral("OUT_NZ_%1").arg(n))->setProperty("command", n + kOutputs);
    }
    return box;
}

QWidget* DiagnosticsPage::analogGroup() {
    auto* box = group(QStringLiteral("GroupBoxDAIN"), this);
    auto* grid = new QGridLayout(box);
    for (int k = 1; k <= kAnalogInputs; ++k) {
        grid->addWidget(label(QStringLiteral("LabelDAIN%1").arg(k), QStringLiteral("%1. ").arg(k), box), k,
                        0);
        grid->addWidget(readout(QStringLiteral("AIN_%1").arg(k), box), k, 1);
        grid->addWidget(new QLabel(QStringLiteral("V"), box), k, 2);
    }
    return box;
}

QWidget* DiagnosticsPage::powerGroup() {
    auto* box = group(QStringLiteral("GroupBoxDPSU"), this);
    auto* grid = new QGridLayout(box);
    grid->addWidget(label(QStringLiteral("LabelDPSU"), QStringLiteral("Systém. napätie"), box), 0, 0);
    auto* psu = readout(QStringLiteral("MemoPSU"), box);
    grid->addWidget(psu, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("V"), box), 0, 2);
    grid->addWidget(label(QStringLiteral("LabelDMPSU"), QStringLiteral("Hl. napájanie"), box), 1, 0);
    auto* mains = readout(QStringLiteral("Memo230V"), box);
    grid->addWidget(mains, 1, 1);
    setTextColour(psu, Qt::darkGreen);
    return box;
}

QWidget* DiagnosticsPage::timeGroup() {
    auto* box = group(QStringLiteral("GroupBoxDT"), this);
    auto* grid = new QGridLayout(box);
    grid->addWidget(readout(QStringLiteral("editTIME"), box, 150), 0, 0);
    return box;
}

QWidget* DiagnosticsPage::signalGroup() {
    auto* box = group(QStringLiteral("GroupBoxDS"), this);
    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel(QStringLiteral("GSM"), box), 0, 0);
    auto* gauge = new QProgressBar(box);
    gauge->setObjectName(QStringLiteral("gaugeSIGNAL"));
    gauge->setRange(0, kSignalMaximum);
    gauge->setTextVisible(false);
    QPalette palette = gauge->palette();
    palette.setColor(QPalette::Highlight, Qt::green);
    gauge->setPalette(palette);
    grid->addWidget(gauge, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("GPRS"), box), 1, 0);
    grid->addWidget(readout(QStringLiteral("MemoGPRS"), box), 1, 1);
    return box;
}

void DiagnosticsPage::blank() {
    for (auto* lamp : findChildren<Lamp*>()) {
        if (lamp->objectName().contains(QLatin1String("_N")))
            lamp->show();
    }
    for (const char* name : {"AIN_1", "AIN_2", "editTIME", "MemoPSU", "Memo230V", "MemoGPRS"})
        findChild<QLineEdit*>(QLatin1String(name))->clear();
    setTextColour(findChild<QLineEdit*>(QStringLiteral("Memo230V")), Qt::red);
    findChild<QProgressBar*>(QStringLiteral("gaugeSIGNAL"))->setValue(0);
}

void DiagnosticsPage::clearDeviceReadouts() {
    for (const char* name : {"MemoPSU", "MemoGPRS", "editTIME"})
        findChild<QLineEdit*>(QLatin1String(name))->clear();
    findChild<QProgressBar*>(QStringLiteral("gaugeSIGNAL"))->setValue(0);
}

} // namespace qta::app
