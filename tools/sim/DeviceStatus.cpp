#include "DeviceStatus.h"

#include <algorithm>

namespace qta::sim {
namespace {

constexpr std::uint8_t kReportMark = 0x1C;
constexpr std::uint8_t kReportEnd = 0x2C;
constexpr std::uint8_t kOptionBoxesFree = 0x80;

std::uint8_t step(Random& random, std::uint8_t value, int low, int high) {
    const int moved = value + static_cast<int>(random.below(3)) - 1;
    return static_cast<std::uint8_t>(std::clamp(moved, low, high));
}

std::uint8_t toggled(std::uint8_t value, std::uint8_t a, std::uint8_t b) {
    return value == a ? b : a;
}

// The programmer over USB takes the last 21 bytes as a report as soon as the
// last two read are 0x1C 0x2C: the values must never form that pair inside a
// report. Only the first four bytes are free enough to do it.
void avoidFalseEnd(Report& report) {
    for (std::size_t i = 1; i < 4; ++i) {
        if (report[i - 1] == kReportMark && report[i] == kReportEnd)
            report[i] = kReportEnd + 1;
    }
}

} // namespace

void DeviceStatus::vary(Random& random) {
    if (random.chance(0.05))
        inputs = static_cast<std::uint8_t>(inputs ^ (1u << random.below(8)));
    analog1 = step(random, analog1, 0, 255);
    analog2 = step(random, analog2, 0, 255);
    if (random.chance(0.3))
        supply = step(random, supply, 90, 230);
    if (random.chance(0.2))
        gsmLevel = step(random, gsmLevel, 2, 9);
    if (random.chance(0.01))
        mains = toggled(mains, 2, 1);
    if (random.chance(0.01))
        gprs = toggled(gprs, 1, 2);
}

Report DeviceStatus::report(const DeviceClock::Digits& clock) const {
    Report out{};
    out[0] = inputs;
    out[1] = analog1;
    out[2] = analog2;
    out[3] = supply;
    out[4] = mains;
    out[5] = static_cast<std::uint8_t>('0' + std::min<int>(gsmLevel, 9));
    std::copy(clock.begin(), clock.end(), out.begin() + 6);
    out[16] = gprs;
    out[17] = static_cast<std::uint8_t>((outputs & 0x0F) | (optionBoxesFree ? kOptionBoxesFree : 0));
    out[18] = 0;
    out[19] = kReportMark;
    out[20] = kReportEnd;
    avoidFalseEnd(out);
    return out;
}

} // namespace qta::sim
