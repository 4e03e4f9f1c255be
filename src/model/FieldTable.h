#pragma once

#include "Family.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qta {

// Index of a field in the field table; also its index in a Configuration.
using FieldId = std::uint16_t;

// Fixed-point decimal with four places: 25.5 is 255000. Number fields step
// and clamp on these, never on floating point.
using Decimal = std::int64_t;
inline constexpr Decimal kDecimalOne = 10000;

enum class FieldKind {
    PhoneNumber,
    DtmfCode,
    DigitString,
    SmsText,
    FreeText,
    AccessCode,
    Number,
    Flag,
    Choice
};

// What typing may put into a field.
enum class Typing {
    Digits, // onlyNumbers: control characters, digits and '+'
    Text,   // onlyText: Backspace and codes 32..127
    Number, // the number-field filter, with a beep for refused keys
    Free,   // no filter
    None,   // flags and choices are clicked, not typed
};

struct NumberRange {
    Decimal minimum = 0;
    Decimal maximum = 0;
    Decimal step = kDecimalOne;
};

struct FieldDef {
    std::string name;                // canonical name, e.g. "TNIN_V_3_17"
    Family family = Family::TNIN_V_; // the family the name is built from
    int index1 = 0; // input or output number, or list position of a one-list family; 0 for single fields
    int index2 = 0; // list position of a two-index family, else 0
    FieldKind kind = FieldKind::FreeText;
    Typing typing = Typing::Free;
    int limit = 0;     // most characters typing can put in; 0 for flags and choices
    NumberRange range; // number fields only

    // Start-up value. For numbers shown with a decimal point, '.' stands for
    // the user's decimal separator (see Configuration::startup).
    std::string startText;
    int startValue = 0; // flags (0/1) and choices (index)
    std::string newText;
    int newValue = 0;

    int list = -1;    // index of the number list this entry belongs to, or -1
    int position = 0; // 1..32 within that list
};

// One of the 32 number lists: 32 consecutive field ids.
struct NumberList {
    Family family = Family::TNIN_V_; // e.g. TNIN_V_ or TNLS_
    int index = 0;                   // input or output number; 0 for the one-list families
    FieldId first = 0;               // id of entry 1; entry j is first + j - 1
};

inline constexpr int kListLength = 32;
inline constexpr int kFieldCount = 1145;
inline constexpr int kChoiceNone = -1;
inline constexpr int kEventChoiceCount = 18;
inline constexpr int kEventChoiceNoneIndex = 17;

// The 1145 fields, built once from the family rules. Fields are enumerated
// family by family, indices upwards from 1, the first index outermost.
class FieldTable {
public:
    static const FieldTable& instance();

    std::size_t size() const { return fields_.size(); }
    const FieldDef& operator[](FieldId id) const { return fields_[id]; }
    const std::vector<FieldDef>& fields() const { return fields_; }

    // Case-insensitive look-up; the FieldDef carries the canonical name.
    std::optional<FieldId> find(std::string_view name) const;
    // Look-up that must succeed (names composed by the program itself).
    FieldId id(std::string_view name) const;
    // Composes prefix + index (+ "_" + index2) and looks it up.
    FieldId id(std::string_view prefix, int index1, int index2 = 0) const;
    // The field of `family` with these indices (none for a single field).
    FieldId id(Family family, int index1 = 0, int index2 = 0) const;

    const std::vector<NumberList>& lists() const { return lists_; }
    // Ids of a family in enumeration order. A value outside the 45 families
    // throws std::out_of_range: a forgotten family must not pass as an empty one.
    const std::vector<FieldId>& family(Family family) const;

    FieldTable(); // public for benchmarks; use instance()

private:
    std::vector<FieldDef> fields_;
    std::vector<NumberList> lists_;
    std::unordered_map<std::string, FieldId> byLowerName_;
    std::array<std::vector<FieldId>, kFamilyCount> byFamily_;
};

std::string toLowerAscii(std::string_view s);
bool equalsIgnoreCase(std::string_view a, std::string_view b);

} // namespace qta
