#include "DeviceClock.h"

namespace qta::sim {
namespace {

using namespace std::chrono;

std::optional<int> twoDigits(std::span<const std::uint8_t> digits, std::size_t at) {
    const auto isDigit = [](std::uint8_t c) {
        return c >= '0' && c <= '9';
    };
    if (!isDigit(digits[at]) || !isDigit(digits[at + 1]))
        return std::nullopt;
    return (digits[at] - '0') * 10 + (digits[at + 1] - '0');
}

} // namespace

DeviceClock::DeviceClock(const transfer::DateTime& start, Micros at) : base_(toMinutes(start)), baseAt_(at) {}

void DeviceClock::set(const transfer::DateTime& dateTime, Micros at) {
    base_ = toMinutes(dateTime);
    baseAt_ = at;
}

transfer::DateTime DeviceClock::at(Micros now) const {
    return fromMinutes(base_ + floor<minutes>(now - baseAt_));
}

DeviceClock::Digits DeviceClock::digits(Micros now) const {
    const transfer::DateTime time = at(now);
    Digits out{};
    std::size_t i = 0;
    for (const int value : {time.year % 100, time.month, time.day, time.hour, time.minute}) {
        out[i++] = static_cast<std::uint8_t>('0' + value / 10);
        out[i++] = static_cast<std::uint8_t>('0' + value % 10);
    }
    return out;
}

std::optional<transfer::DateTime> DeviceClock::fromDigits(std::span<const std::uint8_t> digits) {
    if (digits.size() < 10)
        return std::nullopt;
    std::array<int, 5> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto value = twoDigits(digits, 2 * i);
        if (!value)
            return std::nullopt;
        values[i] = *value;
    }
    const transfer::DateTime dateTime{2000 + values[0], values[1], values[2], values[3], values[4]};
    const year_month_day date{year(dateTime.year), month(static_cast<unsigned>(dateTime.month)),
                              day(static_cast<unsigned>(dateTime.day))};
    if (!date.ok() || dateTime.hour > 23 || dateTime.minute > 59)
        return std::nullopt;
    return dateTime;
}

transfer::DateTime DeviceClock::shifted(const transfer::DateTime& dateTime, long minutes) {
    return fromMinutes(toMinutes(dateTime) + std::chrono::minutes(minutes));
}

DeviceClock::Minutes DeviceClock::toMinutes(const transfer::DateTime& dateTime) {
    const year_month_day date{year(dateTime.year), month(static_cast<unsigned>(dateTime.month)),
                              day(static_cast<unsigned>(dateTime.day))};
    return sys_days(date) + hours(dateTime.hour) + minutes(dateTime.minute);
}

transfer::DateTime DeviceClock::fromMinutes(Minutes minutesSinceEpoch) {
    const auto dayStart = floor<days>(minutesSinceEpoch);
    const year_month_day date(dayStart);
    const hh_mm_ss time(minutesSinceEpoch - dayStart);
    return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day())), static_cast<int>(time.hours().count()),
            static_cast<int>(time.minutes().count())};
}

} // namespace qta::sim
