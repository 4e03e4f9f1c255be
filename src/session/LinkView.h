#pragma once

#include "Bytes.h"

#include "model/Language.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace qta::link {

enum class Transport { Usb, Gprs };
enum class TransferKind { Write, Read, EventLog };

// How a transfer ended.
enum class TransferEnd {
    Done,
    NoAnswer,    // no progress within the bound
    Cancelled,   // the user's Cancel
    LinkLost,    // the bridge vanished or the connection closed
    NotAccepted, // the device's acceptance was not the one the command asks for
    EchoRefused, // one Frame sent too often without a matching echo
    Incomplete,  // a read whose last block came before all the others had
    // A write whose image the device confirmed block by block, but not the TimeFrame
    // that sets its clock: the configuration is written.
    ClockNotConfirmed,
};

// Something the link tells the user, worded in the user's language by wordMessage().
struct LinkMessage {
    enum class Kind {
        ConnectionFailed,   // "Connection failed !" (the same in every language)
        DamagedDevice,      // "Damaged device !"
        ResetError,         // "reset error?"
        NotConnected,       // a device command while the device is locked
        PortPermission,     // an attached bridge this user may not open: path, owner, group, udevRuleMissing
        PortUnavailable,    // the tty the user named cannot be opened: path, portReason (and text)
        ModemManager,       // ModemManager runs and the udev rule that keeps it off the bridge is missing
        Brltty,             // a bridge vanished at once and brltty, which takes such bridges, is installed
        TransferIncomplete, // a transfer that ended early: transfer, end, resends
        CodeNoAnswer,       // no answer to the access code within the bound
        Error,              // a text of the system's own (a listening error)
    };
    Kind kind = Kind::Error;
    TransferKind transfer = TransferKind::Write;
    TransferEnd end = TransferEnd::Done;
    int resends = 0;
    std::string path, owner, group; // PortPermission
    bool udevRuleMissing = false;   // PortPermission: the rule is named as a fix
    // PortUnavailable: why; System gives the system's own text in `text`.
    enum class PortReason { System, InUse, NotSerial };
    PortReason portReason = PortReason::System;
    std::string text; // Error: shown as it is

    static LinkMessage of(Kind kind) {
        LinkMessage message;
        message.kind = kind;
        return message;
    }
    static LinkMessage transferIncomplete(TransferKind transfer, TransferEnd end, int resends) {
        LinkMessage message = of(Kind::TransferIncomplete);
        message.transfer = transfer;
        message.end = end;
        message.resends = resends;
        return message;
    }
    static LinkMessage error(std::string text) {
        LinkMessage message = of(Kind::Error);
        message.text = std::move(text);
        return message;
    }
};

// The link's one way to a person: the window (through an adapter), the CLI and the
// tests implement it. Every call comes on the thread that runs the link's user side.
class LinkView {
public:
    virtual ~LinkView() = default;

    virtual Language language() const = 0;

    // Top bar: `Image1` shown and `Image2` hidden while the link is up, and the other way round.
    virtual void showLinkUp(bool up) = 0;
    // `Label406`: "Connected" in green, or "Disconnected" in red.
    virtual void showConnected(bool connected) = 0;
    // `rdbUSB` and `rdbGPRS` disabled while a device is attached.
    virtual void lockTransportChoice(bool locked) = 0;
    // `Label411`: "USB" or "GPRS".
    virtual void showTransport(Transport transport) = 0;

    // The transfer dialog `TfRead`, in the modes of its table. Showing it keeps the
    // main window disabled until it hides.
    virtual void showAccessPrompt() = 0; // identification: the code entry, empty
    // The wrong-code notice; over USB with its "OK" button, over GPRS without.
    virtual void showCodeRefused(Transport transport) = 0;
    // The code was taken: the dialog gets its transfer look back and hides.
    virtual void showCodeAccepted() = 0;
    // A transfer waits for the device: "Waiting for answer... ", the gauge hidden
    // with this maximum, a Cancel button.
    virtual void showTransferWaiting(TransferKind kind, int gaugeMaximum) = 0;
    // The device took the command: the gauge at 0 of `gaugeMaximum`, "Transfer in progress. Please wait.".
    virtual void showTransferRunning(int gaugeMaximum) = 0;
    virtual void setProgress(int value) = 0;
    virtual void hideDialog() = 0;

    // The diagnostics page: one StatusReport (ShowDiag), with the output lamps and
    // option boxes left alone while an output command waits to be sent.
    virtual void ShowDiag(std::span<const std::uint8_t, 21> report, bool outputCommandPending) = 0;
    // The disconnected look of the page (part of Disconnect).
    virtual void blankDiagnostics() = 0;

    // The event log: emptied when a read starts; one line per non-empty record.
    virtual void clearEvents() = 0;
    virtual void WriteEvent(std::span<const std::uint8_t, 32> record) = 0;

    // A message box that does not stop the window; `closed` runs when the user has
    // closed it (at once for a view without boxes).
    virtual void showMessage(const LinkMessage& message, std::function<void()> closed) = 0;

    // A transfer has ended (nothing is shown for success: the dialog simply closes).
    virtual void transferEnded(TransferKind kind, TransferEnd end) = 0;
};

} // namespace qta::link
