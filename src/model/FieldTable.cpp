#include "FieldTable.h"

#include "DeviceCounts.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace qta {
namespace {

constexpr Decimal kTenth = kDecimalOne / 10;

// One family of fields. count2 == 0: one index (prefix + i); count1 == 0: a
// single field named by the prefix alone.
struct FamilyRule {
    Family family;
    const char* prefix;
    int count1;
    int count2;
    FieldKind kind;
    int limit;
    const char* start;
    int startValue;
    const char* fresh; // the "New" value
    int freshValue;
    bool isList;
    NumberRange range;
};

constexpr NumberRange kSeconds{0, 255 * kDecimalOne, kDecimalOne};
constexpr NumberRange kVolts{0, 255 * kTenth, kTenth};
constexpr NumberRange kHour{0, 23 * kDecimalOne, kDecimalOne};
constexpr NumberRange kTestHours{kDecimalOne, 255 * kDecimalOne, kDecimalOne};

using K = FieldKind;
using F = Family;

constexpr FamilyRule phoneList2(F family, const char* prefix, int count) {
    return {family, prefix, count, kListLength, K::PhoneNumber, 14, "", 0, "", 0, true, {}};
}
constexpr FamilyRule phoneList1(F family, const char* prefix) {
    return {family, prefix, kListLength, 0, K::PhoneNumber, 14, "", 0, "", 0, true, {}};
}
constexpr FamilyRule texts(F family, const char* prefix, int count, K kind, int limit,
                           const char* value = "") {
    return {family, prefix, count, 0, kind, limit, value, 0, value, 0, false, {}};
}
constexpr FamilyRule single(F family, const char* name, K kind, int limit, const char* start,
                            const char* fresh) {
    return {family, name, 0, 0, kind, limit, start, 0, fresh, 0, false, {}};
}
constexpr FamilyRule number(F family, const char* prefix, int count, int limit, NumberRange range,
                            const char* start, const char* fresh) {
    return {family, prefix, count, 0, K::Number, limit, start, 0, fresh, 0, false, range};
}
constexpr FamilyRule flags(F family, const char* prefix, int count, bool start, bool fresh) {
    return {family, prefix, count, 0, K::Flag, 0, "", start ? 1 : 0, "", fresh ? 1 : 0, false, {}};
}
constexpr FamilyRule choices(F family, const char* prefix, int count, int value) {
    return {family, prefix, count, 0, K::Choice, 0, "", value, "", value, false, {}};
}

// The whole Configuration, family by family, in the order fields are enumerated.
constexpr std::array kFamilies = {
    // Digital inputs
    phoneList2(F::TNIN_V_, "TNIN_V_", kInputs),
    phoneList2(F::TNIN_S_, "TNIN_S_", kInputs),
    texts(F::T_SMS_IN, "T_SMS_IN", kInputs, K::SmsText, 127),
    texts(F::T_SMS_RIN, "T_SMS_RIN", kInputs, K::SmsText, 127),
    number(F::DELAY_IN, "DELAY_IN", kInputs, 3, kSeconds, "0", "0"),
    flags(F::NO_IN, "NO_IN", kInputs, true, true),
    flags(F::NC_IN, "NC_IN", kInputs, false, false),
    // Analog inputs ('.' in a start value is the user's decimal separator)
    phoneList2(F::TNAIN_V_, "TNAIN_V_", kAnalogInputs),
    phoneList2(F::TNAIN_S_, "TNAIN_S_", kAnalogInputs),
    texts(F::T_SMS_AIN, "T_SMS_AIN", kAnalogInputs, K::SmsText, 127),
    texts(F::T_SMS_RAIN, "T_SMS_RAIN", kAnalogInputs, K::SmsText, 127),
    number(F::DELAY_AIN, "DELAY_AIN", kAnalogInputs, 3, kSeconds, "0", "0"),
    number(F::UMAX_AIN, "UMAX_AIN", kAnalogInputs, 2, kVolts, "25.5", "25,5"),
    number(F::UMIN_AIN, "UMIN_AIN", kAnalogInputs, 2, kVolts, "0", "0"),
    // Outputs
    phoneList2(F::TNOUT_V_, "TNOUT_V_", kOutputs),
    phoneList2(F::TNOUT_S_, "TNOUT_S_", kOutputs),
    texts(F::T_SMS_OUT_ON_, "T_SMS_OUT_ON_", kOutputs, K::SmsText, 127),
    texts(F::T_SMS_OUT_OFF_, "T_SMS_OUT_OFF_", kOutputs, K::SmsText, 127),
    texts(F::DTMF_OUT_ON_, "DTMF_OUT_ON_", kOutputs, K::DtmfCode, 14),
    texts(F::DTMF_OUT_OFF_, "DTMF_OUT_OFF_", kOutputs, K::DtmfCode, 14),
    number(F::DELAY_OUT, "DELAY_OUT", kOutputs, 3, kSeconds, "0", "0"),
    flags(F::CheckOut_, "CheckOut_", 2, false, false),
    // Input blocking
    phoneList1(F::TNBLK_V_, "TNBLK_V_"),
    phoneList1(F::TNBLK_S_, "TNBLK_S_"),
    texts(F::MemoBlock_, "MemoBlock_", 2, K::SmsText, 127),
    texts(F::DTMF_BLOCK, "DTMF_BLOCK", 2, K::DtmfCode, 14),
    // Listening and status SMS
    phoneList1(F::TNLS_, "TNLS_"),
    phoneList1(F::TNSSMS_, "TNSSMS_"),
    number(F::Auto_1, "Auto_1", 0, 3, kSeconds, "0", "0"),
    number(F::Auto_2, "Auto_2", 0, 2, kHour, "0", "0"),
    flags(F::CheckBoxJam, "CheckBoxJam", 0, false, true),
    flags(F::CheckBoxAku, "CheckBoxAku", 0, true, true),
    flags(F::CheckBox230V, "CheckBox230V", 0, true, true),
    // Alarm-receiving centre
    texts(F::ObjCodeIN, "ObjCodeIN", kInputs, K::DigitString, 4),
    choices(F::EventCodeIN, "EventCodeIN", kInputs, kEventChoiceNoneIndex),
    texts(F::PartCodeIN, "PartCodeIN", kInputs, K::DigitString, 2, "00"),
    texts(F::ZoneCodeIN, "ZoneCodeIN", kInputs, K::DigitString, 3, "000"),
    single(F::IP_PCO, "IP_PCO", K::FreeText, 15, "", ""),
    single(F::Port_PCO, "Port_PCO", K::DigitString, 5, "5000", "5000"),
    single(F::IP_PCO2, "IP_PCO2", K::FreeText, 15, "", ""),
    single(F::Port_PCO2, "Port_PCO2", K::DigitString, 5, "5000", "5000"),
    single(F::SMS_PCO, "SMS_PCO", K::FreeText, 15, "", ""),
    number(F::TestPCO, "TestPCO", 0, 3, kTestHours, "24", "0"),
    // Device access
    single(F::Pass, "Pass", K::AccessCode, 14, "6173", "6173"),
    single(F::editAPN, "editAPN", K::FreeText, 31, "internet", "internet"),
};

// Each rule stands at the index of its family, so a family's number finds its rule.
constexpr bool rulesInFamilyOrder() {
    for (std::size_t i = 0; i < kFamilies.size(); ++i) {
        if (static_cast<std::size_t>(kFamilies[i].family) != i)
            return false;
    }
    return kFamilies.size() == kFamilyCount;
}
static_assert(rulesInFamilyOrder(), "the family rules must follow the order of enum Family");

const FamilyRule& ruleOf(Family family) {
    const auto index = static_cast<std::size_t>(family);
    if (index >= kFamilies.size())
        throw std::out_of_range("no field family " + std::to_string(index));
    return kFamilies[index];
}

Typing typingOf(FieldKind kind) {
    switch (kind) {
    case K::PhoneNumber:
    case K::DtmfCode:
    case K::DigitString:
        return Typing::Digits;
    case K::SmsText:
    case K::AccessCode:
        return Typing::Text;
    case K::Number:
        return Typing::Number;
    case K::FreeText:
        return Typing::Free;
    case K::Flag:
    case K::Choice:
        return Typing::None;
    }
    return Typing::None;
}

std::string composeName(std::string_view prefix, int index1, int index2) {
    std::string name(prefix);
    if (index1 > 0)
        name += std::to_string(index1);
    if (index2 > 0) {
        name += '_';
        name += std::to_string(index2);
    }
    return name;
}

} // namespace

std::string_view familyName(Family family) {
    return ruleOf(family).prefix;
}

std::optional<Family> findFamily(std::string_view name) {
    for (const FamilyRule& rule : kFamilies) {
        if (name == rule.prefix)
            return rule.family;
    }
    return std::nullopt;
}

std::string toLowerAscii(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
    return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && toLowerAscii(a) == toLowerAscii(b);
}

FieldTable::FieldTable() {
    fields_.reserve(kFieldCount);
    for (const FamilyRule& rule : kFamilies) {
        const int outer = std::max(rule.count1, 1);
        const int inner = std::max(rule.count2, 1);
        for (int i = 1; i <= outer; ++i) {
            // A two-index family holds one list per input or output; a one-index
            // list family is a single list.
            if (rule.isList && (rule.count2 > 0 || i == 1))
                lists_.push_back(
                    {rule.family, rule.count2 > 0 ? i : 0, static_cast<FieldId>(fields_.size())});
            for (int j = 1; j <= inner; ++j) {
                FieldDef def;
                def.index1 = rule.count1 > 0 ? i : 0;
                def.index2 = rule.count2 > 0 ? j : 0;
                def.name = composeName(rule.prefix, def.index1, def.index2);
                def.family = rule.family;
                def.kind = rule.kind;
                def.typing = typingOf(rule.kind);
                def.limit = rule.limit;
                def.range = rule.range;
                def.startText = rule.start;
                def.startValue = rule.startValue;
                def.newText = rule.fresh;
                def.newValue = rule.freshValue;
                if (rule.isList) {
                    def.list = static_cast<int>(lists_.size()) - 1;
                    def.position = rule.count2 > 0 ? j : i;
                }
                const auto id = static_cast<FieldId>(fields_.size());
                byLowerName_.emplace(toLowerAscii(def.name), id);
                byFamily_[static_cast<std::size_t>(rule.family)].push_back(id);
                fields_.push_back(std::move(def));
            }
        }
    }
    if (fields_.size() != kFieldCount)
        throw std::logic_error("field table does not hold 1145 fields");
}

const FieldTable& FieldTable::instance() {
    static const FieldTable table;
    return table;
}

std::optional<FieldId> FieldTable::find(std::string_view name) const {
    const auto it = byLowerName_.find(toLowerAscii(name));
    if (it == byLowerName_.end())
        return std::nullopt;
    return it->second;
}

FieldId FieldTable::id(std::string_view name) const {
    if (const auto found = find(name))
        return *found;
    throw std::out_of_range("no field named " + std::string(name));
}

FieldId FieldTable::id(std::string_view prefix, int index1, int index2) const {
    return id(composeName(prefix, index1, index2));
}

FieldId FieldTable::id(Family family, int index1, int index2) const {
    return id(composeName(familyName(family), index1, index2));
}

const std::vector<FieldId>& FieldTable::family(Family family) const {
    ruleOf(family); // throws for a value outside the families
    return byFamily_[static_cast<std::size_t>(family)];
}

} // namespace qta
