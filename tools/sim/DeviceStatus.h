#pragma once

#include "DeviceClock.h"
#include "Random.h"

#include <array>
#include <cstdint>

namespace qta::sim {

inline constexpr std::size_t kReportSize = 21;
using Report = std::array<std::uint8_t, kReportSize>;

// What the device reports about itself while unlocked.
struct DeviceStatus {
    std::uint8_t inputs = 0x20; // bit 7 = input 1 ... bit 0 = input 8; 1 = active
    std::uint8_t analog1 = 124; // tenths of a volt
    std::uint8_t analog2 = 37;
    std::uint8_t supply = 140;   // system voltage 3360 + 4 * supply millivolts
    std::uint8_t mains = 2;      // 2 present, 1 failed
    std::uint8_t gsmLevel = 7;   // 0 to 9
    std::uint8_t gprs = 1;       // 1 working, 2 failed
    std::uint8_t outputs = 0;    // bits 0-3: outputs 1-4 switched on
    bool optionBoxesFree = true; // sets bit 7 of byte 17: the programmer leaves the failure options editable

    // A small random step of the changing values, as a real device drifts.
    void vary(Random& random);
    // The 21 bytes, the clock as YYMMDDhhmm digits, ending 0x1C 0x2C.
    Report report(const DeviceClock::Digits& clock) const;
};

} // namespace qta::sim
