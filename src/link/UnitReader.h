#pragma once

#include "session/Bytes.h"
#include "session/ChunkCutter.h"

#include <chrono>
#include <optional>
#include <span>

namespace qta::link {

// What a GPRS connection has received and not yet given to its session, cut
// into the units the session expects. An incomplete unit is dropped after
// silence, so that it cannot join the next. Every GPRS connection reads through
// one, whether a thread of its own or a loop of many runs it.
class UnitReader {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    UnitReader(std::size_t limit, Millis partialUnitDrop)
        : cutter_(limit), partialUnitDrop_(partialUnitDrop) {}

    // How much may be read from the network now; 0 while the buffer is full
    // (the device then waits, as TCP holds back what it sends).
    std::size_t room() const { return cutter_.room(); }
    void arrived(std::span<const std::uint8_t> bytes, TimePoint now);

    // The next whole unit for `expect` (nothing while the session waits for the
    // user: what arrives meanwhile is kept). While an incomplete unit waits,
    // `silenceLeft` says how long until it is dropped.
    std::optional<Unit> next(std::optional<Expect> expect, TimePoint now, std::optional<Millis>& silenceLeft);

    void dropAll() { cutter_.dropAll(); }
    std::uint64_t dropped() const { return cutter_.dropped(); }

private:
    ChunkCutter cutter_;
    Millis partialUnitDrop_;
    TimePoint lastArrival_{};
};

} // namespace qta::link
