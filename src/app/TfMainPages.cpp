// The top bar and the pages of the main window, built from the field table:
// every field widget comes from the FieldBinder under the field's own name.
#include "TfMain.h"

#include "Controls.h"
#include "DiagnosticsPage.h"
#include "EventLogPage.h"
#include "FieldBinder.h"
#include "NumberListBox.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include <array>

namespace qta::app {
namespace {

constexpr int kSmsTextWidth = 190;

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

int listIndex(const char* family, int index) {
    const auto& lists = FieldTable::instance().lists();
    for (std::size_t k = 0; k < lists.size(); ++k) {
        if (familyName(lists[k].family) == family && lists[k].index == index)
            return static_cast<int>(k);
    }
    return -1;
}

// The unit after a delay field: LabelSEK1..8 inputs, 9..10 analog inputs, 11..14 outputs.
TfMain::Caption seconds(int number) {
    return {numbered("LabelSEK", number), QStringLiteral("sek.")};
}

// A page's own fields on the left, its two number lists beside them.
void besideLists(QWidget* sheet, QVBoxLayout* left, QWidget* first, QWidget* second) {
    left->addStretch();
    auto* layout = new QHBoxLayout(sheet);
    layout->addLayout(left);
    layout->addWidget(first);
    layout->addWidget(second);
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

void TfMain::addRows(QGridLayout* grid, QWidget* parent, std::initializer_list<Row> rows) {
    for (const Row& row : rows) {
        const int line = grid->rowCount();
        grid->addWidget(namedLabel(row.label.name, row.label.text, parent), line, 0);
        grid->addWidget(field(row.family, row.index, parent), line, 1);
        if (!row.unit.text.isEmpty())
            grid->addWidget(namedLabel(row.unit.name, row.unit.text, parent), line, 2);
    }
}

QGroupBox* TfMain::fieldGroup(const Caption& group, QWidget* parent, std::initializer_list<Row> rows) {
    QGroupBox* box = namedGroup(group.name, group.text, parent);
    addRows(new QGridLayout(box), box, rows);
    return box;
}

QWidget* TfMain::subPages(const Caption& sheetAndDesign, const char* tabs, const char* subPage, int count,
                          void (TfMain::*fill)(QWidget*, int)) {
    QWidget* sheet = page(sheetAndDesign.name, nullptr);
    auto* pages = pageControl(QLatin1String(tabs), sheet);
    for (int k = 1; k <= count; ++k)
        pages->addTab(
            leafPage(numbered(subPage, k), [this, fill, k](QWidget* sub) { (this->*fill)(sub, k); }),
            sheetAndDesign.text.arg(k));
    (new QVBoxLayout(sheet))->addWidget(pages);
    return sheet;
}

QWidget* TfMain::digitalInputsPage() {
    return subPages({QStringLiteral("TabSheet1"), QStringLiteral("%1. vstup")}, "PageControlIN", "TabSheetIN",
                    kInputs, &TfMain::fillDigitalInputPage);
}

void TfMain::fillDigitalInputPage(QWidget* sheet, int input) {
    auto* left = new QVBoxLayout;
    left->addWidget(
        fieldGroup({numbered("GroupBoxSMS_IN", input), QStringLiteral(" Texty SMS  ")}, sheet,
                   {{{numbered("LabelAkt", input), QStringLiteral("Aktivácia")}, "T_SMS_IN", input},
                    {{numbered("LabelDeakt", input), QStringLiteral("Deaktivácia")}, "T_SMS_RIN", input}}));
    auto* settings = new QGridLayout;
    addRows(settings, sheet,
            {{{numbered("LabelDelay", input), QStringLiteral("Oneskorenie")},
              "DELAY_IN",
              input,
              seconds(input)}});
    auto* polarity = new QHBoxLayout;
    polarity->addWidget(field("NO_IN", input, sheet));
    polarity->addWidget(field("NC_IN", input, sheet));
    const int row = settings->rowCount();
    settings->addWidget(namedLabel(numbered("LabelTypIN", input), QStringLiteral("Typ vstupu"), sheet), row,
                        0);
    settings->addLayout(polarity, row, 1, 1, 2);
    left->addLayout(settings);
    besideLists(sheet, left, listBox(numbered("GroupBox_TV_IN", input), "TNIN_V_", input),
                listBox(numbered("GroupBox_TS_IN", input), "TNIN_S_", input));
}

void TfMain::fillArcPage(QWidget* sheet) {
    QGroupBox* codes = namedGroup(QStringLiteral("GroupBox2"), QStringLiteral("Vysielané kódy "), sheet);
    auto* grid = new QGridLayout(codes);
    const std::array<const char*, 4> headers = {"Label6", "Label3", "Label4", "Label5"};
    const std::array<const char*, 4> designTexts = {"Kód objektu", "Udalosť", "Skupina/partícia",
                                                    "Zóna/užívateľ"};
    const std::array<const char*, 4> families = {"ObjCodeIN", "EventCodeIN", "PartCodeIN", "ZoneCodeIN"};
    for (std::size_t column = 0; column < headers.size(); ++column)
        grid->addWidget(
            namedLabel(QLatin1String(headers[column]), QString::fromUtf8(designTexts[column]), codes), 0,
            static_cast<int>(column) + 1);
    for (int i = 1; i <= kInputs; ++i) {
        // The row captions are Label2 for input 1 and Label7 to Label13 for inputs 2 to 8.
        grid->addWidget(
            namedLabel(numbered("Label", i == 1 ? 2 : i + 5), QStringLiteral("%1. vstup").arg(i), codes), i,
            0);
        for (std::size_t column = 0; column < families.size(); ++column)
            grid->addWidget(field(families[column], i, codes), i, static_cast<int>(column) + 1);
    }
    const Caption port = {QString(), QStringLiteral("Port")};
    QGroupBox* centre =
        fieldGroup({QStringLiteral("GroupBox3"), QStringLiteral("Prístup na PCO  ")}, sheet,
                   {{{QStringLiteral("Label14"), QStringLiteral("IP adresa")}, "IP_PCO", 0},
                    {port, "Port_PCO", 0},
                    {{QStringLiteral("Label16"), QStringLiteral("Interval testu spojenia :")},
                     "TestPCO",
                     0,
                     {QStringLiteral("Label17"), QStringLiteral("hodín")}},
                    {{QStringLiteral("Label22"), QStringLiteral("IP adresa")}, "IP_PCO2", 0},
                    {port, "Port_PCO2", 0},
                    {{QStringLiteral("Label24"), QStringLiteral("  Tel. číslo pre SMS:")}, "SMS_PCO", 0}});
    auto* layout = new QHBoxLayout(sheet);
    layout->addWidget(codes, 0, Qt::AlignTop);
    layout->addWidget(centre, 0, Qt::AlignTop);
    layout->addStretch();
}

void TfMain::fillBlockingPage(QWidget* sheet) {
    auto* left = new QVBoxLayout;
    const Caption block = {{}, QStringLiteral("Blokovať")};
    const Caption unblock = {{}, QStringLiteral("Odblokovať")};
    left->addWidget(fieldGroup({QStringLiteral("GroupBox8"), QStringLiteral(" Texty SMS  ")}, sheet,
                               {{{QStringLiteral("Label90"), block.text}, "MemoBlock_", 1},
                                {{QStringLiteral("Label89"), unblock.text}, "MemoBlock_", 2}}));
    left->addWidget(fieldGroup({QStringLiteral("GroupBox5"), QStringLiteral(" DTMF kód  ")}, sheet,
                               {{{QStringLiteral("Label20"), block.text}, "DTMF_BLOCK", 1},
                                {{QStringLiteral("Label21"), unblock.text}, "DTMF_BLOCK", 2}}));
    besideLists(sheet, left, listBox(QStringLiteral("GroupBox6"), "TNBLK_S_", 0),
                listBox(QStringLiteral("GroupBox7"), "TNBLK_V_", 0));
}

QWidget* TfMain::analogInputsPage() {
    return subPages({QStringLiteral("TabSheet2"), QStringLiteral("%1. vstup")}, "PageControlAIN",
                    "TabSheetAIN", kAnalogInputs, &TfMain::fillAnalogInputPage);
}

void TfMain::fillAnalogInputPage(QWidget* sheet, int input) {
    auto* left = new QVBoxLayout;
    left->addWidget(fieldGroup({numbered("GroupBoxSMS_AIN", input), QStringLiteral(" Texty SMS  ")}, sheet,
                               {{{{}, QStringLiteral("Uin > Umax")}, "T_SMS_AIN", input},
                                {{{}, QStringLiteral("Uin < Umin")}, "T_SMS_RAIN", input}}));
    auto* settings = new QGridLayout;
    const Caption volts = {{}, QStringLiteral("V")};
    addRows(settings, sheet,
            {{{numbered("LabelDelayAIN", input), QStringLiteral("Oneskorenie")},
              "DELAY_AIN",
              input,
              seconds(kInputs + input)},
             {{{}, QStringLiteral("Umax")}, "UMAX_AIN", input, volts},
             {{{}, QStringLiteral("Umin")}, "UMIN_AIN", input, volts}});
    left->addLayout(settings);
    besideLists(sheet, left, listBox(numbered("GroupBox_TV_AIN", input), "TNAIN_V_", input),
                listBox(numbered("GroupBox_TS_AIN", input), "TNAIN_S_", input));
}

QWidget* TfMain::outputsPage() {
    return subPages({QStringLiteral("TabSheet3"), QStringLiteral("%1. výstup")}, "PageControlOUT",
                    "TabSheetOUT", kOutputs, &TfMain::fillOutputPage);
}

void TfMain::fillOutputPage(QWidget* sheet, int output) {
    auto* left = new QVBoxLayout;
    const QString on = QStringLiteral("Zapnutie");
    const QString off = QStringLiteral("Vypnutie");
    left->addWidget(fieldGroup({numbered("GroupBoxSMS_OUT", output), QStringLiteral(" Texty SMS  ")}, sheet,
                               {{{numbered("LabelON", output), on}, "T_SMS_OUT_ON_", output},
                                {{numbered("LabelOFF", output), off}, "T_SMS_OUT_OFF_", output}}));
    left->addWidget(fieldGroup({numbered("GroupBoxDTMF_OUT", output), QStringLiteral("  DTMF kód  ")}, sheet,
                               {{{numbered("LabelDTMFON", output), on}, "DTMF_OUT_ON_", output},
                                {{numbered("LabelDTMFOFF", output), off}, "DTMF_OUT_OFF_", output}}));
    auto* settings = new QGridLayout;
    addRows(settings, sheet,
            {{{numbered("LabelTimeOn", output), QStringLiteral("Doba zopnutia")},
              "DELAY_OUT",
              output,
              seconds(kInputs + kAnalogInputs + output)}});
    // Output 1 may switch on while the inputs are blocked, output 2 while dialling.
    if (output == 1)
        addRows(settings, sheet,
                {{{QStringLiteral("Label18"), QStringLiteral("Zopnúť pri blokovaní")}, "CheckOut_", 1}});
    if (output == 2)
        addRows(settings, sheet,
                {{{QStringLiteral("Label19"), QStringLiteral("Zopnúť pri volaní")}, "CheckOut_", 2}});
    left->addLayout(settings);
    besideLists(sheet, left, listBox(numbered("GroupBox_TV_OUT", output), "TNOUT_V_", output),
                listBox(numbered("GroupBox_TS_OUT", output), "TNOUT_S_", output));
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
    right->addWidget(
        fieldGroup({QStringLiteral("GroupBoxASSMS"), QStringLiteral(" Automat. zasielanie SMS  ")}, sheet,
                   {{{QStringLiteral("LabelInt"), QStringLiteral("Interval")},
                     "Auto_1",
                     0,
                     {QStringLiteral("LabelDays"), QStringLiteral("(dní)")}},
                    {{QStringLiteral("LabelTime"), QStringLiteral("Čas")},
                     "Auto_2",
                     0,
                     {QStringLiteral("LabelHour"), QStringLiteral("(hod.)")}}}));
    QGroupBox* failures =
        namedGroup(QStringLiteral("GroupBoxTech"), QStringLiteral(" Zasielanie chybových stavov  "), sheet);
    auto* column = new QVBoxLayout(failures);
    for (const char* name : {"CheckBox230V", "CheckBoxAku", "CheckBoxJam"})
        column->addWidget(field(name, 0, failures));
    right->addWidget(failures);
    right->addStretch();
    layout->addLayout(right);
    layout->addStretch();
}

} // namespace qta::app
