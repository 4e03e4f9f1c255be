#include "FieldCaptions.h"

#include "catalogue/ControlNames.h"
#include "catalogue/LanguageCatalogue.h"

#include <array>
#include <unordered_map>

namespace qta::compare {
namespace {

using F = Family;

// The controls a setting is found under, outermost first. A name ending in '#'
// takes the field's input or output number; "A|B" is A for member 1, B for
// member 2; "@entry" is the label of the entry's list position, "@arc" the ARC
// page's row of the input, "@own" the field's own caption (or hint), "@heslo" the
// top bar's password caption, "@apn" the access point's hint; "=" starts a text
// the page shows in every language.
struct Place {
    Family family;
    std::array<std::string_view, 4> path;
};

// clang-format off
constexpr std::array kPlaces = {
    Place{F::TNIN_V_,        {"TabSheet1", "TabSheetIN#", "GroupBox_TV_IN#", "@entry"}},
    Place{F::TNIN_S_,        {"TabSheet1", "TabSheetIN#", "GroupBox_TS_IN#", "@entry"}},
    Place{F::T_SMS_IN,       {"TabSheet1", "TabSheetIN#", "GroupBoxSMS_IN#", "LabelAkt#"}},
    Place{F::T_SMS_RIN,      {"TabSheet1", "TabSheetIN#", "GroupBoxSMS_IN#", "LabelDeakt#"}},
    Place{F::DELAY_IN,       {"TabSheet1", "TabSheetIN#", "LabelDelay#"}},
    Place{F::NO_IN,          {"TabSheet1", "TabSheetIN#", "LabelTypIN#", "=NO"}},
    Place{F::NC_IN,          {"TabSheet1", "TabSheetIN#", "LabelTypIN#", "=NC"}},
    Place{F::TNAIN_V_,       {"TabSheet2", "TabSheetAIN#", "GroupBox_TV_AIN#", "@entry"}},
    Place{F::TNAIN_S_,       {"TabSheet2", "TabSheetAIN#", "GroupBox_TS_AIN#", "@entry"}},
    Place{F::T_SMS_AIN,      {"TabSheet2", "TabSheetAIN#", "GroupBoxSMS_AIN#", "=Uin > Umax"}},
    Place{F::T_SMS_RAIN,     {"TabSheet2", "TabSheetAIN#", "GroupBoxSMS_AIN#", "=Uin < Umin"}},
    Place{F::DELAY_AIN,      {"TabSheet2", "TabSheetAIN#", "LabelDelayAIN#"}},
    Place{F::UMAX_AIN,       {"TabSheet2", "TabSheetAIN#", "=Umax"}},
    Place{F::UMIN_AIN,       {"TabSheet2", "TabSheetAIN#", "=Umin"}},
    Place{F::TNOUT_V_,       {"TabSheet3", "TabSheetOUT#", "GroupBox_TV_OUT#", "@entry"}},
    Place{F::TNOUT_S_,       {"TabSheet3", "TabSheetOUT#", "GroupBox_TS_OUT#", "@entry"}},
    Place{F::T_SMS_OUT_ON_,  {"TabSheet3", "TabSheetOUT#", "GroupBoxSMS_OUT#", "LabelON#"}},
    Place{F::T_SMS_OUT_OFF_, {"TabSheet3", "TabSheetOUT#", "GroupBoxSMS_OUT#", "LabelOFF#"}},
    Place{F::DTMF_OUT_ON_,   {"TabSheet3", "TabSheetOUT#", "GroupBoxDTMF_OUT#", "LabelDTMFON#"}},
    Place{F::DTMF_OUT_OFF_,  {"TabSheet3", "TabSheetOUT#", "GroupBoxDTMF_OUT#", "LabelDTMFOFF#"}},
    Place{F::DELAY_OUT,      {"TabSheet3", "TabSheetOUT#", "LabelTimeOn#"}},
    Place{F::CheckOut_,      {"TabSheet3", "TabSheetOUT#", "Label18|Label19"}},
    Place{F::TNBLK_V_,       {"TabSheet5", "GroupBox7", "@entry"}},
    Place{F::TNBLK_S_,       {"TabSheet5", "GroupBox6", "@entry"}},
    Place{F::MemoBlock_,     {"TabSheet5", "GroupBox8", "Label90|Label89"}},
    Place{F::DTMF_BLOCK,     {"TabSheet5", "GroupBox5", "Label20|Label21"}},
    Place{F::TNLS_,          {"TabSheet6", "GroupBoxTNLS", "@entry"}},
    Place{F::TNSSMS_,        {"TabSheet7", "GroupBoxTNSSMS", "@entry"}},
    Place{F::Auto_1,         {"TabSheet7", "GroupBoxASSMS", "LabelInt"}},
    Place{F::Auto_2,         {"TabSheet7", "GroupBoxASSMS", "LabelTime"}},
    Place{F::CheckBoxJam,    {"TabSheet7", "GroupBoxTech", "@own"}},
    Place{F::CheckBoxAku,    {"TabSheet7", "GroupBoxTech", "@own"}},
    Place{F::CheckBox230V,   {"TabSheet7", "GroupBoxTech", "@own"}},
    Place{F::ObjCodeIN,      {"TabSheet4", "GroupBox2", "@arc", "Label6"}},
    Place{F::EventCodeIN,    {"TabSheet4", "GroupBox2", "@arc", "Label3"}},
    Place{F::PartCodeIN,     {"TabSheet4", "GroupBox2", "@arc", "Label4"}},
    Place{F::ZoneCodeIN,     {"TabSheet4", "GroupBox2", "@arc", "Label5"}},
    Place{F::IP_PCO,         {"TabSheet4", "GroupBox3", "Label14"}},
    Place{F::Port_PCO,       {"TabSheet4", "GroupBox3", "Label14", "=Port"}},
    Place{F::IP_PCO2,        {"TabSheet4", "GroupBox3", "Label22"}},
    Place{F::Port_PCO2,      {"TabSheet4", "GroupBox3", "Label22", "=Port"}},
    Place{F::SMS_PCO,        {"TabSheet4", "GroupBox3", "Label24"}},
    Place{F::TestPCO,        {"TabSheet4", "GroupBox3", "Label16"}},
    Place{F::Pass,           {"@heslo"}},
    Place{F::editAPN,        {"@apn"}},
};
// clang-format on
static_assert(kPlaces.size() == kFamilyCount, "every family has its place");

// The catalogue's captions and hints of one language by control name.
struct Texts {
    std::unordered_map<std::string, std::string> captions;
    std::unordered_map<std::string, std::string> hints;
};

const Texts& textsOf(Language language) {
    static const std::array<Texts, 4> all = [] {
        std::array<Texts, 4> built;
        for (const Language l : {Language::SK, Language::EN, Language::DE, Language::DK}) {
            Texts& texts = built[static_cast<std::size_t>(l)];
            for (const catalogue::ControlText& t : catalogue::languageCatalogue(l).controlTexts)
                (t.role == catalogue::TextRole::Caption ? texts.captions : texts.hints)
                    .emplace(t.control, t.text);
        }
        return built;
    }();
    return all[static_cast<std::size_t>(language)];
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string textOf(const std::unordered_map<std::string, std::string>& texts, const std::string& control) {
    const auto it = texts.find(control);
    return it == texts.end() ? std::string() : trimmed(it->second);
}

// The control a path step names for this field.
std::string controlName(std::string_view step, const FieldDef& def) {
    if (const auto bar = step.find('|'); bar != std::string_view::npos)
        return std::string(def.index1 == 2 ? step.substr(bar + 1) : step.substr(0, bar));
    if (step.ends_with('#'))
        return std::string(step.substr(0, step.size() - 1)) + std::to_string(def.index1);
    return std::string(step);
}

std::string stepText(std::string_view step, const FieldDef& def, Language language) {
    const Texts& texts = textsOf(language);
    if (step.starts_with('='))
        return std::string(step.substr(1));
    if (step == "@entry")
        return textOf(texts.captions, catalogue::numberLabelName(def.list, def.position));
    if (step == "@arc")
        return textOf(texts.captions, catalogue::arcInputLabelName(def.index1));
    if (step == "@heslo")
        return trimmed(catalogue::languageCatalogue(language).heslo.caption);
    if (step == "@apn")
        return trimmed(catalogue::languageCatalogue(language).apnHint);
    if (step == "@own") {
        std::string own = textOf(texts.captions, def.name);
        return own.empty() ? textOf(texts.hints, def.name) : own;
    }
    return textOf(texts.captions, controlName(step, def));
}

} // namespace

std::string fieldCaption(FieldId id, Language language) {
    const FieldDef& def = FieldTable::instance()[id];
    std::string caption;
    for (const Place& place : kPlaces) {
        if (place.family != def.family)
            continue;
        for (const std::string_view step : place.path) {
            if (step.empty())
                continue;
            const std::string text = stepText(step, def, language);
            if (text.empty())
                continue;
            caption += caption.empty() ? text : ", " + text;
        }
    }
    return caption.empty() ? def.name : caption;
}

} // namespace qta::compare
