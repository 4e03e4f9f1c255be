#include "GprsLink.h"

#include "Commands.h"
#include "GprsServer.h"

#include "catalogue/DeviceTexts.h"
#include "log/StatusReport.h"
#include "transfer/ConfigEncoder.h"
#include "transfer/ConfigImage.h"

#include <QHostAddress>

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace qta::link {
namespace {

constexpr Millis kTimer2Interval{50};
constexpr Millis kWatchdogInterval{1000};
constexpr Millis kDialogTimeoutInterval{1000};
constexpr int kWatchdogTicks = 10;      // more ticks than this without an exchange: the device is gone
constexpr int kDialogTimeoutTicks = 30; // the code entry closes at the tick after this

bool isStatusReport(const Bytes& bytes) {
    return bytes.size() == log::kStatusReportSize && bytes.back() == kReportTail.back();
}

// The dialog shows the first maximum while it waits for the device, the second
// once the device has taken the command (progress: slot, block address, record).
int waitingMaximum(TransferKind kind) {
    switch (kind) {
    case TransferKind::Write:
        return 315;
    case TransferKind::Read:
        return 20160;
    case TransferKind::EventLog:
        break;
    }
    return 256;
}

int runningMaximum(TransferKind kind) {
    switch (kind) {
    case TransferKind::Write:
        return transfer::GprsSlots::kSlotCount;
    case TransferKind::Read:
        return transfer::kLastFrameAddress;
    case TransferKind::EventLog:
        break;
    }
    return 255;
}

// A second device is turned away at once (a reset, not a connection that hangs).
void refuse(int socket) {
    const linger reset{1, 0};
    setsockopt(socket, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    ::close(socket);
}

} // namespace

GprsLink::GprsLink(LinkState& state, LinkView& view, Configuration& config, Clock& clock,
                   transfer::Clock wallClock, const LinkOptions& options)
    : state_(state), view_(view), config_(config), clock_(clock), wallClock_(std::move(wallClock)),
      options_(options), uiNotifier_(uiDoorbell_.fd(), QSocketNotifier::Read),
      timer2_(clock, kTimer2Interval, [this] { Timer2Timer(); }),
      gprsTimer_(clock, kWatchdogInterval, [this] { GPRSTimerTimer(); }),
      dialogTimer_(clock, kDialogTimeoutInterval, [this] { dialogTimeoutTick(); }), identifyLimit_(clock),
      stall_(clock), closeWait_(clock) {
    connect(&uiNotifier_, &QSocketNotifier::activated, this, [this] { runQueuedWork(); });
}

GprsLink::~GprsLink() {
    connection_.reset(); // joins the thread: nothing of it runs after this
    server_.reset();
}

// ---- the server ----

void GprsLink::start() {
    {
        auto shared = shared_.lock();
        shared->stopWaiting = false;
    }
    if (server_)
        return;
    server_ = std::make_unique<GprsServer>([this](int socket) { IdTCPServer1Connect(socket); });
    if (!server_->listen(QHostAddress::Any, options_.gprs.listenPort)) {
        const std::string text = server_->errorString().toStdString();
        server_.reset();
        view_.showMessage(LinkMessage::error(text), [] {});
    }
}

// The connection's end is handled before this returns, so nothing of GPRS is
// left to happen once another transport takes over.
void GprsLink::stop() {
    server_.reset();
    gprsTimer_.setEnabled(false);
    if (!connection_)
        return;
    connection_->close();
    connection_->join();
    runQueuedWork(); // ends with the connection's end
}

std::uint16_t GprsLink::port() const {
    return server_ ? server_->serverPort() : 0;
}

void GprsLink::IdTCPServer1Connect(int socket) {
    if (connection_) {
        refuse(socket);
        return;
    }
    {
        auto shared = shared_.lock();
        shared->received.clear();
        shared->outgoing.clear();
        shared->stopWaiting = false;
        shared->clearRequests();
        shared->transferDone = false;
        shared->unlocked = false;
        shared->eventCount = 0;
        shared->tickCount = 0;
        shared->closing = false;
        shared->applied = 0;
        shared->bytesIn = 0;
        shared->bytesOut = 0;
        shared->bytesDropped = 0;
    }
    state_.linkBuffer.clear();
    state_.frameAccepted = false;
    state_.gprsConnected = true;
    dialogTimeoutTicks_ = 0;
    requested_.reset();
    running_.reset();
    view_.lockTransportChoice(true);
    view_.showLinkUp(true);
    timer2_.setEnabled(true);
    identifyLimit_.start(options_.gprs.identifyLimit, [this] { closeConnection(); });
    ConnectionEvents& events = *this;
    connection_ = std::make_unique<GprsConnection>(socket, shared_, events, options_.gprs,
                                                   options_.resendLimit, wallClock_);
}

// The connection has ended, whoever ended it: whatever ran with it ends too.
void GprsLink::IdTCPServer1Disconnect() {
    connection_.reset(); // its thread has returned
    timer2_.setEnabled(false);
    gprsTimer_.setEnabled(false);
    identifyLimit_.stop();
    closeWait_.stop();
    if (const std::optional<TransferKind> lost = running_ ? running_ : requested_)
        endTransfer(*lost, TransferEnd::LinkLost);
    if (dialog_ != Dialog::Hidden)
        hideDialog();
    {
        auto shared = shared_.lock();
        shared->received.clear();
        shared->outgoing.clear();
        shared->stopWaiting = false;
        shared->clearRequests();
        shared->transferDone = false;
    }
    state_.linkBuffer.clear();
    state_.frameAccepted = false;
    state_.gprsConnected = false;
    if (state_.unlocked)
        Disconnect(); // the device is gone: the display says so at once
    view_.showLinkUp(false);
    view_.lockTransportChoice(false);
    if (closed_) // a fresh event, so the window may go away without us on the stack
        QMetaObject::invokeMethod(this, std::exchange(closed_, nullptr), Qt::QueuedConnection);
}

void GprsLink::closeConnection() {
    if (connection_)
        connection_->close();
}

// ---- work from the connection thread ----

// The work travels under the shared lock; the doorbell only wakes the UI thread.
void GprsLink::post(std::function<void()> work) {
    bool ring = false;
    {
        auto shared = shared_.lock();
        shared->uiWork.push_back(std::move(work));
        ring = !std::exchange(shared->uiRung, true);
    }
    if (ring)
        uiDoorbell_.ring();
}

void GprsLink::runQueuedWork() {
    uiDoorbell_.clear();
    std::vector<std::function<void()>> work;
    {
        auto shared = shared_.lock();
        work.swap(shared->uiWork);
        shared->uiRung = false;
    }
    for (const auto& item : work)
        item();
}

void GprsLink::markApplied(std::uint64_t ticket) {
    auto shared = shared_.lock();
    shared->applied = std::max(shared->applied, ticket);
    shared.notify();
}

void GprsLink::transferAccepted(TransferKind kind) {
    post([this, kind] {
        if (running_ != kind)
            return;
        madeProgress();
        view_.showTransferRunning(runningMaximum(kind));
    });
}

void GprsLink::frameArrived(const transfer::Frame& frame, std::uint64_t ticket) {
    post([this, frame, ticket] {
        if (running_ == TransferKind::Read && decoder_) {
            state_.blockAddress = frame.address;
            state_.receivedPayload = frame.payload;
            decoder_->ReadData(frame);
            madeProgress();
            view_.setProgress(std::min<int>(frame.address, runningMaximum(TransferKind::Read)));
        }
        markApplied(ticket);
    });
}

void GprsLink::recordArrived(const EventRecord& record, int count, std::optional<std::uint64_t> ticket) {
    post([this, record, count, ticket] {
        if (running_ == TransferKind::EventLog) {
            madeProgress();
            if (ticket)
                view_.WriteEvent(record);
            view_.setProgress(std::min(count, runningMaximum(TransferKind::EventLog)));
        }
        if (ticket)
            markApplied(*ticket);
    });
}

void GprsLink::slotSent(int slot) {
    post([this, slot] {
        if (running_ != TransferKind::Write)
            return;
        madeProgress();
        view_.setProgress(slot);
    });
}

void GprsLink::transferFinished(TransferKind kind) {
    post([this, kind] {
        if (running_ != kind)
            return;
        running_.reset();
        stall_.stop();
        decoder_.reset();
        timer2_.setEnabled(true);
        gprsTimer_.restart();
        // The dialog stays up until the next StatusReport.
        view_.transferEnded(kind, TransferEnd::Done);
    });
}

void GprsLink::echoRefused() {
    post([this] {
        if (running_ == TransferKind::Write)
            giveUpTransfer(TransferEnd::EchoRefused);
    });
}

void GprsLink::deviceEnded() {
    post([this] {
        gprsTimer_.setEnabled(false);
        Disconnect();
        if (dialog_ != Dialog::Hidden)
            hideDialog();
        view_.showLinkUp(false);
    });
}

void GprsLink::connectionEnded() {
    post([this] { IdTCPServer1Disconnect(); });
}

// ---- Timer2: the decisions of the exchange ----

void GprsLink::Timer2Timer() {
    auto shared = shared_.lock();
    if (pendingCode_ && shared->outgoing.empty()) {
        shared->outgoing = *std::exchange(pendingCode_, std::nullopt);
        shared.notify();
    }
    if (shared->received.empty())
        return;
    const Bytes unit = std::exchange(shared->received, {});
    // Identification asks for the code whenever the device is locked, also after
    // a refused or unanswered code.
    if (std::ranges::equal(unit, kIdentification) && !shared->unlocked) {
        shared->outgoing.assign(1, kIdentified);
        shared.notify();
        shared.unlock();
        Identify();
        return;
    }
    if (unit == Bytes{kCodeAccepted}) {
        shared->stopWaiting = true;
        shared->unlocked = true;
        shared->tickCount = 0;
        shared.notify();
        shared.unlock();
        codeAccepted();
        return;
    }
    if (unit == Bytes{kCodeRefused}) {
        shared->stopWaiting = true;
        shared.notify();
        shared.unlock();
        codeRefused();
        return;
    }
    if (shared->transferDone && isStatusReport(unit)) {
        answerReport(shared, unit);
        return;
    }
    // Taken by no rule: the thread's wait ends without an answer, so nothing
    // that arrives can leave it waiting for good.
    shared->stopWaiting = true;
    shared.notify();
    if (unit == Bytes{kEndCommand}) {
        shared.unlock();
        if (dialog_ != Dialog::Hidden)
            hideDialog();
        view_.showLinkUp(false);
    }
}

// One StatusReport: the answer is the requested command, or 0x1B plus the output
// command; the output command is taken in the same locked step that builds the
// answer, so a click never falls between the two threads.
void GprsLink::answerReport(SharedLinkState::Locked& shared, const Bytes& report) {
    const std::optional<std::uint8_t> command =
        state_.linkBuffer.empty() ? std::nullopt : std::optional(state_.linkBuffer.front());
    const int pending = shared->pendingOutputCommand;
    shared->outgoing.assign(1, command ? *command : static_cast<std::uint8_t>(kNothingToDo + pending));
    shared->pendingOutputCommand = 0;
    const std::optional<TransferKind> kind = command ? transferOfCommand(*command) : std::nullopt;
    if (kind)
        startTransfer(shared, *kind);
    shared.notify();
    shared.unlock();

    if (kind) {
        timer2_.setEnabled(false);
        state_.transferAborted = false;
        requested_.reset();
        running_ = kind;
        showTransferDialog(*kind);
        if (*kind == TransferKind::EventLog)
            view_.clearEvents();
        if (*kind == TransferKind::Read)
            decoder_ = std::make_unique<transfer::ConfigDecoder>(config_, options_.decimalSeparator);
        madeProgress();
    }
    view_.ShowDiag(
        std::span<const std::uint8_t, log::kStatusReportSize>(report.data(), log::kStatusReportSize),
        pending != 0);
    if (dialog_ == Dialog::Transfer && !kind)
        hideDialog(); // the transfer before this report has ended
}

void GprsLink::startTransfer(SharedLinkState::Locked& shared, TransferKind kind) {
    shared->requestFlag(kind) = true;
    shared->transferDone = false;
    if (kind == TransferKind::Write)
        shared->frames = std::move(preparedFrames_);
    if (kind == TransferKind::EventLog)
        shared->eventCount = 0;
}

// ---- the watchdog and the code entry's time-out ----

// More than ten silent seconds: the display is reset, and the connection closed
// so that the device can dial in again.
void GprsLink::GPRSTimerTimer() {
    {
        auto shared = shared_.lock();
        if (++shared->tickCount <= kWatchdogTicks)
            return;
        shared->unlocked = false;
        shared->stopWaiting = false;
        shared->clearRequests();
        shared->transferDone = false;
        shared->tickCount = 0;
        shared.notify();
    }
    gprsTimer_.setEnabled(false);
    Disconnect();
    closeConnection();
}

void GprsLink::dialogTimeoutTick() {
    if (++dialogTimeoutTicks_ <= kDialogTimeoutTicks)
        return;
    const bool threadWaitsForCode = dialog_ == Dialog::AccessCode;
    hideDialog();
    // Only a wait for the code is released: a release nobody waits for would end
    // the next exchange unanswered.
    if (threadWaitsForCode) {
        auto shared = shared_.lock();
        shared->stopWaiting = true;
        shared.notify();
    }
}

// ---- the dialog and the display ----

void GprsLink::Identify() {
    identifyLimit_.stop();
    dialog_ = Dialog::AccessCode;
    dialogTimeoutTicks_ = 0;
    dialogTimer_.restart();
    {
        auto shared = shared_.lock();
        shared->transferDone = false;
    }
    gprsTimer_.setEnabled(false);
    view_.showAccessPrompt();
}

void GprsLink::codeAccepted() {
    state_.unlocked = true;
    dialog_ = Dialog::Hidden;
    dialogTimer_.setEnabled(false);
    dialogTimeoutTicks_ = 0;
    {
        auto shared = shared_.lock();
        shared->transferDone = true;
    }
    gprsTimer_.restart();
    view_.showConnected(true);
    view_.showCodeAccepted();
}

// The notice stays until the code entry's time-out, or until the device
// identifies itself again and the code is asked anew.
void GprsLink::codeRefused() {
    dialog_ = Dialog::CodeRefused;
    view_.showCodeRefused(Transport::Gprs);
}

void GprsLink::showTransferDialog(TransferKind kind) {
    dialog_ = Dialog::Transfer;
    state_.linkBuffer.clear(); // each request is sent once
    gprsTimer_.setEnabled(false);
    view_.showTransferWaiting(kind, waitingMaximum(kind));
}

void GprsLink::hideDialog() {
    pendingCode_.reset();
    const bool shown = dialog_ != Dialog::Hidden;
    dialog_ = Dialog::Hidden;
    dialogTimer_.setEnabled(false);
    dialogTimeoutTicks_ = 0;
    {
        auto shared = shared_.lock();
        shared->transferDone = true;
    }
    if (shown)
        view_.hideDialog();
    lockedAndIdle();
}

// A locked connection with no prompt up must identify itself again in time.
void GprsLink::lockedAndIdle() {
    if (connection_ && !state_.unlocked && !identifyLimit_.active())
        identifyLimit_.start(options_.gprs.identifyLimit, [this] { closeConnection(); });
}

void GprsLink::Disconnect() {
    view_.blankDiagnostics();
    view_.showConnected(false);
    {
        auto shared = shared_.lock();
        shared->tickCount = 0;
        shared->unlocked = false;
        shared.notify();
    }
    state_.unlocked = false;
}

// ---- the user's commands ----

void GprsLink::request(TransferKind kind) {
    if (!connection_ || transferRunning())
        return;
    gprsTimer_.setEnabled(false);
    if (kind == TransferKind::Write) {
        // The Frames come from a snapshot, taken now; the TimeFrame is dated again as it goes out.
        const Configuration snapshot = config_;
        auto frames = std::make_shared<transfer::GprsSlots>();
        transfer::SendDataFromForm(snapshot, catalogue::imageDeviceTexts(view_.language()), *frames);
        frames->storeTimeFrame(wallClock_());
        preparedFrames_ = std::move(frames);
    }
    state_.linkBuffer.assign(1, commandByte(kind));
    requested_ = kind;
    madeProgress(); // the next report, which takes the command, is waited for within the bound too
}

bool GprsLink::OutputClick(int command) {
    if (!state_.unlocked || command < 1 || command > 8)
        return false;
    auto shared = shared_.lock();
    if (shared->pendingOutputCommand != 0)
        return false;
    shared->pendingOutputCommand = command;
    return true;
}

void GprsLink::submitAccessCode(const std::string& code) {
    if (dialog_ != Dialog::AccessCode)
        return; // a second Enter sends nothing
    Bytes message = accessCodeMessage(code);
    dialog_ = Dialog::CheckingCode; // the dialog stays up until the device answers
    auto shared = shared_.lock();
    // The code must not take the place of the identification's 0x1F while that
    // still waits to go out: Timer2 hands it over once it has.
    if (!shared->outgoing.empty()) {
        pendingCode_ = std::move(message);
        return;
    }
    shared->outgoing = std::move(message);
    shared.notify();
}

void GprsLink::closeDialog() {
    switch (dialog_) {
    case Dialog::AccessCode: {
        hideDialog();
        auto shared = shared_.lock();
        shared->stopWaiting = true; // the thread waits for the code no longer
        shared.notify();
        return;
    }
    case Dialog::CheckingCode:
    case Dialog::CodeRefused:
        hideDialog();
        return;
    case Dialog::Transfer:
        cancelTransfer();
        return;
    case Dialog::Hidden:
        return;
    }
}

void GprsLink::cancelTransfer() {
    if (transferRunning())
        giveUpTransfer(TransferEnd::Cancelled);
    else if (dialog_ == Dialog::Transfer)
        hideDialog(); // finished, and the report that would close the dialog is slow to come
}

// The end of the connection goes to the device as the answer to its next report.
void GprsLink::Image1Click() {
    if (dialog_ != Dialog::Hidden)
        return;
    view_.showLinkUp(false);
    if (requested_) { // the end replaces a request that was not sent yet
        requested_.reset();
        preparedFrames_.reset();
        stall_.stop();
        gprsTimer_.restart();
    }
    state_.linkBuffer.assign(1, kEndCommand);
}

// The device is asked to end the connection and the window waits, at most the
// close wait, for it to go. A locked device cannot be asked: it is closed at once.
bool GprsLink::FormCloseQuery(std::function<void()> closed) {
    if (!connection_)
        return true;
    const bool asked = static_cast<bool>(closed_);
    closed_ = std::move(closed);
    if (asked)
        return false; // already on its way: the wait is not started anew
    if (!state_.unlocked) {
        closeConnection();
        return false;
    }
    if (transferRunning())
        giveUpTransfer(TransferEnd::Cancelled);
    if (dialog_ != Dialog::Hidden)
        hideDialog();
    state_.linkBuffer.assign(1, kEndCommand);
    closeWait_.start(options_.gprs.closeWait, [this] { closeConnection(); });
    return false;
}

// ---- transfers that end early ----

// Restarted before the view hears of the progress, so that this bound, and not
// a bound of the view's own, is the one that ends a transfer gone quiet.
void GprsLink::madeProgress() {
    stall_.start(options_.stallLimit, [this] { giveUpTransfer(TransferEnd::NoAnswer); });
}

void GprsLink::endTransfer(TransferKind kind, TransferEnd end) {
    requested_.reset();
    running_.reset();
    stall_.stop();
    decoder_.reset();
    preparedFrames_.reset();
    state_.linkBuffer.clear();
    state_.transferAborted = true;
    {
        auto shared = shared_.lock();
        shared->clearRequests();
        shared->transferDone = true;
        shared.notify();
    }
    if (dialog_ == Dialog::Transfer)
        hideDialog();
    view_.transferEnded(kind, end);
    view_.showMessage(LinkMessage::transferIncomplete(kind, end, options_.resendLimit), [] {});
}

// A device that went quiet during a transfer is taken as gone: the display is
// reset and the connection closed, so that it can dial in again. After a Cancel
// or a refused echo the exchange goes on.
void GprsLink::giveUpTransfer(TransferEnd end) {
    const std::optional<TransferKind> kind = running_ ? running_ : requested_;
    if (!kind)
        return;
    endTransfer(*kind, end);
    if (end == TransferEnd::NoAnswer) {
        Disconnect();
        closeConnection();
        return;
    }
    timer2_.setEnabled(true);
    {
        auto shared = shared_.lock();
        shared->tickCount = 0;
    }
    gprsTimer_.setEnabled(state_.unlocked);
}

GprsLink::Activity GprsLink::activity() {
    auto shared = shared_.lock();
    Activity activity;
    activity.connected = connection_ != nullptr;
    activity.settled = !activity.connected || (shared->threadWaiting && shared->uiWork.empty());
    activity.bytesIn = shared->bytesIn;
    activity.bytesOut = shared->bytesOut;
    activity.bytesDropped = shared->bytesDropped;
    return activity;
}

} // namespace qta::link
