#include "EventLog.h"

#include "DeviceClock.h"
#include "Random.h"

#include <algorithm>
#include <string>

namespace qta::sim {
namespace {

constexpr std::size_t kTextOffset = 10;
constexpr std::size_t kTextSize = 16;
constexpr std::size_t kCodeOffset = 31;
constexpr std::uint32_t kEventCodes = 134;

void putTwoDigits(EventLog::Record& record, std::size_t at, int value) {
    record[at] = static_cast<std::uint8_t>('0' + value / 10 % 10);
    record[at + 1] = static_cast<std::uint8_t>('0' + value % 10);
}

EventLog::Record stampedRecord(const transfer::DateTime& when, const std::string& text, std::uint8_t code) {
    EventLog::Record record{};
    std::size_t at = 0;
    for (const int value : {when.day, when.month, when.year % 100, when.hour, when.minute}) {
        putTwoDigits(record, at, value);
        at += 2;
    }
    std::copy_n(text.begin(), std::min(text.size(), kTextSize), record.begin() + kTextOffset);
    record[kCodeOffset] = code;
    return record;
}

std::string phoneNumber(Random& random) {
    std::string number = "+42190";
    while (number.size() < 13)
        number += static_cast<char>('0' + random.below(10));
    return number;
}

} // namespace

std::optional<EventLog> EventLog::fromBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kEventLogBytes)
        return std::nullopt;
    EventLog log;
    for (std::size_t slot = 0; slot < kEventSlots; ++slot)
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(slot * kEventRecordBytes), kEventRecordBytes,
                    log.records_[slot].begin());
    return log;
}

EventLog EventLog::generated(std::uint64_t seed, const transfer::DateTime& newest) {
    Random random = randomFor(seed, Stream::EventLog);
    const std::size_t written = 160 + random.below(80);
    EventLog log;
    // Oldest first; the stamps step back from the newest by minutes to hours.
    std::vector<transfer::DateTime> stamps(written);
    long minutesBack = 0;
    for (std::size_t i = written; i-- > 0;) {
        stamps[i] = DeviceClock::shifted(newest, -minutesBack);
        minutesBack += 3 + random.below(600);
    }
    for (std::size_t slot = 0; slot < written; ++slot) {
        if (random.chance(0.03)) {
            log.records_[slot].fill(0x00); // cleared
            continue;
        }
        const std::string text = random.chance(0.4) ? phoneNumber(random) : std::string();
        log.records_[slot] =
            stampedRecord(stamps[slot], text, static_cast<std::uint8_t>(random.below(kEventCodes)));
    }
    for (std::size_t slot = written; slot < kEventSlots; ++slot)
        log.records_[slot].fill(0xFF); // never written
    return log;
}

Bytes EventLog::bytes() const {
    Bytes out;
    out.reserve(kEventLogBytes);
    for (const auto& record : records_)
        out.insert(out.end(), record.begin(), record.end());
    return out;
}

} // namespace qta::sim
