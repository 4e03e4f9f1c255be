#pragma once

#include "StallProbe.h"

#include <QString>

#include <chrono>
#include <optional>

namespace qta::bench {

// The longest stalls of the UI thread with the real window attached to a device.
struct WindowStalls {
    StallProbe::Gap idle; // connected, status reports flowing
    Millis idleBusiest{};
    StallProbe::Gap read; // during a whole configuration read
    Millis readBusiest{};
    double readSeconds = 0;
    bool readDone = false;
};

// Runs the main window attached to the tty at `ptyPath`, unlocks the device by
// typing its code into the transfer dialog, then probes the UI thread for `idleMs`
// while connected and idle, and through one Read from the Data menu.
std::optional<WindowStalls> measureWindowStalls(const QString& ptyPath, int idleMs);

} // namespace qta::bench
