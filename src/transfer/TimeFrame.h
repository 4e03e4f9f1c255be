#pragma once

#include "Frame.h"

#include <functional>

namespace qta::transfer {

inline constexpr std::uint16_t kTimeFrameAddress = 0x8080;

// A local date and time as the device's clock takes it.
struct DateTime {
    int year = 2000; // four digits; the Frame carries the last two
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
};

// Where the TimeFrame takes "now" from; tests pass a frozen clock.
using Clock = std::function<DateTime()>;

// The computer's local date and time.
DateTime localDateTime();

// The Frame at 0x8080 that sets the device's clock: YYMMDDhhmm as ASCII digits,
// then 54 bytes 0x00.
Frame TimeFrame(const DateTime& now);

} // namespace qta::transfer
