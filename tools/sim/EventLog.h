#pragma once

#include "SimTime.h"
#include "transfer/TimeFrame.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace qta::sim {

inline constexpr std::size_t kEventSlots = 256;
inline constexpr std::size_t kEventRecordBytes = 32;
inline constexpr std::size_t kEventLogBytes = kEventSlots * kEventRecordBytes;

// The device's event log: 256 slots of 32 bytes (time stamp DDMMYYhhmm, 16 bytes
// of text, 5 unused bytes, the event code). A slot never written starts with
// 0xFF, a cleared one with 0x00.
class EventLog {
public:
    using Record = std::array<std::uint8_t, kEventRecordBytes>;

    // Nullopt unless `bytes` is exactly 256 records long.
    static std::optional<EventLog> fromBytes(std::span<const std::uint8_t> bytes);
    // A plausible log ending at `newest`: stamped events with codes 0 to 133, some
    // with a phone number as text, a few cleared slots, and unwritten slots at the end.
    static EventLog generated(std::uint64_t seed, const transfer::DateTime& newest);

    const Record& record(std::size_t slot) const { return records_.at(slot); }
    Bytes bytes() const;

private:
    std::array<Record, kEventSlots> records_{};
};

} // namespace qta::sim
