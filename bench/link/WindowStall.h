#pragma once

#include <QString>

#include <chrono>
#include <optional>

namespace qta::bench {

using Millis = std::chrono::duration<double, std::milli>;

// The longest stalls of the UI thread with the real window attached to a device.
struct WindowStalls {
    Millis idle{}; // connected, status reports flowing
    Millis read{}; // during a whole configuration read
    double readSeconds = 0;
    bool readDone = false;
};

// Runs the main window attached to the tty at `ptyPath`, unlocks the device by
// typing its code into the transfer dialog, then probes the UI thread for `idleMs`
// while connected and idle, and through one Read from the Data menu.
std::optional<WindowStalls> measureWindowStalls(const QString& ptyPath, int idleMs);

} // namespace qta::bench
