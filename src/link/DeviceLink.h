#pragma once

#include "Bridge.h"
#include "Clock.h"
#include "GprsOptions.h"
#include "LinkControl.h"

#include "model/Configuration.h"
#include "session/LinkState.h"
#include "session/LinkView.h"
#include "session/ProgrammerSession.h"
#include "transfer/TimeFrame.h"

#include <functional>
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
    // The GPRS server and the times of its protocol.
    GprsOptions gprs;
};

class SessionTransport;
class UsbLink;
class GprsLink;

// The engine of the device connection over the transport the user chose: the USB
// poll, or the GPRS server the device dials into. Both carry one ProgrammerSession
// each, which holds every rule of the protocol; this class only hands the user's
// requests to the transport in use. Event-driven: it never waits inside a call. It
// talks to the user only through its LinkView, on the thread that runs it.
class DeviceLink : public LinkControl {
public:
    // `config` is the window's Configuration: a write encodes a snapshot of it, a
    // read sets its fields. `wallClock` dates the TimeFrame.
    DeviceLink(Configuration& config, LinkView& view, BridgeDriver& driver, Clock& clock,
               transfer::Clock wallClock, LinkOptions options = {});
    ~DeviceLink() override;
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Starts the USB poll (every 100 ms until a bridge is found).
    void start();

    Transport transport() const { return transport_; }
    // USB chosen: the poll runs, the GPRS server stops (ending a connection).
    void rdbUSBClick() override;
    // GPRS chosen: the poll stops and the server listens; a port that cannot be
    // opened is reported with the socket layer's own text.
    void rdbGPRSClick() override;
    // Where the GPRS server listens and whom it keeps; a listening server takes
    // them at once.
    void setGprsAccess(const GprsAccess& access);
    const GprsAccess& gprsAccess() const { return options_.gprs.access; }
    // The port the GPRS server listens on, 0 while it does not.
    std::uint16_t gprsPort() const;

    // A menu command (Send, Read, event-log Read). It needs an unlocked device,
    // else the user is told "Device not connected !".
    void requestTransfer(TransferKind kind) override;
    // A Read whose Frames go into `into` instead of the window's Configuration (a
    // verify or a backup read, or a comparison with the device), which it leaves
    // alone. The one who asked for it words how it ended: the link says nothing of
    // what an early end leaves. `into` must last as long as the link, or until
    // the next such read is requested. Otherwise as requestTransfer(TransferKind::Read).
    void requestReadInto(Configuration& into);
    // An output command (1..8) sent with the next answer. True when it was taken:
    // the page then shows the new state at once.
    bool switchOutput(int command) override;

    // The transfer dialog's actions: the button (or Enter) in the code-sending role
    // with the code's Windows-1250 bytes; the button in its closing role, or a close
    // request of the dialog; Cancel during a transfer.
    void submitAccessCode(const std::string& code) override;
    void closeDialog() override;
    void cancelTransfer() override;

    // Over GPRS, the device is asked to end the connection at its next report.
    // Nothing while a dialog is up, or over USB.
    void endConnection() override;
    // The window wants to close. True: it may close now. False: a GPRS device is
    // being asked to end the connection; `closed` runs once it has (at most the
    // close wait later), and the window closes then.
    bool closeWindow(std::function<void()> closed);

    // A transfer is requested or running.
    bool transferRunning() const;
    // The connection's record as it stands.
    LinkState state() const;

    // The GPRS link, for tests and benchmarks; null until GPRS is first chosen.
    GprsLink* gprs() const { return gprs_.get(); }

private:
    SessionTransport& inUse() const;
    // The device is unlocked; otherwise the user is told "Device not connected !".
    bool unlockedOrSaid();

    Configuration& config_;
    Configuration* aside_ = nullptr;
    LinkView& view_;
    Clock& clock_;
    LinkOptions options_;
    SessionOptions sessionOptions_;
    Transport transport_ = Transport::Usb;
    LinkState usbState_;
    std::unique_ptr<UsbLink> usb_;
    std::unique_ptr<GprsLink> gprs_; // made when GPRS is first chosen (it needs an event loop)
};

} // namespace qta::link
