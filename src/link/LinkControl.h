#pragma once

#include "session/LinkView.h"

#include <string>

namespace qta::link {

// What a person can do to the device link: the engine's operations, named once.
// The window's handlers and the CLI's jobs call them; DeviceLink carries them out.
class LinkControl {
public:
    virtual ~LinkControl() = default;

    // USB chosen: the poll runs, the GPRS server stops (ending a connection).
    virtual void rdbUSBClick() = 0;
    // GPRS chosen: the poll stops and the server listens.
    virtual void rdbGPRSClick() = 0;
    // A menu command (Send, Read, event-log Read); it needs an unlocked device.
    virtual void requestTransfer(TransferKind kind) = 0;
    // An output command (1..8) sent with the next answer; true when it was taken.
    virtual bool switchOutput(int command) = 0;
    // The transfer dialog's button (or Enter) in the code-sending role, with the
    // code's Windows-1250 bytes.
    virtual void submitAccessCode(const std::string& code) = 0;
    // The dialog's button in its closing role, or a close request of the dialog.
    virtual void closeDialog() = 0;
    // Cancel during a transfer.
    virtual void cancelTransfer() = 0;
    // Over GPRS, the device is asked to end the connection at its next report.
    virtual void endConnection() = 0;
};

} // namespace qta::link
