#pragma once

#include "FieldTable.h"

#include <optional>
#include <string>
#include <string_view>

// What typing may put into a field, and how number fields step and clamp.
// Pure functions: the widgets feed them typed characters and texts.
namespace qta::entry {

// Digits filter: control characters (0..31), '+' and '0'..'9' pass.
bool onlyNumbers(char32_t c);

// Text filter: Backspace (8) and codes 32..127 pass.
bool onlyText(char32_t c);

enum class KeyVerdict { Accept, Drop, DropWithBeep };

// The verdict for a character typed into a field of the given typing behaviour.
KeyVerdict filterKey(Typing typing, char32_t c, char decimalSeparator);

// The number-field filter: digits, '+', '-', ',', '.', the decimal separator and
// control characters other than Enter pass; anything else is refused with a beep.
KeyVerdict numberFieldKey(char32_t c, char decimalSeparator);

// Reads a number text. Both ',' and '.' are taken as the decimal point (never as a
// grouping mark), so "25,5" reads the same under either separator. Leading and
// trailing blanks and one sign are allowed; digits beyond the fourth decimal place
// are cut. nullopt for an unreadable text (empty, a lone sign, two points).
std::optional<Decimal> parseNumber(std::string_view text);

// The value of a number field: its text read as above, or the minimum when unreadable.
Decimal numberValue(const NumberRange& range, std::string_view text);

Decimal clampToRange(const NumberRange& range, Decimal value);

// The value written with the decimal separator, without trailing zeros: "25,5", "24", "0".
std::string formatNumber(Decimal value, char decimalSeparator);

// Up (direction +1) or Down (-1): the value plus or minus one step, clamped, as text.
std::string stepNumber(const NumberRange& range, std::string_view text, int direction, char decimalSeparator);

// Leaving the field: the rewritten text when the value lies outside the range, or
// nullopt when the text stays as typed (inside the range, or unreadable).
std::optional<std::string> leaveNumberField(const NumberRange& range, std::string_view text,
                                            char decimalSeparator);

// The longest access code the device stores: its length byte and the code fill 32 bytes.
inline constexpr std::size_t kLongestAccessCode = 31;

// Whether the device can take `code` (Windows-1250 bytes) as its new access code:
// 1 to 31 printable ASCII characters (32..126). Any other byte would set a code
// that neither the window nor the command line can type, locking the device.
bool isWritableAccessCode(std::string_view code);

} // namespace qta::entry
