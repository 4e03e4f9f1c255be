// The top bar and the pages of the main window, built from the field table:
// every field widget comes from the FieldBinder under the field's own name.
#include "TfMain.h"

#include "DiagnosticsPage.h"
#include "EventLogPage.h"
#include "FieldBinder.h"
#include "NumberListBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qta::app {
namespace {

constexpr int kInputs = 8;
constexpr int kAnalogInputs = 2;
constexpr int kOutputs = 4;
constexpr int kTopBarHeight = 30;
constexpr int kStatusPixels = 13;
constexpr int kSmsTextWidth = 190;

QLabel* caption(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QGroupBox* group(const QString& name, const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    return box;
}

QWidget* page(const QString& name, QWidget* parent) {
    auto* sheet = new QWidget(parent);
    sheet->setObjectName(name);
    return sheet;
}

QTabWidget* pageControl(const QString& name, QWidget* parent) {
    auto* tabs = new QTabWidget(parent);
    tabs->setObjectName(name);
    return tabs;
}

// The link icon: a plug, green when linked, grey otherwise.
QLabel* linkImage(const QString& name, const QColor& colour, QWidget* parent) {
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour.darker(150), 2));
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(3, 7, 10, 8), 2, 2);
    painter.drawLine(QPointF(13, 9), QPointF(19, 9));
    painter.drawLine(QPointF(13, 13), QPointF(19, 13));
    painter.drawLine(QPointF(0, 11), QPointF(3, 11));
    painter.end();
    auto* image = new QLabel(parent);
    image->setObjectName(name);
    image->setPixmap(pixmap);
    return image;
}

int listIndex(const char* family, int index) {
    const auto& lists = FieldTable::instance().lists();
    for (std::size_t k = 0; k < lists.size(); ++k) {
        if (lists[k].family == family && lists[k].index == index)
            return static_cast<int>(k);
    }
    return -1;
}

// A label with its field (and an optional unit) as one row of a grid.
void addRow(QGridLayout* grid, QLabel* label, QWidget* field, QLabel* unit = nullptr) {
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    if (unit)
        grid->addWidget(unit, row, 2);
}

// The unit label after a delay field: LabelSEK1..8 inputs, 9..10 analog inputs, 11..14 outputs.
QLabel* secondsLabel(int number, QWidget* parent) {
    return caption(QStringLiteral("LabelSEK%1").arg(number), QStringLiteral("sek."), parent);
}

} // namespace

QWidget* TfMain::field(const char* family, int index1, QWidget* parent) {
    const FieldTable& table = config_.table();
    const FieldId id = index1 > 0 ? table.id(family, index1) : table.id(family);
    QWidget* placed = binder_->createPlaced(id, parent);
    if (config_.table()[id].kind == FieldKind::SmsText)
        placed->setFixedWidth(kSmsTextWidth);
    return placed;
}

QWidget* TfMain::listBox(const QString& name, const char* family, int index) {
    return new NumberListBox(name, listIndex(family, index), *binder_, nullptr);
}

QWidget* TfMain::leafPage(const QString& name, std::function<void(QWidget*)> fill) {
    QWidget* sheet = page(name, nullptr);
    // The page in front at start is filled at once; the others right after the
    // window is first painted, or as soon as anything needs them.
    if (pendingPages_.empty() && !firstPageFilled_) {
        fill(sheet);
        firstPageFilled_ = true;
    } else {
        pendingPages_.push_back({sheet, std::move(fill)});
    }
    return sheet;
}

QWidget* TfMain::buildTopBar() {
    auto* bar = new QWidget;
    bar->setFixedHeight(kTopBarHeight);
    // Placed by pixel like the catalogue's left edge of `Heslo`.
    auto* usb = new QRadioButton(QStringLiteral("USB"), bar);
    usb->setObjectName(QStringLiteral("rdbUSB"));
    usb->setChecked(true);
    usb->move(8, 6);
    auto* gprs = new QRadioButton(QStringLiteral("GPRS"), bar);
    gprs->setObjectName(QStringLiteral("rdbGPRS"));
    gprs->move(60, 6);
    caption(QStringLiteral("Label415"), QStringLiteral("APN:"), bar)->move(125, 8);
    QWidget* apn = binder_->createPlaced(config_.table().id("editAPN"), bar);
    apn->setGeometry(155, 4, 130, 22);
    heslo_ = caption(QStringLiteral("Heslo"), QStringLiteral("Heslo"), bar);
    heslo_->setToolTip(QStringLiteral("Enter new acces code"));
    heslo_->move(336, 8);
    QWidget* pass = binder_->createPlaced(config_.table().id("Pass"), bar);
    pass->setGeometry(378, 4, 90, 22);
    caption(QStringLiteral("Label411"), QStringLiteral("USB"), bar)->move(480, 8);
    auto* linked = linkImage(QStringLiteral("Image1"), QColor(0, 170, 0), bar);
    linked->move(515, 4);
    linked->hide();
    linkImage(QStringLiteral("Image2"), QColor(150, 150, 150), bar)->move(515, 4);
    status_ = caption(QStringLiteral("Label406"), QStringLiteral("Odpojené"), bar);
    QFont statusFont = status_->font();
    statusFont.setPixelSize(kStatusPixels);
    status_->setFont(statusFont);
    QPalette palette = status_->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    status_->setPalette(palette);
    status_->setGeometry(545, 6, 200, 20);
    sprache_ = new QComboBox(bar);
    sprache_->setObjectName(QStringLiteral("Sprache"));
    sprache_->setEditable(true);
    sprache_->addItems({QStringLiteral("EN"), QStringLiteral("DE"), QStringLiteral("SK")});
    sprache_->setEditText(QStringLiteral("EN"));
    sprache_->hide();
    return bar;
}

QTabWidget* TfMain::buildPages() {
    auto* pages = pageControl(QStringLiteral("PageControl1"), nullptr);
    pages->addTab(digitalInputsPage(), QStringLiteral("Digit. vstupy"));
    pages->addTab(leafPage(QStringLiteral("TabSheet4"), [this](QWidget* sheet) { fillArcPage(sheet); }),
                  QStringLiteral("PCO"));
    pages->addTab(leafPage(QStringLiteral("TabSheet5"), [this](QWidget* sheet) { fillBlockingPage(sheet); }),
                  QStringLiteral("Blokovanie vstupov"));
    pages->addTab(analogInputsPage(), QStringLiteral("Analog. vstupy"));
    pages->addTab(outputsPage(), QStringLiteral("Digit. výstupy"));
    pages->addTab(leafPage(QStringLiteral("TabSheet6"), [this](QWidget* sheet) { fillHearingPage(sheet); }),
                  QStringLiteral("Odposluch"));
    pages->addTab(leafPage(QStringLiteral("TabSheet7"), [this](QWidget* sheet) { fillStatusSmsPage(sheet); }),
                  QStringLiteral("Stavové SMS"));
    eventLog_ = new EventLogPage(nullptr);
    eventLog_->setObjectName(QStringLiteral("TabSheet8"));
    pages->addTab(eventLog_, QStringLiteral("Denník"));
    diagnostics_ = new DiagnosticsPage(nullptr);
    diagnostics_->setObjectName(QStringLiteral("TabSheet9"));
    pages->addTab(diagnostics_, QStringLiteral("Diagnostika"));
    return pages;
}

QWidget* TfMain::digitalInputsPage() {
    QWidget* sheet = page(QStringLiteral("TabSheet1"), nullptr);
    auto* inputs = pageControl(QStringLiteral("PageControlIN"), sheet);
    for (int i = 1; i <= kInputs; ++i)
        inputs->addTab(leafPage(QStringLiteral("TabSheetIN%1").arg(i),
                                [this, i](QWidget* sub) { fillDigitalInputPage(sub, i); }),
                       QStringLiteral("%1. vstup").arg(i));
    (new QVBoxLayout(sheet))->addWidget(inputs);
    return sheet;
}

void TfMain::fillDigitalInputPage(QWidget* sheet, int input) {
    auto* left = new QVBoxLayout;
    QGroupBox* sms =
        group(QStringLiteral("GroupBoxSMS_IN%1").arg(input), QStringLiteral(" Texty SMS  "), sheet);
    auto* smsGrid = new QGridLayout(sms);
    addRow(smsGrid, caption(QStringLiteral("LabelAkt%1").arg(input), QStringLiteral("Aktivácia"), sms),
           field("T_SMS_IN", input, sms));
    addRow(smsGrid, caption(QStringLiteral("LabelDeakt%1").arg(input), QStringLiteral("Deaktivácia"), sms),
           field("T_SMS_RIN", input, sms));
    left->addWidget(sms);

    auto* settings = new QGridLayout;
    addRow(settings, caption(QStringLiteral("LabelDelay%1").arg(input), QStringLiteral("Oneskorenie"), sheet),
           field("DELAY_IN", input, sheet), secondsLabel(input, sheet));
    auto* polarity = new QHBoxLayout;
    polarity->addWidget(field("NO_IN", input, sheet));
    polarity->addWidget(field("NC_IN", input, sheet));
    const int row = settings->rowCount();
    settings->addWidget(
        caption(QStringLiteral("LabelTypIN%1").arg(input), QStringLiteral("Typ vstupu"), sheet), row, 0);
    settings->addLayout(polarity, row, 1, 1, 2);
    left->addLayout(settings);
    left->addStretch();

    auto* row0 = new QHBoxLayout(sheet);
    row0->addLayout(left);
    row0->addWidget(listBox(QStringLiteral("GroupBox_TV_IN%1").arg(input), "TNIN_V_", input));
    row0->addWidget(listBox(QStringLiteral("GroupBox_TS_IN%1").arg(input), "TNIN_S_", input));
}

void TfMain::fillArcPage(QWidget* sheet) {
    QGroupBox* codes = group(QStringLiteral("GroupBox2"), QStringLiteral("Vysielané kódy "), sheet);
    auto* grid = new QGridLayout(codes);
    const char* headers[][2] = {{"Label6", "Kód objektu"},
                                {"Label3", "Udalosť"},
                                {"Label4", "Skupina/partícia"},
                                {"Label5", "Zóna/užívateľ"}};
    for (int column = 0; column < 4; ++column)
        grid->addWidget(
            caption(QLatin1String(headers[column][0]), QString::fromUtf8(headers[column][1]), codes), 0,
            column + 1);
    for (int i = 1; i <= kInputs; ++i) {
        // The row captions are Label2 for input 1 and Label7 to Label13 for inputs 2 to 8.
        const int labelNumber = i == 1 ? 2 : i + 5;
        grid->addWidget(
            caption(QStringLiteral("Label%1").arg(labelNumber), QStringLiteral("%1. vstup").arg(i), codes), i,
            0);
        const char* families[] = {"ObjCodeIN", "EventCodeIN", "PartCodeIN", "ZoneCodeIN"};
        for (int column = 0; column < 4; ++column)
            grid->addWidget(field(families[column], i, codes), i, column + 1);
    }

    QGroupBox* centre = group(QStringLiteral("GroupBox3"), QStringLiteral("Prístup na PCO  "), sheet);
    auto* access = new QGridLayout(centre);
    const auto port = [centre] {
        return new QLabel(QStringLiteral("Port"), centre);
    };
    addRow(access, caption(QStringLiteral("Label14"), QStringLiteral("IP adresa"), centre),
           field("IP_PCO", 0, centre));
    addRow(access, port(), field("Port_PCO", 0, centre));
    addRow(access, caption(QStringLiteral("Label16"), QStringLiteral("Interval testu spojenia :"), centre),
           field("TestPCO", 0, centre), caption(QStringLiteral("Label17"), QStringLiteral("hodín"), centre));
    addRow(access, caption(QStringLiteral("Label22"), QStringLiteral("IP adresa"), centre),
           field("IP_PCO2", 0, centre));
    addRow(access, port(), field("Port_PCO2", 0, centre));
    addRow(access, caption(QStringLiteral("Label24"), QStringLiteral("  Tel. číslo pre SMS:"), centre),
           field("SMS_PCO", 0, centre));
    access->setRowStretch(access->rowCount(), 1);

    auto* layout = new QHBoxLayout(sheet);
    layout->addWidget(codes, 0, Qt::AlignTop);
    layout->addWidget(centre, 0, Qt::AlignTop);
    layout->addStretch();
}

void TfMain::fillBlockingPage(QWidget* sheet) {
    auto* left = new QVBoxLayout;
    QGroupBox* sms = group(QStringLiteral("GroupBox8"), QStringLiteral(" Texty SMS  "), sheet);
    auto* smsGrid = new QGridLayout(sms);
    addRow(smsGrid, caption(QStringLiteral("Label90"), QStringLiteral("Blokovať"), sms),
           field("MemoBlock_", 1, sms));
    addRow(smsGrid, caption(QStringLiteral("Label89"), QStringLiteral("Odblokovať"), sms),
           field("MemoBlock_", 2, sms));
    left->addWidget(sms);
    QGroupBox* dtmf = group(QStringLiteral("GroupBox5"), QStringLiteral(" DTMF kód  "), sheet);
    auto* dtmfGrid = new QGridLayout(dtmf);
    addRow(dtmfGrid, caption(QStringLiteral("Label20"), QStringLiteral("Blokovať"), dtmf),
           field("DTMF_BLOCK", 1, dtmf));
    addRow(dtmfGrid, caption(QStringLiteral("Label21"), QStringLiteral("Odblokovať"), dtmf),
           field("DTMF_BLOCK", 2, dtmf));
    left->addWidget(dtmf);
    left->addStretch();

    auto* layout = new QHBoxLayout(sheet);
    layout->addLayout(left);
    layout->addWidget(listBox(QStringLiteral("GroupBox6"), "TNBLK_S_", 0));
    layout->addWidget(listBox(QStringLiteral("GroupBox7"), "TNBLK_V_", 0));
}

QWidget* TfMain::analogInputsPage() {
    QWidget* sheet = page(QStringLiteral("TabSheet2"), nullptr);
    auto* inputs = pageControl(QStringLiteral("PageControlAIN"), sheet);
    for (int i = 1; i <= kAnalogInputs; ++i)
        inputs->addTab(leafPage(QStringLiteral("TabSheetAIN%1").arg(i),
                                [this, i](QWidget* sub) { fillAnalogInputPage(sub, i); }),
                       QStringLiteral("%1. vstup").arg(i));
    (new QVBoxLayout(sheet))->addWidget(inputs);
    return sheet;
}

void TfMain::fillAnalogInputPage(QWidget* sheet, int input) {
    auto* left = new QVBoxLayout;
    QGroupBox* sms =
        group(QStringLiteral("GroupBoxSMS_AIN%1").arg(input), QStringLiteral(" Texty SMS  "), sheet);
    auto* smsGrid = new QGridLayout(sms);
    addRow(smsGrid, new QLabel(QStringLiteral("Uin > Umax"), sms), field("T_SMS_AIN", input, sms));
    addRow(smsGrid, new QLabel(QStringLiteral("Uin < Umin"), sms), field("T_SMS_RAIN", input, sms));
    left->addWidget(sms);

    auto* settings = new QGridLayout;
    addRow(settings,
           caption(QStringLiteral("LabelDelayAIN%1").arg(input), QStringLiteral("Oneskorenie"), sheet),
           field("DELAY_AIN", input, sheet), secondsLabel(kInputs + input, sheet));
    addRow(settings, new QLabel(QStringLiteral("Umax"), sheet), field("UMAX_AIN", input, sheet),
           new QLabel(QStringLiteral("V"), sheet));
    addRow(settings, new QLabel(QStringLiteral("Umin"), sheet), field("UMIN_AIN", input, sheet),
           new QLabel(QStringLiteral("V"), sheet));
    left->addLayout(settings);
    left->addStretch();

    auto* layout = new QHBoxLayout(sheet);
    layout->addLayout(left);
    layout->addWidget(listBox(QStringLiteral("GroupBox_TV_AIN%1").arg(input), "TNAIN_V_", input));
    layout->addWidget(listBox(QStringLiteral("GroupBox_TS_AIN%1").arg(input), "TNAIN_S_", input));
}

QWidget* TfMain::outputsPage() {
    QWidget* sheet = page(QStringLiteral("TabSheet3"), nullptr);
    auto* outputs = pageControl(QStringLiteral("PageControlOUT"), sheet);
    for (int n = 1; n <= kOutputs; ++n)
        outputs->addTab(leafPage(QStringLiteral("TabSheetOUT%1").arg(n),
                                 [this, n](QWidget* sub) { fillOutputPage(sub, n); }),
                        QStringLiteral("%1. výstup").arg(n));
    (new QVBoxLayout(sheet))->addWidget(outputs);
    return sheet;
}

void TfMain::fillOutputPage(QWidget* sheet, int output) {
    auto* left = new QVBoxLayout;
    QGroupBox* sms =
        group(QStringLiteral("GroupBoxSMS_OUT%1").arg(output), QStringLiteral(" Texty SMS  "), sheet);
    auto* smsGrid = new QGridLayout(sms);
    addRow(smsGrid, caption(QStringLiteral("LabelON%1").arg(output), QStringLiteral("Zapnutie"), sms),
           field("T_SMS_OUT_ON_", output, sms));
    addRow(smsGrid, caption(QStringLiteral("LabelOFF%1").arg(output), QStringLiteral("Vypnutie"), sms),
           field("T_SMS_OUT_OFF_", output, sms));
    left->addWidget(sms);
    QGroupBox* dtmf =
        group(QStringLiteral("GroupBoxDTMF_OUT%1").arg(output), QStringLiteral("  DTMF kód  "), sheet);
    auto* dtmfGrid = new QGridLayout(dtmf);
    addRow(dtmfGrid, caption(QStringLiteral("LabelDTMFON%1").arg(output), QStringLiteral("Zapnutie"), dtmf),
           field("DTMF_OUT_ON_", output, dtmf));
    addRow(dtmfGrid, caption(QStringLiteral("LabelDTMFOFF%1").arg(output), QStringLiteral("Vypnutie"), dtmf),
           field("DTMF_OUT_OFF_", output, dtmf));
    left->addWidget(dtmf);

    auto* settings = new QGridLayout;
    addRow(settings,
           caption(QStringLiteral("LabelTimeOn%1").arg(output), QStringLiteral("Doba zopnutia"), sheet),
           field("DELAY_OUT", output, sheet), secondsLabel(kInputs + kAnalogInputs + output, sheet));
    // Output 1 may switch on while the inputs are blocked, output 2 while dialling.
    const char* options[][2] = {{"Label18", "Zopnúť pri blokovaní"}, {"Label19", "Zopnúť pri volaní"}};
    if (output <= 2) {
        auto* option = field("CheckOut_", output, sheet);
        addRow(
            settings,
            caption(QLatin1String(options[output - 1][0]), QString::fromUtf8(options[output - 1][1]), sheet),
            option);
    }
    left->addLayout(settings);
    left->addStretch();

    auto* layout = new QHBoxLayout(sheet);
    layout->addLayout(left);
    layout->addWidget(listBox(QStringLiteral("GroupBox_TV_OUT%1").arg(output), "TNOUT_V_", output));
    layout->addWidget(listBox(QStringLiteral("GroupBox_TS_OUT%1").arg(output), "TNOUT_S_", output));
}

void TfMain::fillHearingPage(QWidget* sheet) {
    auto* layout = new QHBoxLayout(sheet);
    layout->addWidget(listBox(QStringLiteral("GroupBoxTNLS"), "TNLS_", 0), 0, Qt::AlignTop);
    layout->addStretch();
}

void TfMain::fillStatusSmsPage(QWidget* sheet) {
    auto* layout = new QHBoxLayout(sheet);
    layout->addWidget(listBox(QStringLiteral("GroupBoxTNSSMS"), "TNSSMS_", 0), 0, Qt::AlignTop);

    auto* right = new QVBoxLayout;
    QGroupBox* automatic =
        group(QStringLiteral("GroupBoxASSMS"), QStringLiteral(" Automat. zasielanie SMS  "), sheet);
    auto* grid = new QGridLayout(automatic);
    addRow(grid, caption(QStringLiteral("LabelInt"), QStringLiteral("Interval"), automatic),
           field("Auto_1", 0, automatic),
           caption(QStringLiteral("LabelDays"), QStringLiteral("(dní)"), automatic));
    addRow(grid, caption(QStringLiteral("LabelTime"), QStringLiteral("Čas"), automatic),
           field("Auto_2", 0, automatic),
           caption(QStringLiteral("LabelHour"), QStringLiteral("(hod.)"), automatic));
    right->addWidget(automatic);
    QGroupBox* failures =
        group(QStringLiteral("GroupBoxTech"), QStringLiteral(" Zasielanie chybových stavov  "), sheet);
    auto* column = new QVBoxLayout(failures);
    for (const char* name : {"CheckBox230V", "CheckBoxAku", "CheckBoxJam"})
        column->addWidget(field(name, 0, failures));
    right->addWidget(failures);
    right->addStretch();
    layout->addLayout(right);
    layout->addStretch();
}

} // namespace qta::app
