#include "FieldCodec.h"

#include "Frame.h"
#include "model/EntryRules.h"

#include <algorithm>

namespace qta::transfer::detail {
namespace {

constexpr Decimal kTenth = kDecimalOne / 10;
constexpr Decimal kByteMax = 255;
constexpr Decimal kHourMax = 23;

std::uint8_t clampedByte(Decimal value, Decimal maximum) {
    return static_cast<std::uint8_t>(std::clamp<Decimal>(value, 0, maximum));
}

} // namespace

std::string lengthPrefixed(std::string_view text, std::size_t width) {
    const std::string_view written = text.substr(0, width - 1);
    std::string field(1, static_cast<char>(written.size()));
    field += written;
    Fill_0(field, width);
    return field;
}

std::string readLengthPrefixed(std::span<const std::uint8_t> field) {
    const std::size_t length = field[0];
    if (length >= field.size())
        return {};
    return {field.begin() + 1, field.begin() + 1 + static_cast<std::ptrdiff_t>(length)};
}

std::string zeroPadded(std::string_view text, std::size_t width) {
    std::string padded(width - std::min(width, text.size()), '0');
    padded += text.substr(0, width);
    return padded;
}

std::string digitsAmong(std::span<const std::uint8_t> bytes) {
    std::string digits;
    for (const std::uint8_t byte : bytes) {
        if (byte >= '0' && byte <= '9')
            digits += static_cast<char>(byte);
    }
    return digits;
}

std::uint8_t encodeNumber(Encoding encoding, const FieldDef& def, std::string_view text) {
    // Fixed point all the way: 12.3 V is exactly 123 tenths.
    const Decimal value = entry::numberValue(def.range, text);
    switch (encoding) {
    case Encoding::BcdHour: {
        const std::uint8_t hour = clampedByte(value / kDecimalOne, kHourMax);
        return static_cast<std::uint8_t>(hour / 10 * 16 + hour % 10);
    }
    case Encoding::Tenths:
        return clampedByte(value / kTenth, kByteMax);
    case Encoding::Byte:
    case Encoding::Text16:
    case Encoding::Text32:
        break;
    }
    return clampedByte(value / kDecimalOne, kByteMax);
}

std::string decodeNumber(Encoding encoding, std::uint8_t byte, char decimalSeparator) {
    switch (encoding) {
    case Encoding::BcdHour:
        return std::to_string(byte / 16 * 10 + byte % 16);
    case Encoding::Tenths:
        return entry::formatNumber(Decimal{byte} * kTenth, decimalSeparator);
    case Encoding::Byte:
    case Encoding::Text16:
    case Encoding::Text32:
        break;
    }
    return std::to_string(byte);
}

} // namespace qta::transfer::detail
