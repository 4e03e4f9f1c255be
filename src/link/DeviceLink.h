#pragma once

#include "Clock.h"
#include "LinkState.h"
#include "LinkView.h"

#include "model/Configuration.h"
#include "transfer/TimeFrame.h"

#include <memory>
#include <string>

namespace qta::link {

// The bounds on waiting for the device, which the protocol itself leaves open.
struct LinkOptions {
    // A transfer, or the wait for a command's acceptance, that makes no progress
    // this long is given up.
    Millis stallLimit{10000};
    // One Frame sent this often without a matching echo gives the write up.
    int resendLimit = 10;
    // The longest wait for the device's answer to the access code.
    Millis unlockAnswerLimit{10000};
    // The decimal separator of the number fields that a read fills.
    char decimalSeparator = '.';
};

class UsbLink;

// The engine of the device connection: the USB poll with identification, access
// code and status reports, the transfers (write, read, event log) and output
// switching. Event-driven: it reacts to bytes, timers and the user's actions, and
// never waits inside a call. It talks to the user only through its LinkView.
class DeviceLink {
public:
    // `config` is the window's Configuration: a write encodes a snapshot of it, a
    // read sets its fields. `wallClock` dates the TimeFrame.
    DeviceLink(Configuration& config, LinkView& view, BridgeDriver& driver, Clock& clock,
               transfer::Clock wallClock, LinkOptions options = {});
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Starts the USB poll (every 100 ms until a bridge is found).
    void start();

    Transport transport() const { return transport_; }
    void rdbUSBClick();

    // The device commands of the menus (Send, Read, event-log Read). Each needs an
    // unlocked device, else the user is told "Device not connected !".
    void Odosla2Click();
    void Nata2Click();
    void Nata1Click();
    // A click on a grey output lamp that carries `command` (1..8). True when the
    // command was taken: the page then shows the new state at once.
    bool OutputClick(int command);

    // The transfer dialog's actions: the button (or Enter) in the code-sending role
    // with the code's Windows-1250 bytes; the button in its closing role, or a close
    // request of the dialog; Cancel during a transfer.
    void submitAccessCode(const std::string& code);
    void closeDialog();
    void cancelTransfer();

    // A transfer is requested or running.
    bool transferRunning() const { return state_.anyRequest(); }
    const LinkState& state() const { return state_; }

private:
    bool deviceConnected();
    void request(TransferKind kind);

    LinkView& view_;
    LinkOptions options_;
    Transport transport_ = Transport::Usb;
    LinkState state_;
    std::unique_ptr<UsbLink> usb_;
};

} // namespace qta::link
