#pragma once

#include "SimTime.h"
#include "transfer/TimeFrame.h"

#include <array>
#include <chrono>
#include <optional>
#include <span>

namespace qta::sim {

// The device's own calendar clock, to the minute. It runs on the device's time
// (the clock that drives it) from the moment it was last set.
class DeviceClock {
public:
    using Digits = std::array<std::uint8_t, 10>;

    explicit DeviceClock(const transfer::DateTime& start = {}, Micros at = Micros(0));

    // The DateTime must be a real date and time (see fromDigits).
    void set(const transfer::DateTime& dateTime, Micros at);
    transfer::DateTime at(Micros now) const;
    // YYMMDDhhmm as ASCII digits, as the StatusReport carries them.
    Digits digits(Micros now) const;

    // The ten digits YYMMDDhhmm of a TimeFrame; nullopt unless they are digits
    // that name a real date and time of this century.
    static std::optional<transfer::DateTime> fromDigits(std::span<const std::uint8_t> digits);
    // `minutes` later (or earlier, when negative).
    static transfer::DateTime shifted(const transfer::DateTime& dateTime, long minutes);

private:
    using Minutes = std::chrono::sys_time<std::chrono::minutes>;
    static Minutes toMinutes(const transfer::DateTime& dateTime);
    static transfer::DateTime fromMinutes(Minutes minutes);

    Minutes base_;
    Micros baseAt_;
};

} // namespace qta::sim
