#pragma once

#include "SimTime.h"

#include <cstdint>
#include <optional>

namespace qta::sim {

using namespace std::chrono_literals;

// How the device is reached: a USB bridge (a serial line) or its own GPRS
// connection (TCP). Only over the network does it end a connection on 0x04.
enum class Transport { Serial, Network };

// Faults to inject, all reproducible from the seed.
struct Faults {
    double corruptEcho = 0.0;               // chance per echo that one byte of it is changed
    std::optional<std::size_t> silentAfter; // that many Frames into a transfer it falls silent for good
    std::optional<std::size_t> dropAfter;   // that many Frames into a transfer it vanishes (once)
    bool garbage = false;                   // noise before each identification and between reports
    // Once a write has finished, the byte at this memory address has its lowest bit
    // flipped (a digit becomes its neighbour), as a failing memory cell would do.
    std::optional<std::size_t> flipAfterWrite;
};

struct DeviceOptions {
    Transport transport = Transport::Serial;
    Micros identPeriod = 500ms;   // "QTA71P" while locked
    Micros reportPeriod = 250ms;  // from an answer to the next StatusReport
    Micros answerWait = 1000ms;   // a StatusReport unanswered this long is sent again
    Micros relockAfter = 4s;      // no answer for this long while unlocked: locked again
    Micros codeWait = 30s;        // for the AccessCodeMessage after 0x1F
    Micros firstUnitDelay = 50ms; // from a read's acceptance to its first Frame or record
    Micros transferSilence = 3s;  // the programmer silent this long: the transfer is abandoned
    Micros frameGap = 200ms;      // a part of a Frame followed by this much silence is dropped
    bool optionBoxesFree = true;  // StatusReport byte 17 bit 7
    bool varyStatus = true;       // inputs, voltages and signal drift from report to report
    Faults faults;
    std::uint64_t seed = 1;
};

} // namespace qta::sim
