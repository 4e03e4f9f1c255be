#pragma once

#include "DeviceLink.h"
#include "GprsConnection.h"
#include "IntervalTimer.h"
#include "SharedLinkState.h"

#include "transfer/ConfigDecoder.h"

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>
#include <optional>

namespace qta::link {

class GprsServer;

// The GPRS transport on the user-interface thread: the TCP server the device
// dials into, Timer2 (the exchange's decisions, every 50 ms), the watchdog
// GPRSTimer, the access-code dialog's time-out, and the bounds the protocol
// leaves open (a peer that never identifies, a transfer that stalls, a device
// that does not answer the end). One device at a time is served by a
// GprsConnection; what both sides share lives in SharedLinkState.
class GprsLink : public QObject, private ConnectionEvents {
    Q_OBJECT
public:
    GprsLink(LinkState& state, LinkView& view, Configuration& config, Clock& clock, transfer::Clock wallClock,
             const LinkOptions& options);
    ~GprsLink() override;

    // rdbGPRSClick: listens (on all local addresses); a port that cannot be
    // opened is reported with the socket layer's own text.
    void start();
    // rdbUSBClick: stops listening and ends a connection.
    void stop();
    // The bound port while listening, else 0.
    std::uint16_t port() const;

    void request(TransferKind kind);
    bool OutputClick(int command);
    void submitAccessCode(const std::string& code);
    void closeDialog();
    void cancelTransfer();
    void Image1Click();
    bool FormCloseQuery(std::function<void()> closed);

    bool transferRunning() const { return requested_ || running_; }
    bool connected() const { return connection_ != nullptr; }

    // What the connection has done so far, and whether everything is waiting
    // for the device or for a timer (nothing queued, the thread waiting).
    struct Activity {
        bool connected = false;
        bool settled = true;
        std::uint64_t bytesIn = 0;
        std::uint64_t bytesOut = 0;
        std::uint64_t bytesDropped = 0;
    };
    Activity activity();

private:
    enum class Dialog { Hidden, AccessCode, CheckingCode, CodeRefused, Transfer };

    // Runs the work the connection thread queued, in order.
    void runQueuedWork();
    void post(std::function<void()> work);
    void markApplied(std::uint64_t ticket);

    void IdTCPServer1Connect(int socket);
    void IdTCPServer1Disconnect();
    void closeConnection();

    void Timer2Timer();
    void answerReport(SharedLinkState::Locked& shared, const Bytes& report);
    void GPRSTimerTimer();
    void dialogTimeoutTick();

    void Identify();
    void Disconnect();
    void setUnlocked(bool unlocked);
    void codeAccepted();
    void codeRefused();
    void showTransferDialog(TransferKind kind);
    void hideDialog();
    void startTransfer(SharedLinkState::Locked& shared, TransferKind kind);
    void madeProgress();
    void endTransfer(TransferKind kind, TransferEnd end);
    void giveUpTransfer(TransferEnd end);
    void lockedAndIdle();

    // ConnectionEvents: on the connection thread, each queues its work.
    void transferAccepted(TransferKind kind) override;
    void frameArrived(const transfer::Frame& frame, std::uint64_t ticket) override;
    void recordArrived(const EventRecord& record, int count, std::optional<std::uint64_t> ticket) override;
    void slotSent(int slot) override;
    void transferFinished(TransferKind kind) override;
    void echoRefused() override;
    void deviceEnded() override;
    void connectionEnded() override;

    LinkState& state_;
    LinkView& view_;
    Configuration& config_;
    Clock& clock_;
    transfer::Clock wallClock_;
    const LinkOptions& options_;

    SharedLinkState shared_;
    // The connection thread rings it when it has queued work. Qt's own queue is
    // not used across the threads: its events are made in one thread and freed in
    // the other under a lock the thread checker cannot see.
    Doorbell uiDoorbell_;
    QSocketNotifier uiNotifier_;
    std::unique_ptr<GprsServer> server_;
    std::unique_ptr<GprsConnection> connection_;

    IntervalTimer timer2_;
    IntervalTimer gprsTimer_;
    IntervalTimer dialogTimer_;
    OneShot identifyLimit_;
    OneShot stall_;
    OneShot closeWait_;

    Dialog dialog_ = Dialog::Hidden;
    int dialogTimeoutTicks_ = 0;
    std::optional<TransferKind> requested_; // asked for, its command not yet sent
    std::optional<TransferKind> running_;   // its command sent, not yet ended here
    std::optional<Bytes> pendingCode_;      // typed before the identification's 0x1F went out
    std::shared_ptr<transfer::GprsSlots> preparedFrames_;
    std::unique_ptr<transfer::ConfigDecoder> decoder_;
    std::function<void()> closed_; // the window waits to close
};

} // namespace qta::link
