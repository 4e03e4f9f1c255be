#pragma once

#include "Random.h"
#include "SimTime.h"

#include <deque>
#include <span>

namespace qta::sim {

// Network faults on the device's way out: a unit sent in several chunks with
// short pauses between them (split), or a unit held back and sent in one chunk
// with the unit that follows it (join). Without either, each unit is one chunk.
class ChunkShaper {
public:
    struct Options {
        bool split = false;
        bool join = false;
        Micros splitPause = std::chrono::milliseconds(30);
        Micros joinWindow = std::chrono::milliseconds(800); // the longest a unit is held for a partner
    };

    ChunkShaper(Options options, std::uint64_t seed);

    // A unit ready at `now`. `nextUnitDue` is when the device will send its next
    // unit on its own (kNever if it waits for the programmer): a unit is held for
    // joining only when a partner is on its way.
    void push(std::span<const std::uint8_t> unit, Micros now, Micros nextUnitDue);
    // The chunks due by `now`, in order; each is to be sent on its own.
    std::vector<Bytes> take(Micros now);
    Micros nextDue() const;
    void clear();

private:
    struct Chunk {
        Bytes bytes;
        Micros due;
    };
    void schedule(Bytes unit, Micros now);

    Options options_;
    Random random_;
    std::deque<Chunk> chunks_;
    Bytes held_;
    Micros heldUntil_ = kNever;
};

} // namespace qta::sim
