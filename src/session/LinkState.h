#pragma once

#include "Bytes.h"
#include "LinkView.h"

#include "transfer/Frame.h"

#include <cstdint>
#include <deque>
#include <optional>

namespace qta::link {

// The one record of a connection's state. The session keeps the protocol's part,
// the transport its own; over GPRS the record lives under the lock that the
// connection thread and the user-interface thread share.
struct LinkState {
    // The connection.
    bool usbOpen = false;       // the bridge is open and set up
    bool gprsConnected = false; // a device is connected to the GPRS server
    bool unlocked = false;      // the device accepted the access code

    // The exchange.
    bool frameAccepted = false; // the last link step completed
    bool transferAborted = false;
    bool readConfigRequested = false;  // 0x60, requested or running
    bool writeConfigRequested = false; // 0xAA
    bool eventLogRequested = false;    // 0x0E
    bool endRequested = false;         // GPRS: 0x04 goes with the next answer
    bool transferDone = true;          // no transfer dialog is up
    std::uint16_t blockAddress = 0;
    transfer::Payload receivedPayload{};
    int pendingOutputCommand =
        0; // with the next answer: 0 none, 1..4 switch output n off, 5..8 output n-4 on
    std::deque<int> laterOutputCommands; // clicked since, each with an answer of its own, in order
    int eventCount = 0;
    int slotIndex = 0; // a write: the Frame being sent, from 1

    // The USB poll.
    Bytes linkBuffer; // the exchange buffer and the status-byte accumulator
    std::uint32_t bytesWritten = 0;
    std::uint32_t bytesRead = 0;
    int tickCount = 0;

    bool anyRequest() const { return readConfigRequested || writeConfigRequested || eventLogRequested; }
    std::optional<TransferKind> transferRequested() const {
        if (writeConfigRequested)
            return TransferKind::Write;
        if (readConfigRequested)
            return TransferKind::Read;
        if (eventLogRequested)
            return TransferKind::EventLog;
        return std::nullopt;
    }
    bool& requestFlag(TransferKind kind) {
        switch (kind) {
        case TransferKind::Write:
            return writeConfigRequested;
        case TransferKind::Read:
            return readConfigRequested;
        case TransferKind::EventLog:
            break;
        }
        return eventLogRequested;
    }
    void clearRequests() { readConfigRequested = writeConfigRequested = eventLogRequested = false; }
};

} // namespace qta::link
