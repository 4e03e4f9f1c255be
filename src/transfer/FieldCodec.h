#pragma once

// The encodings of single values, both ways. Values read from a file were never
// checked, so every encoding keeps what it writes inside its own bytes.
#include "ImageMap.h"
#include "model/FieldTable.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qta::transfer::detail {

// A length byte and the text, cut to width - 1 characters, filled to `width`.
std::string lengthPrefixed(std::string_view text, std::size_t width);

// The text of a length-prefixed field; empty when the length byte exceeds the
// field's capacity (0xFF from memory that was never written).
std::string readLengthPrefixed(std::span<const std::uint8_t> field);

// `text` left-padded with '0' to `width` characters, or cut to its first `width`.
std::string zeroPadded(std::string_view text, std::size_t width);

// The digit characters among `bytes`, in order.
std::string digitsAmong(std::span<const std::uint8_t> bytes);

// A number field as one byte: Byte clamps the whole number to 0..255, BcdHour
// to 0..23 before packing, Tenths the volts to 0.0..25.5. An unreadable text
// counts as the field's minimum.
std::uint8_t encodeNumber(Encoding encoding, const FieldDef& def, std::string_view text);

// The byte back as the field's text: a decimal number, the hour unpacked, or the
// volts as the shortest decimal with `decimalSeparator`.
std::string decodeNumber(Encoding encoding, std::uint8_t byte, char decimalSeparator);

} // namespace qta::transfer::detail
