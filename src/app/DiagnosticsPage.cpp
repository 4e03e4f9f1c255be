#include "DiagnosticsPage.h"

#include "Controls.h"
#include "Lamp.h"
#include "TextEdge.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

namespace qta::app {
namespace {

constexpr int kSignalMaximum = 9;

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

QColor textColour(log::Colour colour) {
    return colour == log::Colour::Green ? QColor(0, 128, 0) : QColor(Qt::red);
}

QColor gaugeColour(log::Colour colour) {
    switch (colour) {
    case log::Colour::Green:
        return Qt::green;
    case log::Colour::Yellow:
        return Qt::yellow;
    case log::Colour::Red:
        break;
    }
    return Qt::red;
}

void showColoured(QLineEdit* field, const log::ColouredText& shown) {
    field->setText(QString::fromStdString(shown.text));
    setTextColour(field, textColour(shown.colour));
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

// A group of lamp rows: per row a numbered caption, the "off" place (green lamp
// under a grey one) and the "on" place (red lamp under a grey one).
QGroupBox* DiagnosticsPage::lampGroup(const LampGroup& group) {
    QGroupBox* box = namedGroup(QLatin1String(group.name), QString(), this);
    auto* grid = new QGridLayout(box);
    for (const auto& [name, column] : {std::pair{group.offCaption, 1}, std::pair{group.onCaption, 2}})
        grid->addWidget(namedLabel(QLatin1String(name), designCaption(QLatin1String(name)), box), 0, column);
    for (int row = 1; row <= group.rows; ++row) {
        const QString label = numbered(group.rowLabel, row);
        grid->addWidget(namedLabel(label, designCaption(label), box), row, 0);
        addLampPlace(grid, row, 1, numbered(group.offLamp, row), true, numbered(group.offGrey, row));
        addLampPlace(grid, row, 2, numbered(group.onLamp, row), false, numbered(group.onGrey, row));
    }
    return box;
}

QWidget* DiagnosticsPage::inputsGroup() {
    return lampGroup({"GroupBoxDIN", "LabelDINDEA", "LabelDINAKT", kInputs, "LabelDIN", "IN_D_", "IN_ND_",
                      "IN_A_", "IN_NA_"});
}

QWidget* DiagnosticsPage::outputsGroup() {
    QGroupBox* box = lampGroup({"GroupBoxDOUT", "LabelDOOF", "LabelDOON", kOutputs, "LabelDO", "OUT_V_",
                                "OUT_NV_", "OUT_Z_", "OUT_NZ_"});
    // The grey lamps switch the output: off is command n, on is command n + 4.
    const auto carry = [this](Lamp* lamp, int command) {
        lamp->setProperty("command", command);
        connect(lamp, &Lamp::clicked, this, [this, command] { emit outputClicked(command); });
    };
    for (int n = 1; n <= kOutputs; ++n) {
        carry(box->findChild<Lamp*>(numbered("OUT_NV_", n)), n);
        carry(box->findChild<Lamp*>(numbered("OUT_NZ_", n)), n + kOutputs);
    }
    return box;
}

QWidget* DiagnosticsPage::analogGroup() {
    auto* box = namedGroup(QStringLiteral("GroupBoxDAIN"), QString(), this);
    auto* grid = new QGridLayout(box);
    for (int k = 1; k <= kAnalogInputs; ++k) {
        const QString label = numbered("LabelDAIN", k);
        grid->addWidget(namedLabel(label, designCaption(label), box), k, 0);
        grid->addWidget(readout(QStringLiteral("AIN_%1").arg(k), box), k, 1);
        grid->addWidget(new QLabel(QStringLiteral("V"), box), k, 2);
    }
    return box;
}

QWidget* DiagnosticsPage::powerGroup() {
    auto* box = namedGroup(QStringLiteral("GroupBoxDPSU"), QString(), this);
    auto* grid = new QGridLayout(box);
    grid->addWidget(namedLabel(QStringLiteral("LabelDPSU"), designCaption(QStringLiteral("LabelDPSU")), box),
                    0, 0);
    auto* psu = readout(QStringLiteral("MemoPSU"), box);
    grid->addWidget(psu, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("V"), box), 0, 2);
    grid->addWidget(
        namedLabel(QStringLiteral("LabelDMPSU"), designCaption(QStringLiteral("LabelDMPSU")), box), 1, 0);
    auto* mains = readout(QStringLiteral("Memo230V"), box);
    grid->addWidget(mains, 1, 1);
    setTextColour(psu, Qt::darkGreen);
    return box;
}

QWidget* DiagnosticsPage::timeGroup() {
    auto* box = namedGroup(QStringLiteral("GroupBoxDT"), QString(), this);
    auto* grid = new QGridLayout(box);
    grid->addWidget(readout(QStringLiteral("editTIME"), box, 150), 0, 0);
    return box;
}

QWidget* DiagnosticsPage::signalGroup() {
    auto* box = namedGroup(QStringLiteral("GroupBoxDS"), QString(), this);
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

QWidget* DiagnosticsPage::grey(const char* family, int number) const {
    return findChild<Lamp*>(numbered(family, number));
}

QLineEdit* DiagnosticsPage::readoutNamed(const char* name) const {
    return findChild<QLineEdit*>(QLatin1String(name));
}

QProgressBar* DiagnosticsPage::gauge() const {
    return findChild<QProgressBar*>(QStringLiteral("gaugeSIGNAL"));
}

void DiagnosticsPage::ShowDiag(const log::StatusView& status, bool outputCommandPending) {
    for (int i = 1; i <= kInputs; ++i) {
        const bool active = status.inputActive[static_cast<std::size_t>(i - 1)];
        grey("IN_NA_", i)->setVisible(!active);
        grey("IN_ND_", i)->setVisible(active);
    }
    readoutNamed("AIN_1")->setText(QString::fromStdString(status.AIN_1));
    readoutNamed("AIN_2")->setText(QString::fromStdString(status.AIN_2));
    showColoured(readoutNamed("MemoPSU"), status.MemoPSU);
    if (status.Memo230V)
        showColoured(readoutNamed("Memo230V"), *status.Memo230V);
    if (status.gaugeSIGNAL) {
        gauge()->setValue(status.gaugeSIGNAL->level);
        QPalette palette = gauge()->palette();
        palette.setColor(QPalette::Highlight, gaugeColour(status.gaugeSIGNAL->colour));
        gauge()->setPalette(palette);
    }
    // The clock's bytes as the device sent them.
    readoutNamed("editTIME")->setText(fromCp1250(status.editTIME));
    if (status.MemoGPRS)
        showColoured(readoutNamed("MemoGPRS"), *status.MemoGPRS);
    if (outputCommandPending)
        return;
    for (int n = 1; n <= kOutputs; ++n)
        showOutput(n, status.outputOn[static_cast<std::size_t>(n - 1)]);
}

// Hiding a grey lamp lights the one under it: the red on lamp or the green off lamp.
void DiagnosticsPage::showOutput(int output, bool on) {
    grey("OUT_NZ_", output)->setVisible(!on);
    grey("OUT_NV_", output)->setVisible(on);
}

void DiagnosticsPage::showOutputCommand(int command) {
    if (command < 1 || command > 2 * kOutputs)
        return;
    const bool on = command > kOutputs;
    showOutput(on ? command - kOutputs : command, on);
}

void DiagnosticsPage::clearDeviceReadouts() {
    for (const char* name : {"MemoPSU", "MemoGPRS", "editTIME"})
        findChild<QLineEdit*>(QLatin1String(name))->clear();
    findChild<QProgressBar*>(QStringLiteral("gaugeSIGNAL"))->setValue(0);
}

} // namespace qta::app
