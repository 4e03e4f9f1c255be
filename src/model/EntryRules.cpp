#include "EntryRules.h"

#include <algorithm>
#include <cstdlib>

namespace qta::entry {
namespace {

// Big enough for any field, small enough that stepping never overflows.
constexpr Decimal kSaturation = Decimal{1'000'000'000'000} * kDecimalOne;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

bool onlyNumbers(char32_t c) {
    return c <= 31 || c == U'+' || (c >= U'0' && c <= U'9');
}

bool onlyText(char32_t c) {
    return c == 8 || (c >= 32 && c <= 127);
}

KeyVerdict numberFieldKey(char32_t c, char decimalSeparator) {
    const bool control = c <= 31 && c != 13;
    const bool numeric = (c >= U'0' && c <= U'9') || c == U'+' || c == U'-' || c == U',' || c == U'.' ||
                         c == static_cast<unsigned char>(decimalSeparator);
    return control || numeric ? KeyVerdict::Accept : KeyVerdict::DropWithBeep;
}

KeyVerdict filterKey(Typing typing, char32_t c, char decimalSeparator) {
    switch (typing) {
    case Typing::Digits:
        return onlyNumbers(c) ? KeyVerdict::Accept : KeyVerdict::Drop;
    case Typing::Text:
        return onlyText(c) ? KeyVerdict::Accept : KeyVerdict::Drop;
    case Typing::Number:
        return numberFieldKey(c, decimalSeparator);
    case Typing::Free:
        return KeyVerdict::Accept;
    case Typing::None:
        return KeyVerdict::Drop;
    }
    return KeyVerdict::Drop;
}

std::optional<Decimal> parseNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    std::size_t end = text.size();
    while (end > pos && isBlank(text[end - 1]))
        --end;

    bool negative = false;
    if (pos < end && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';

    Decimal whole = 0;
    Decimal fraction = 0;
    Decimal fractionScale = kDecimalOne;
    bool sawDigit = false;
    bool sawPoint = false;
    for (; pos < end; ++pos) {
        const char c = text[pos];
        if (c == ',' || c == '.') {
            if (sawPoint)
                return std::nullopt;
            sawPoint = true;
        } else if (isDigit(c)) {
            sawDigit = true;
            const int digit = c - '0';
            if (!sawPoint) {
                whole = std::min(whole * 10 + digit, kSaturation / kDecimalOne);
            } else if (fractionScale > 1) {
                fractionScale /= 10;
                fraction += digit * fractionScale;
            }
        } else {
            return std::nullopt;
        }
    }
    if (!sawDigit)
        return std::nullopt;
    const Decimal value = whole * kDecimalOne + fraction;
    return negative ? -value : value;
}

Decimal numberValue(const NumberRange& range, std::string_view text) {
    return parseNumber(text).value_or(range.minimum);
}

Decimal clampToRange(const NumberRange& range, Decimal value) {
    return std::clamp(value, range.minimum, range.maximum);
}

std::string formatNumber(Decimal value, char decimalSeparator) {
    std::string out;
    if (value < 0) {
        out += '-';
        value = -value;
    }
    out += std::to_string(value / kDecimalOne);
    Decimal fraction = value % kDecimalOne;
    if (fraction != 0) {
        std::string digits = std::to_string(fraction + kDecimalOne).substr(1); // four digits, zero-padded
        digits.erase(digits.find_last_not_of('0') + 1);
        out += decimalSeparator;
        out += digits;
    }
    return out;
}

std::string stepNumber(const NumberRange& range, std::string_view text, int direction,
                       char decimalSeparator) {
    const Decimal stepped = numberValue(range, text) + (direction >= 0 ? range.step : -range.step);
    return formatNumber(clampToRange(range, stepped), decimalSeparator);
}

std::optional<std::string> leaveNumberField(const NumberRange& range, std::string_view text,
                                            char decimalSeparator) {
    const auto value = parseNumber(text);
    if (!value || clampToRange(range, *value) == *value)
        return std::nullopt;
    return formatNumber(clampToRange(range, *value), decimalSeparator);
}

bool isWritableAccessCode(std::string_view code) {
    return !code.empty() && code.size() <= kLongestAccessCode &&
           std::all_of(code.begin(), code.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

} // namespace qta::entry
