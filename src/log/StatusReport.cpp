#include "StatusReport.h"

#include "model/EntryRules.h"

namespace qta::log {
namespace {

enum Offset : std::size_t {
    kInputs = 0,
    kAnalog1 = 1,
    kAnalog2 = 2,
    kSystemVoltage = 3,
    kMainPower = 4,
    kSignal = 5,
    kYear = 6,
    kMonth = 8,
    kDay = 10,
    kHour = 12,
    kMinute = 14,
    kGprs = 16,
    kOutputs = 17,
};

// Tenths of a volt in the shortest decimal form: 123 -> "12.3", 120 -> "12".
std::string tenthsOfVolt(unsigned char tenths, char decimalSeparator) {
    return entry::formatNumber(Decimal{tenths} * (kDecimalOne / 10), decimalSeparator);
}

// 3360 + 4 * b millivolts as volts with two decimals, truncated; the comma is
// fixed, whatever the user's separator.
ColouredText systemVoltage(unsigned char b) {
    const std::string mv = std::to_string(3360 + 4 * b);
    return {mv.substr(0, 1) + ',' + mv.substr(1, 2), 3360 + 4 * b > 3800 ? Colour::Green : Colour::Red};
}

// "OK" in green or "Fail" in red; any other byte is no news and keeps the field.
std::optional<ColouredText> okOrFail(unsigned char b, unsigned char okCode, unsigned char failCode) {
    if (b == okCode)
        return ColouredText{"OK", Colour::Green};
    if (b == failCode)
        return ColouredText{"Fail", Colour::Red};
    return std::nullopt;
}

// A byte other than a digit cannot be shown on the gauge; it keeps its level.
std::optional<SignalLevel> signalLevel(unsigned char b) {
    if (b < '0' || b > '9')
        return std::nullopt;
    const int level = b - '0';
    return SignalLevel{level, level <= 2 ? Colour::Red : level <= 5 ? Colour::Yellow : Colour::Green};
}

OptionBoxes optionBoxes(unsigned char b) {
    if (b <= 126)
        return OptionBoxes::Locked;
    if (b >= 128)
        return OptionBoxes::Enabled;
    return OptionBoxes::Unchanged;
}

// " dd.mm.20yy   hh:mm" from the report's year-first clock, as it stands.
std::string clock(StatusReportBytes report) {
    const auto two = [&](std::size_t offset) {
        return std::string{static_cast<char>(report[offset]), static_cast<char>(report[offset + 1])};
    };
    return ' ' + two(kDay) + '.' + two(kMonth) + ".20" + two(kYear) + "   " + two(kHour) + ':' + two(kMinute);
}

template <std::size_t N> std::array<bool, N> bitsFromHighest(unsigned char byte) {
    std::array<bool, N> bits{};
    for (std::size_t i = 0; i < N; ++i)
        bits[i] = (byte >> (N - 1 - i) & 1) != 0;
    return bits;
}

template <std::size_t N> std::array<bool, N> bitsFromLowest(unsigned char byte) {
    std::array<bool, N> bits{};
    for (std::size_t i = 0; i < N; ++i)
        bits[i] = (byte >> i & 1) != 0;
    return bits;
}

} // namespace

StatusView decodeStatusReport(StatusReportBytes report, char decimalSeparator) {
    StatusView view;
    view.inputActive = bitsFromHighest<8>(report[kInputs]); // bit 7 is input 1
    view.AIN_1 = tenthsOfVolt(report[kAnalog1], decimalSeparator);
    view.AIN_2 = tenthsOfVolt(report[kAnalog2], decimalSeparator);
    view.MemoPSU = systemVoltage(report[kSystemVoltage]);
    view.Memo230V = okOrFail(report[kMainPower], 2, 1);
    view.gaugeSIGNAL = signalLevel(report[kSignal]);
    view.editTIME = clock(report);
    view.MemoGPRS = okOrFail(report[kGprs], 1, 2);
    view.outputOn = bitsFromLowest<4>(report[kOutputs]); // bit 0 is output 1
    view.optionBoxes = optionBoxes(report[kOutputs]);
    return view;
}

} // namespace qta::log
