#include "ConfigurationPages.h"

#include "Controls.h"
#include "DiagnosticsPage.h"
#include "EventLogPage.h"
#include "FieldBinder.h"
#include "NumberListBox.h"
#include "TextEdge.h"

#include "catalogue/ControlNames.h"
#include "model/FieldTable.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <array>

namespace qta::app {
namespace {

using Caption = ConfigurationPages::Caption;

constexpr int kSmsTextWidth = 176;

Caption named(const QString& name) {
    return {name, designCaption(name)};
}

// An unnamed label: no catalogue text reaches it.
Caption plain(const char* text) {
    return {QString(), QString::fromUtf8(text)};
}

QWidget* page(const QString& name) {
    auto* sheet = new QWidget;
    sheet->setObjectName(name);
    return sheet;
}

int listIndex(Family family, int index) {
    const auto& lists = FieldTable::instance().lists();
    for (std::size_t k = 0; k < lists.size(); ++k) {
        if (lists[k].family == family && lists[k].index == index)
            return static_cast<int>(k);
    }
    return -1;
}

// The unit after a delay field: LabelSEK1..8 inputs, 9..10 analog inputs, 11..14 outputs.
Caption seconds(int number) {
    return named(numbered("LabelSEK", number));
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

ConfigurationPages::ConfigurationPages(FieldBinder& binder, QWidget* parent)
    : QTabWidget(parent), binder_(binder) {
    setObjectName(QStringLiteral("PageControl1"));
    addTab(subPages("TabSheet1", "PageControlIN", "TabSheetIN", kInputs,
                    &ConfigurationPages::fillDigitalInputPage),
           designCaption(QStringLiteral("TabSheet1")));
    addTab(leafPage(QStringLiteral("TabSheet4"), &ConfigurationPages::fillArcPage),
           designCaption(QStringLiteral("TabSheet4")));
    addTab(leafPage(QStringLiteral("TabSheet5"), &ConfigurationPages::fillBlockingPage),
           designCaption(QStringLiteral("TabSheet5")));
    addTab(subPages("TabSheet2", "PageControlAIN", "TabSheetAIN", kAnalogInputs,
                    &ConfigurationPages::fillAnalogInputPage),
           designCaption(QStringLiteral("TabSheet2")));
    addTab(
        subPages("TabSheet3", "PageControlOUT", "TabSheetOUT", kOutputs, &ConfigurationPages::fillOutputPage),
        designCaption(QStringLiteral("TabSheet3")));
    addTab(leafPage(QStringLiteral("TabSheet6"), &ConfigurationPages::fillHearingPage),
           designCaption(QStringLiteral("TabSheet6")));
    addTab(leafPage(QStringLiteral("TabSheet7"), &ConfigurationPages::fillStatusSmsPage),
           designCaption(QStringLiteral("TabSheet7")));
    eventLog_ = new EventLogPage(nullptr);
    eventLog_->setObjectName(QStringLiteral("TabSheet8"));
    addTab(eventLog_, designCaption(QStringLiteral("TabSheet8")));
    diagnostics_ = new DiagnosticsPage(nullptr);
    diagnostics_->setObjectName(QStringLiteral("TabSheet9"));
    addTab(diagnostics_, designCaption(QStringLiteral("TabSheet9")));
}

ConfigurationPages::~ConfigurationPages() = default;

std::vector<QWidget*> ConfigurationPages::fillPendingPages() {
    const std::vector<PendingPage> pending = std::move(pending_);
    pending_.clear();
    std::vector<QWidget*> filled;
    for (const PendingPage& sheet : pending) {
        sheet.fill(sheet.sheet);
        filled.push_back(sheet.sheet);
    }
    return filled;
}

QWidget* ConfigurationPages::field(Family family, int index, QWidget* parent) {
    const FieldTable& table = FieldTable::instance();
    const FieldId id = table.id(family, index);
    QWidget* placed = binder_.createPlaced(id, parent);
    if (table[id].kind == FieldKind::SmsText)
        placed->setFixedWidth(kSmsTextWidth);
    return placed;
}

QWidget* ConfigurationPages::listBox(const QString& name, Family family, int index) {
    return new NumberListBox(name, listIndex(family, index), binder_, nullptr);
}

QWidget* ConfigurationPages::leafPage(const QString& name, std::function<void(QWidget*)> fill) {
    QWidget* sheet = page(name);
    // The page in front at start is filled at once; the others right after the
    // window is first painted, or as soon as anything needs them.
    if (pending_.empty() && !firstPageFilled_) {
        fill(sheet);
        firstPageFilled_ = true;
    } else {
        pending_.push_back({sheet, std::move(fill)});
    }
    return sheet;
}

QWidget* ConfigurationPages::leafPage(const QString& name, void (ConfigurationPages::*fill)(QWidget*)) {
    return leafPage(name, [this, fill](QWidget* sheet) { (this->*fill)(sheet); });
}

QWidget* ConfigurationPages::subPages(const char* sheetName, const char* tabs, const char* subPage, int count,
                                      Fill fill) {
    QWidget* sheet = page(QLatin1String(sheetName));
    auto* pages = new QTabWidget(sheet);
    pages->setObjectName(QLatin1String(tabs));
    for (int k = 1; k <= count; ++k) {
        const QString name = numbered(subPage, k);
        pages->addTab(leafPage(name, [this, fill, k](QWidget* sub) { (this->*fill)(sub, k); }),
                      designCaption(name));
    }
    (new QVBoxLayout(sheet))->addWidget(pages);
    return sheet;
}

void ConfigurationPages::addRows(QGridLayout* grid, QWidget* parent, std::initializer_list<Row> rows) {
    for (const Row& row : rows) {
        const int line = grid->rowCount();
        grid->addWidget(namedLabel(row.label.name, row.label.text, parent), line, 0);
        grid->addWidget(field(row.family, row.index, parent), line, 1);
        if (!row.unit.text.isEmpty())
            grid->addWidget(namedLabel(row.unit.name, row.unit.text, parent), line, 2);
    }
}

QGroupBox* ConfigurationPages::fieldGroup(const QString& group, QWidget* parent,
                                          std::initializer_list<Row> rows) {
    QGroupBox* box = namedGroup(group, designCaption(group), parent);
    addRows(new QGridLayout(box), box, rows);
    return box;
}

void ConfigurationPages::fillDigitalInputPage(QWidget* sheet, int input) {
    auto* left = new QVBoxLayout;
    left->addWidget(fieldGroup(numbered("GroupBoxSMS_IN", input), sheet,
                               {{named(numbered("LabelAkt", input)), Family::T_SMS_IN, input},
                                {named(numbered("LabelDeakt", input)), Family::T_SMS_RIN, input}}));
    auto* settings = new QGridLayout;
    addRows(settings, sheet,
            {{named(numbered("LabelDelay", input)), Family::DELAY_IN, input, seconds(input)}});
    auto* polarity = new QHBoxLayout;
    polarity->addWidget(field(Family::NO_IN, input, sheet));
    polarity->addWidget(field(Family::NC_IN, input, sheet));
    const Caption type = named(numbered("LabelTypIN", input));
    const int row = settings->rowCount();
    settings->addWidget(namedLabel(type.name, type.text, sheet), row, 0);
    settings->addLayout(polarity, row, 1, 1, 2);
    left->addLayout(settings);
    besideLists(sheet, left, listBox(numbered("GroupBox_TV_IN", input), Family::TNIN_V_, input),
                listBox(numbered("GroupBox_TS_IN", input), Family::TNIN_S_, input));
}

void ConfigurationPages::fillArcPage(QWidget* sheet) {
    QGroupBox* codes =
        namedGroup(QStringLiteral("GroupBox2"), designCaption(QStringLiteral("GroupBox2")), sheet);
    auto* grid = new QGridLayout(codes);
    const std::array<const char*, 4> headers = {"Label6", "Label3", "Label4", "Label5"};
    const std::array<Family, 4> families = {Family::ObjCodeIN, Family::EventCodeIN, Family::PartCodeIN,
                                            Family::ZoneCodeIN};
    for (std::size_t column = 0; column < headers.size(); ++column) {
        const Caption header = named(QLatin1String(headers[column]));
        grid->addWidget(namedLabel(header.name, header.text, codes), 0, static_cast<int>(column) + 1);
    }
    for (int i = 1; i <= kInputs; ++i) {
        const Caption input = named(fromUtf8(catalogue::arcInputLabelName(i)));
        grid->addWidget(namedLabel(input.name, input.text, codes), i, 0);
        for (std::size_t column = 0; column < families.size(); ++column)
            grid->addWidget(field(families[column], i, codes), i, static_cast<int>(column) + 1);
    }
    const Caption port = plain("Port");
    QGroupBox* centre =
        fieldGroup(QStringLiteral("GroupBox3"), sheet,
                   {{named(QStringLiteral("Label14")), Family::IP_PCO, 0},
                    {port, Family::Port_PCO, 0},
                    {named(QStringLiteral("Label16")), Family::TestPCO, 0, named(QStringLiteral("Label17"))},
                    {named(QStringLiteral("Label22")), Family::IP_PCO2, 0},
                    {port, Family::Port_PCO2, 0},
                    {named(QStringLiteral("Label24")), Family::SMS_PCO, 0}});
    auto* layout = new QHBoxLayout(sheet);
    layout->addWidget(codes, 0, Qt::AlignTop);
    layout->addWidget(centre, 0, Qt::AlignTop);
    layout->addStretch();
}

void ConfigurationPages::fillBlockingPage(QWidget* sheet) {
    auto* left = new QVBoxLayout;
    left->addWidget(fieldGroup(QStringLiteral("GroupBox8"), sheet,
                               {{named(QStringLiteral("Label90")), Family::MemoBlock_, 1},
                                {named(QStringLiteral("Label89")), Family::MemoBlock_, 2}}));
    left->addWidget(fieldGroup(QStringLiteral("GroupBox5"), sheet,
                               {{named(QStringLiteral("Label20")), Family::DTMF_BLOCK, 1},
                                {named(QStringLiteral("Label21")), Family::DTMF_BLOCK, 2}}));
    besideLists(sheet, left, listBox(QStringLiteral("GroupBox6"), Family::TNBLK_S_, 0),
                listBox(QStringLiteral("GroupBox7"), Family::TNBLK_V_, 0));
}

void ConfigurationPages::fillAnalogInputPage(QWidget* sheet, int input) {
    auto* left = new QVBoxLayout;
    left->addWidget(fieldGroup(
        numbered("GroupBoxSMS_AIN", input), sheet,
        {{plain("Uin > Umax"), Family::T_SMS_AIN, input}, {plain("Uin < Umin"), Family::T_SMS_RAIN, input}}));
    auto* settings = new QGridLayout;
    const Caption volts = plain("V");
    addRows(settings, sheet,
            {{named(numbered("LabelDelayAIN", input)), Family::DELAY_AIN, input, seconds(kInputs + input)},
             {plain("Umax"), Family::UMAX_AIN, input, volts},
             {plain("Umin"), Family::UMIN_AIN, input, volts}});
    left->addLayout(settings);
    besideLists(sheet, left, listBox(numbered("GroupBox_TV_AIN", input), Family::TNAIN_V_, input),
                listBox(numbered("GroupBox_TS_AIN", input), Family::TNAIN_S_, input));
}

void ConfigurationPages::fillOutputPage(QWidget* sheet, int output) {
    auto* left = new QVBoxLayout;
    left->addWidget(fieldGroup(numbered("GroupBoxSMS_OUT", output), sheet,
                               {{named(numbered("LabelON", output)), Family::T_SMS_OUT_ON_, output},
                                {named(numbered("LabelOFF", output)), Family::T_SMS_OUT_OFF_, output}}));
    left->addWidget(fieldGroup(numbered("GroupBoxDTMF_OUT", output), sheet,
                               {{named(numbered("LabelDTMFON", output)), Family::DTMF_OUT_ON_, output},
                                {named(numbered("LabelDTMFOFF", output)), Family::DTMF_OUT_OFF_, output}}));
    auto* settings = new QGridLayout;
    addRows(settings, sheet,
            {{named(numbered("LabelTimeOn", output)), Family::DELAY_OUT, output,
              seconds(kInputs + kAnalogInputs + output)}});
    // Output 1 may switch on while the inputs are blocked, output 2 while dialling.
    if (output == 1)
        addRows(settings, sheet, {{named(QStringLiteral("Label18")), Family::CheckOut_, 1}});
    if (output == 2)
        addRows(settings, sheet, {{named(QStringLiteral("Label19")), Family::CheckOut_, 2}});
    left->addLayout(settings);
    besideLists(sheet, left, listBox(numbered("GroupBox_TV_OUT", output), Family::TNOUT_V_, output),
                listBox(numbered("GroupBox_TS_OUT", output), Family::TNOUT_S_, output));
}

void ConfigurationPages::fillHearingPage(QWidget* sheet) {
    auto* layout = new QHBoxLayout(sheet);
    layout->addWidget(listBox(QStringLiteral("GroupBoxTNLS"), Family::TNLS_, 0), 0, Qt::AlignTop);
    layout->addStretch();
}

void ConfigurationPages::fillStatusSmsPage(QWidget* sheet) {
    auto* layout = new QHBoxLayout(sheet);
    layout->addWidget(listBox(QStringLiteral("GroupBoxTNSSMS"), Family::TNSSMS_, 0), 0, Qt::AlignTop);
    auto* right = new QVBoxLayout;
    right->addWidget(fieldGroup(
        QStringLiteral("GroupBoxASSMS"), sheet,
        {{named(QStringLiteral("LabelInt")), Family::Auto_1, 0, named(QStringLiteral("LabelDays"))},
         {named(QStringLiteral("LabelTime")), Family::Auto_2, 0, named(QStringLiteral("LabelHour"))}}));
    QGroupBox* failures =
        namedGroup(QStringLiteral("GroupBoxTech"), designCaption(QStringLiteral("GroupBoxTech")), sheet);
    auto* column = new QVBoxLayout(failures);
    for (const Family flag : {Family::CheckBox230V, Family::CheckBoxAku, Family::CheckBoxJam})
        column->addWidget(field(flag, 0, failures));
    right->addWidget(failures);
    right->addStretch();
    layout->addLayout(right);
    layout->addStretch();
}

} // namespace qta::app
