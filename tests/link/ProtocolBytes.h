#pragma once

#include "session/Bytes.h"

#include <algorithm>
#include <string_view>

namespace qta::link::test {

inline Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A StatusReport: inputs, analog 1 and 2, supply, mains, signal, clock 26-12-07 22:05, GPRS, outputs, 0,
// tail. Its first byte is 0x04 by default (input 6 active), which must not pass for the device's end answer.
inline Bytes statusReport(std::uint8_t inputs = 0x04, std::uint8_t outputs = 0x81) {
    return Bytes{inputs, 123, 45, 110, 2, '6'} + bytesOf("2612072205") + Bytes{1, outputs, 0, 0x1C, 0x2C};
}

inline std::size_t count(const Bytes& bytes, std::uint8_t byte) {
    return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), byte));
}

} // namespace qta::link::test
