#pragma once

#include "Frame.h"

namespace qta::transfer {

// Where the encoder's Frames go: the USB exchange (which waits for each echo),
// the GPRS slots, an image in memory, or a test.
class FrameSink {
public:
    virtual ~FrameSink() = default;

    // Takes one Frame. `progress` is the block address the transfer dialog shows
    // for it (for four number slots, the fourth slot's address). Returns false
    // when the transfer was aborted; the encoder then sends nothing more.
    virtual bool send(const Frame& frame, std::uint16_t progress) = 0;
};

} // namespace qta::transfer
