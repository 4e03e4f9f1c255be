#pragma once

namespace qta::app {

// What the window knows of the device connection. The device link will own
// this record; until then nothing sets `unlocked`, so every device command
// finds the device not connected.
struct LinkStatus {
    bool unlocked = false;
};

} // namespace qta::app
