#pragma once

#include "Bridge.h"

#include "transfer/Frame.h"

#include <cstdint>

namespace qta::link {

// The one record of the connection's state, shared by the poll, the transfers,
// the diagnostics and the transfer dialog. Over USB everything here lives on the
// user-interface thread.
struct LinkState {
    bool usbOpen = false;       // the bridge is open and set up
    bool unlocked = false;      // the device accepted the access code
    bool gprsConnected = false; // a device is connected to the GPRS server
    bool frameAccepted = false; // the last link step completed
    bool transferAborted = false;
    bool readConfigRequested = false;  // 0x60
    bool writeConfigRequested = false; // 0xAA
    bool eventLogRequested = false;    // 0x0E
    bool transferDone = true;          // no transfer dialog is up
    bool stopWaiting = false;

    Bytes linkBuffer; // USB: the exchange buffer and the status-byte accumulator
    std::uint16_t blockAddress = 0;
    transfer::Payload receivedPayload{};
    std::uint32_t bytesWritten = 0;
    std::uint32_t bytesRead = 0;
    int pendingOutputCommand = 0; // 0 none, 1..4 switch output n off, 5..8 output n-4 on
    int tickCount = 0;
    int eventCount = 0;

    bool anyRequest() const { return readConfigRequested || writeConfigRequested || eventLogRequested; }
};

} // namespace qta::link
