#pragma once

#include "HeadlessLink.h"

#include <string>

namespace qta::bench {

using Seconds = std::chrono::duration<double>;

// Where the time of one transfer went, against the wire time of its bytes.
struct TransferFigures {
    Seconds total{};            // from the menu command to the end
    std::size_t bytes = 0;      // both ways, meanwhile
    Seconds wire{};             // of those bytes at the baud rate (zero unpaced)
    Seconds untilCommand{};     // the request waits for the next StatusReport to answer
    Seconds reportTaken{};      // the poll taking that report, from its first byte to the answer
    Seconds afterCommand{};     // from the command byte to the end
    Seconds afterCommandWire{}; // of the bytes that crossed from the command byte to the end
    // A read's first Frame or record after the acceptance, above its wire time: the
    // device's pause before it.
    Seconds firstUnitExcess{};
    // The Frames (or records) after the acceptance: each exchange (a write and the
    // reads until the next write) against the wire time of its bytes.
    int exchanges = 0;
    Seconds exchangeExcess{}; // in all
    Seconds medianExcess{};   // of one exchange
    Seconds largestExcess{};

    double ratio() const { return wire.count() > 0 ? total / wire : 0.0; }
    double ratioAfterCommand() const {
        return afterCommandWire.count() > 0 ? afterCommand / afterCommandWire : 0.0;
    }
};

TransferFigures figuresOf(const TransferRun& run, int baud);
std::string transferName(link::TransferKind kind);

} // namespace qta::bench
