#pragma once

#include "Bytes.h"
#include "LinkView.h"

#include <optional>

namespace qta::link {

// What the protocol itself does differently on the two transports; everything
// else a session does the same on both.
struct TransportProfile {
    Transport transport = Transport::Usb;
    // USB: a refused code is answered with 0x0D and its notice waits for the user's
    // OK, the poll reading nothing meanwhile. GPRS: the notice closes with the code
    // entry's time-out, and the device's next identification asks for the code anew.
    bool refusalAcknowledged = true;
    // GPRS: the code entry (and its refusal notice) closes after the dialog's 30
    // one-second ticks, at the 31st.
    std::optional<Millis> promptLimit;
    // GPRS: a connection not unlocked this long after it began is closed, however
    // often it identified itself meanwhile, so that a peer which says "QTA71P" but
    // never takes a code cannot hold the only slot.
    std::optional<Millis> unlockLimit;
    // GPRS: an unlocked device idle and silent this long (the watchdog's ten
    // ticks) is taken as gone. Over USB the poll counts its own ticks.
    std::optional<Millis> watchdog;
    // GPRS: a transfer gone quiet means the device must dial in anew, so the
    // connection is closed; over USB the poll finds out for itself.
    bool closeOnStall = false;
    // GPRS: the connection can be ended by 0x04; over USB the bridge is unplugged.
    bool hasEndCommand = false;
    // GPRS: the connection thread pauses after the last unit of a transfer.
    Millis transferEndPause{0};
    // GPRS: after the device's 0x04, before the connection is closed.
    Millis closeDelay{2500};

    // The dialog's gauge: while the command waits for the device, and once it runs.
    int waitingMaximum(TransferKind kind) const;
    int runningMaximum(TransferKind kind) const;
    // What the gauge shows for the TimeFrame that ends a write.
    int timeFrameProgress() const;
};

const TransportProfile& usbProfile();
// The GPRS times come from the server's options (tests shorten them).
TransportProfile gprsProfile(Millis unlockLimit, Millis transferEndPause, Millis closeDelay = Millis(2500));

} // namespace qta::link
