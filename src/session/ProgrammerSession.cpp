#include "ProgrammerSession.h"

#include "Commands.h"

#include "log/StatusReport.h"

#include <utility>

namespace qta::link {

ProgrammerSession::ProgrammerSession(TransportProfile profile, LinkState& state, SessionOptions options)
    : profile_(std::move(profile)), state_(state), options_(std::move(options)) {}

// ---- what arrives ----

Actions ProgrammerSession::linkUp() {
    phase_ = Phase::Locked;
    dialog_ = Dialog::Hidden;
    state_.unlocked = false;
    state_.frameAccepted = false;
    state_.endRequested = false;
    state_.clearRequests();
    state_.pendingOutputCommand = 0;
    state_.laterOutputCommands.clear();
    state_.eventCount = 0;
    state_.transferDone = false;
    view([](LinkView& v) { v.lockTransportChoice(true); });
    view([](LinkView& v) { v.showLinkUp(true); });
    if (profile_.unlockLimit)
        startTimer(SessionTimer::UnlockLimit, *profile_.unlockLimit);
    return take();
}

Actions ProgrammerSession::unitArrived(const Unit& unit) {
    switch (phase_) {
    case Phase::Locked:
    case Phase::Refused:
        if (unit.kind == UnitKind::Identification)
            identified();
        break;
    case Phase::CheckingCode:
        if (unit.kind == UnitKind::Identification) {
            // The device never took the code (it gave up waiting and identified
            // anew): the code typed goes to this identification.
            sendByte(kIdentified);
            send(accessCode_);
        } else if (unit.kind == UnitKind::Answer && !unit.bytes.empty()) {
            codeAnswered(unit.bytes.front());
        }
        break;
    case Phase::Unlocked:
    case Phase::Ending:
        if (unit.kind == UnitKind::StatusReport)
            answerReport(unit);
        else if (unit.kind == UnitKind::Identification)
            relocked();
        else if (phase_ == Phase::Ending && unit.kind == UnitKind::Answer)
            deviceEnded();
        break;
    case Phase::Accepting:
    case Phase::Running:
        transferUnit(unit);
        break;
    case Phase::Down:
    case Phase::Prompt:
    case Phase::Ended:
        break;
    }
    return take();
}

Actions ProgrammerSession::timerExpired(SessionTimer timer) {
    switch (timer) {
    case SessionTimer::Stall:
        if (state_.anyRequest())
            endTransfer(TransferEnd::NoAnswer);
        break;
    case SessionTimer::CodeAnswer:
        if (phase_ == Phase::CheckingCode) {
            hideDialog();
            backToIdentification();
            view([](LinkView& v) { v.showMessage(LinkMessage::of(LinkMessage::Kind::CodeNoAnswer), [] {}); });
        }
        break;
    case SessionTimer::Prompt:
        if (phase_ == Phase::Prompt || phase_ == Phase::Refused) {
            hideDialog();
            backToIdentification();
        }
        break;
    case SessionTimer::Watchdog:
        // No exchange for the watchdog's span: the display is reset, and the
        // connection closed so that the device can dial in again.
        Disconnect();
        closeLink(Millis(0));
        break;
    case SessionTimer::UnlockLimit:
    case SessionTimer::CloseWait:
        closeLink(Millis(0));
        break;
    }
    return take();
}

// The bridge or the connection is gone: whatever ran ends now, and nothing may
// keep the window disabled.
Actions ProgrammerSession::linkLost() {
    if (state_.anyRequest())
        endTransfer(TransferEnd::LinkLost);
    if (dialog_ != Dialog::Hidden)
        hideDialog();
    if (state_.unlocked)
        Disconnect();
    for (int timer = 0; timer < kSessionTimerCount; ++timer)
        stopTimer(static_cast<SessionTimer>(timer));
    phase_ = Phase::Down;
    state_.unlocked = false;
    state_.frameAccepted = false;
    state_.transferAborted = false;
    state_.endRequested = false;
    view([](LinkView& v) { v.showLinkUp(false); });
    view([](LinkView& v) { v.lockTransportChoice(false); });
    return take();
}

// The device locked itself again (it went without answers too long): the
// display says so at once, and the code is asked for anew.
void ProgrammerSession::relocked() {
    if (state_.anyRequest())
        endTransfer(TransferEnd::LinkLost);
    state_.endRequested = false;
    if (profile_.watchdog)
        stopTimer(SessionTimer::Watchdog);
    Disconnect();
    identified();
}

// ---- identification and the access code ----

void ProgrammerSession::identified() {
    sendByte(kIdentified);
    if (profile_.promptLimit)
        startTimer(SessionTimer::Prompt, *profile_.promptLimit);
    phase_ = Phase::Prompt;
    dialog_ = Dialog::AccessCode;
    state_.transferDone = false;
    view([](LinkView& v) { v.showAccessPrompt(); });
}

Actions ProgrammerSession::submitAccessCode(const std::string& code) {
    if (phase_ != Phase::Prompt)
        return take(); // a second Enter while the code is checked sends nothing
    accessCode_ = accessCodeMessage(code);
    // An identification sent before the device saw our 0x1F is not its answer.
    purge();
    send(accessCode_);
    phase_ = Phase::CheckingCode;
    dialog_ = Dialog::CheckingCode;
    startTimer(SessionTimer::CodeAnswer, options_.unlockAnswerLimit);
    return take();
}

// Only 0x06 unlocks: every other byte is a refusal.
void ProgrammerSession::codeAnswered(std::uint8_t answer) {
    stopTimer(SessionTimer::CodeAnswer);
    if (answer == kCodeAccepted)
        codeAccepted();
    else
        codeRefused();
}

void ProgrammerSession::codeAccepted() {
    if (profile_.promptLimit)
        stopTimer(SessionTimer::Prompt);
    if (profile_.unlockLimit)
        stopTimer(SessionTimer::UnlockLimit);
    phase_ = Phase::Unlocked;
    dialog_ = Dialog::Hidden;
    state_.unlocked = true;
    state_.transferDone = true;
    restartWatchdog();
    view([](LinkView& v) { v.showConnected(true); });
    view([](LinkView& v) { v.showCodeAccepted(); });
}

void ProgrammerSession::codeRefused() {
    phase_ = Phase::Refused;
    dialog_ = Dialog::CodeRefused;
    const Transport transport = profile_.transport;
    view([transport](LinkView& v) { v.showCodeRefused(transport); });
    if (profile_.refusalAcknowledged)
        sendByte(kCodeRefusedSeen);
}

// Locked again: the device's next identification asks for the code anew.
void ProgrammerSession::backToIdentification() {
    phase_ = Phase::Locked;
    state_.unlocked = false;
}

Actions ProgrammerSession::closeDialog() {
    switch (dialog_) {
    case Dialog::AccessCode: // closed without a code: the device will ask again
    case Dialog::CodeRefused:
        hideDialog();
        backToIdentification();
        break;
    case Dialog::Transfer:
        return cancelTransfer();
    case Dialog::CheckingCode: // the answer is due within its bound
    case Dialog::Hidden:
        break;
    }
    return take();
}

void ProgrammerSession::hideDialog() {
    if (profile_.promptLimit)
        stopTimer(SessionTimer::Prompt);
    dialog_ = Dialog::Hidden;
    state_.transferDone = true;
    view([](LinkView& v) { v.hideDialog(); });
}

// ---- what is expected ----

std::optional<Expect> ProgrammerSession::expect() const {
    switch (phase_) {
    case Phase::Locked:
        return Expect::Identification;
    case Phase::Refused: // over USB the notice waits for the user's OK
        return profile_.refusalAcknowledged ? std::nullopt : std::optional(Expect::Identification);
    case Phase::CheckingCode:
        return Expect::CodeAnswer;
    case Phase::Unlocked:
        return Expect::Reports;
    case Phase::Ending:
        return Expect::EndAnswer;
    case Phase::Accepting:
        return runningKind() == TransferKind::Write ? Expect::WriteAcceptance : Expect::SendAcceptance;
    case Phase::Running:
        switch (runningKind()) {
        case TransferKind::Write:
            return timeFrameSent() ? Expect::TimeFrameEcho : Expect::Echoes;
        case TransferKind::Read:
            return Expect::Frames;
        case TransferKind::EventLog:
            return Expect::Records;
        }
        break;
    case Phase::Down:
    case Phase::Prompt:
    case Phase::Ended:
        break;
    }
    return std::nullopt;
}

} // namespace qta::link
