#include "ProgrammerSession.h"

#include "Commands.h"

#include "log/EventRecord.h"
#include "transfer/ConfigImage.h"

#include <algorithm>

namespace qta::link {
namespace {

constexpr int kEventRecords = 256;

} // namespace

// A menu command's request: the next StatusReport is answered with its command
// byte. Waiting for that report is bounded like every other step.
Actions ProgrammerSession::requestTransfer(TransferKind kind, WriteSnapshot frames, ReadInto into) {
    if (phase_ != Phase::Unlocked || state_.anyRequest() || state_.endRequested)
        return take();
    state_.frameAccepted = false;
    state_.transferAborted = false;
    state_.requestFlag(kind) = true;
    frames_ = std::move(frames);
    readInto_ = into;
    if (kind == TransferKind::EventLog) {
        state_.eventCount = 0;
        view([](LinkView& v) { v.clearEvents(); });
    }
    dialog_ = Dialog::Transfer;
    state_.transferDone = false;
    if (profile_.watchdog)
        stopTimer(SessionTimer::Watchdog);
    const int maximum = profile_.waitingMaximum(kind);
    view([kind, maximum](LinkView& v) { v.showTransferWaiting(kind, maximum); });
    madeProgress();
    return take();
}

Actions ProgrammerSession::cancelTransfer() {
    if (state_.anyRequest())
        endTransfer(TransferEnd::Cancelled);
    else if (dialog_ == Dialog::Transfer)
        hideDialog(); // finished, and the report that would close the dialog is slow to come
    return take();
}

TransferKind ProgrammerSession::runningKind() const {
    return state_.transferRequested().value_or(TransferKind::EventLog);
}

void ProgrammerSession::transferUnit(const Unit& unit) {
    switch (unit.kind) {
    case UnitKind::StatusReport:
        // The device has not taken the command: it is sent again; no progress.
        if (phase_ == Phase::Accepting) {
            sendByte(commandByte(runningKind()));
        } else if (timeFrameSent()) {
            // It took the TimeFrame and has ended its write: the report is answered
            // as any other, so that the device does not lock itself waiting.
            finishTransfer();
            answerReport(unit);
        }
        return;
    case UnitKind::Acceptance:
        if (phase_ == Phase::Accepting)
            acceptanceArrived(unit);
        return;
    case UnitKind::Echo:
        if (phase_ == Phase::Running && runningKind() == TransferKind::Write)
            echoArrived(unit);
        return;
    case UnitKind::Frame:
        if (phase_ == Phase::Running && runningKind() == TransferKind::Read)
            frameArrived(unit);
        return;
    case UnitKind::Record:
        if (phase_ == Phase::Running && runningKind() == TransferKind::EventLog)
            recordArrived(unit);
        return;
    case UnitKind::Identification:
    case UnitKind::Answer:
        return;
    }
}

// Anything but the sixteen bytes the command asks for stops the transfer before
// a single Frame is written.
void ProgrammerSession::acceptanceArrived(const Unit& unit) {
    const TransferKind kind = runningKind();
    const std::uint8_t expected = kind == TransferKind::Write ? kWriteAccepted : kSendingAccepted;
    const bool accepted =
        unit.bytes.size() == kAcceptanceSize &&
        std::all_of(unit.bytes.begin(), unit.bytes.end(), [&](auto b) { return b == expected; });
    if (!accepted) {
        endTransfer(TransferEnd::NotAccepted);
        return;
    }
    phase_ = Phase::Running;
    state_.frameAccepted = false;
    madeProgress();
    const int maximum = profile_.runningMaximum(kind);
    view([maximum](LinkView& v) { v.showTransferRunning(maximum); });
    if (kind == TransferKind::Read) {
        framesRead_.reset();
        Action decoding = Action::of(Action::Kind::StartDecoding);
        decoding.aside = readInto_ == ReadInto::Aside;
        out_.push_back(std::move(decoding));
    } else if (kind == TransferKind::Write) {
        next_ = 0;
        sends_ = 0;
        sendFrame();
    }
}

// ---- a write ----

// The image's Frames in address order, then the TimeFrame, dated at the moment it
// is sent. One Frame sent too often without a matching echo gives the write up.
void ProgrammerSession::sendFrame() {
    if (++sends_ > options_.resendLimit) {
        endTransfer(TransferEnd::EchoRefused);
        return;
    }
    sending_ = next_ < frames_.size() ? frames_[next_].frame : transfer::TimeFrame(options_.wallClock());
    state_.blockAddress = sending_.address;
    state_.slotIndex = static_cast<int>(next_) + 1;
    state_.frameAccepted = false;
    sentShort_ = false;
    const transfer::WireFrame wire = sending_.toWire();
    send(Bytes(wire.begin(), wire.end()));
}

// Only a confirmed Frame is progress; a changed echo has the same Frame sent again
// with the same address, and the gauge shows that address again.
void ProgrammerSession::echoArrived(const Unit& unit) {
    const bool matches = !sentShort_ && unit.bytes.size() == transfer::kPayloadSize &&
                         std::equal(unit.bytes.begin(), unit.bytes.end(), sending_.payload.begin());
    setProgress(next_ < frames_.size() ? frames_[next_].progress : profile_.timeFrameProgress());
    if (!matches) {
        sendFrame();
        return;
    }
    state_.frameAccepted = true;
    madeProgress();
    ++next_;
    sends_ = 0;
    if (next_ > frames_.size())
        finishTransfer();
    else
        sendFrame();
}

// ---- a read ----

// Only a Frame at one of the image's block addresses is the device's: anything
// else is dropped, never decoded. Its fields are set before its acknowledgement.
void ProgrammerSession::frameArrived(const Unit& unit) {
    if (unit.bytes.size() != transfer::kFrameSize)
        return;
    const transfer::Frame frame = transfer::Frame::fromWire(
        std::span<const std::uint8_t, transfer::kFrameSize>(unit.bytes.data(), transfer::kFrameSize));
    if (!isImageAddress(frame.address))
        return;
    state_.blockAddress = frame.address;
    state_.receivedPayload = frame.payload;
    applyFrame(frame);
    framesRead_.set(frame.address / transfer::kPayloadSize);
    madeProgress();
    setProgress(frame.address);
    sendByte(kAcknowledge);
    if (frame.address == transfer::kLastFrameAddress)
        finishTransfer();
}

// ---- the event log ----

// Empty slots are counted and acknowledged, but have no line.
void ProgrammerSession::recordArrived(const Unit& unit) {
    if (unit.bytes.size() != log::kEventRecordSize)
        return;
    std::array<std::uint8_t, log::kEventRecordSize> record{};
    std::copy(unit.bytes.begin(), unit.bytes.end(), record.begin());
    ++state_.eventCount;
    setProgress(state_.eventCount);
    if (!log::isEmptySlot(record))
        view([record](LinkView& v) { v.WriteEvent(record); }, true);
    madeProgress();
    sendByte(kAcknowledge);
    if (state_.eventCount >= kEventRecords)
        finishTransfer();
}

// ---- the end of a transfer ----

void ProgrammerSession::madeProgress() {
    startTimer(SessionTimer::Stall, options_.stallLimit);
}

// The gauge shows values beyond its maximum as full.
void ProgrammerSession::setProgress(int value) {
    const int shown = std::min(value, profile_.runningMaximum(runningKind()));
    view([shown](LinkView& v) { v.setProgress(shown); });
}

// A read is done only when every block of the image arrived; the dialog stays up
// until the next StatusReport closes it.
void ProgrammerSession::finishTransfer() {
    const TransferKind kind = runningKind();
    if (kind == TransferKind::Read && !framesRead_.all()) {
        endTransfer(TransferEnd::Incomplete);
        return;
    }
    stopTimer(SessionTimer::Stall);
    state_.requestFlag(kind) = false;
    state_.transferDone = true;
    frames_.clear();
    phase_ = Phase::Unlocked;
    restartWatchdog();
    view([kind](LinkView& v) { v.transferEnded(kind, TransferEnd::Done); });
    if (profile_.transferEndPause > Millis(0))
        pause(profile_.transferEndPause);
}

void ProgrammerSession::endTransfer(TransferEnd end) {
    const TransferKind kind = runningKind();
    if (timeFrameSent() && (end == TransferEnd::NoAnswer || end == TransferEnd::EchoRefused))
        end = TransferEnd::ClockNotConfirmed;
    stopTimer(SessionTimer::Stall);
    state_.clearRequests();
    state_.transferAborted = true;
    frames_.clear();
    if (phase_ == Phase::Accepting || phase_ == Phase::Running)
        phase_ = Phase::Unlocked;
    if (dialog_ == Dialog::Transfer)
        hideDialog();
    const int resends = options_.resendLimit;
    const auto ended = [kind, end](LinkView& v) {
        v.transferEnded(kind, end);
    };
    // A write that landed says so before it ends, so that nobody takes the end for a failure.
    const bool sayFirst = end == TransferEnd::ClockNotConfirmed;
    if (!sayFirst)
        view(ended);
    // A read kept aside changed nothing the user sees: whoever asked for it says
    // what its end means.
    if (kind != TransferKind::Read || readInto_ == ReadInto::Edited)
        view([kind, end, resends](LinkView& v) {
            v.showMessage(LinkMessage::transferIncomplete(kind, end, resends), [] {});
        });
    if (sayFirst)
        view(ended);
    if (end == TransferEnd::NoAnswer && profile_.closeOnStall) {
        Disconnect();
        closeLink(Millis(0));
        return;
    }
    restartWatchdog();
}

} // namespace qta::link
