#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace qta::log {

// The report the unlocked device sends between exchanges; it ends with 0x1C 0x2C.
inline constexpr std::size_t kStatusReportSize = 21;
using StatusReportBytes = std::span<const unsigned char, kStatusReportSize>;

enum class Colour { Red, Yellow, Green };

struct ColouredText {
    std::string text;
    Colour colour = Colour::Red;
    bool operator==(const ColouredText&) const = default;
};

struct SignalLevel {
    int level = 0; // 0 to 9
    Colour colour = Colour::Red;
    bool operator==(const SignalLevel&) const = default;
};

// What byte 17 does to CheckBox230V, CheckBoxAku and CheckBoxJam.
enum class OptionBoxes {
    Locked,   // checked and disabled
    Enabled,  // enabled, check marks kept
    Unchanged // left as they are
};

// The diagnostics page's view of one StatusReport. An empty optional means the
// control keeps what it shows. While an output command is pending the page
// leaves the output lamps and the option boxes alone.
struct StatusView {
    std::array<bool, 8> inputActive{}; // [0] is input 1: red lamp lit, else the green one
    std::string AIN_1;                 // volts, shortest decimal, the given separator
    std::string AIN_2;
    ColouredText MemoPSU;                   // "3,80": always a comma, truncated
    std::optional<ColouredText> Memo230V;   // "OK" green or "Fail" red
    std::optional<SignalLevel> gaugeSIGNAL; // kept when byte 5 is not a digit
    std::string editTIME;                   // " dd.mm.20yy   hh:mm", bytes as they stand
    std::optional<ColouredText> MemoGPRS;   // "OK" green or "Fail" red
    std::array<bool, 4> outputOn{};         // [0] is output 1: red lamp lit, else the green one
    OptionBoxes optionBoxes = OptionBoxes::Unchanged;
};

StatusView decodeStatusReport(StatusReportBytes report, char decimalSeparator);

} // namespace qta::log
