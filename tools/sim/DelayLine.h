#pragma once

#include "SimTime.h"

#include <deque>
#include <span>
#include <vector>

namespace qta::sim {

// A one-way delay on a network path: each chunk comes out `delay` after it went
// in, in the order it went in, as a GPRS link's round trip holds every exchange.
class DelayLine {
public:
    explicit DelayLine(Micros delay) : delay_(delay) {}

    void push(std::span<const std::uint8_t> chunk, Micros now);
    // The chunks due by `now`, each with the moment it came out.
    struct Chunk {
        Bytes bytes;
        Micros due;
    };
    std::vector<Chunk> take(Micros now);
    Micros nextDue() const { return chunks_.empty() ? kNever : chunks_.front().due; }
    void clear() { chunks_.clear(); }

private:
    Micros delay_;
    std::deque<Chunk> chunks_;
};

} // namespace qta::sim
