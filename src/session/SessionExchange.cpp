#include "ProgrammerSession.h"

#include "Commands.h"

#include "log/StatusReport.h"

#include <algorithm>

namespace qta::link {
namespace {

// Clicks waiting behind the one that goes with the next answer.
constexpr std::size_t kQueuedOutputCommands = 7;

} // namespace

// ---- status reports ----

// Shown, then answered with one byte; the output command is taken in the same
// step that builds the answer, so a click is never lost between the two.
void ProgrammerSession::answerReport(const Unit& report) {
    const bool outputPending = state_.pendingOutputCommand != 0;
    std::array<std::uint8_t, log::kStatusReportSize> bytes{};
    std::copy_n(report.bytes.begin(), bytes.size(), bytes.begin());
    view([bytes, outputPending](LinkView& v) { v.ShowDiag(bytes, outputPending); });
    const std::uint8_t answer = reportAnswer();
    const std::optional<TransferKind> kind = state_.transferRequested();
    nextOutputCommand(kind.has_value());
    // What the device sent before this answer is not its reply to a command.
    if (kind || answer == kEndCommand)
        purge();
    sendByte(answer);
    state_.frameAccepted = true;
    if (kind) {
        phase_ = Phase::Accepting;
        return;
    }
    if (answer == kEndCommand) {
        phase_ = Phase::Ending;
        return;
    }
    restartWatchdog();
    if (dialog_ == Dialog::Transfer)
        hideDialog(); // the transfer before this report has ended
}

// 0x1B plus the pending output command, replaced by a requested transfer (the
// event log before a read, a read before a write) or by the end of the connection.
std::uint8_t ProgrammerSession::reportAnswer() {
    std::uint8_t answer = static_cast<std::uint8_t>(kNothingToDo + state_.pendingOutputCommand);
    if (state_.endRequested)
        answer = kEndCommand;
    if (const std::optional<TransferKind> kind = state_.transferRequested())
        answer = commandByte(*kind);
    return answer;
}

// Each click goes with an answer of its own, in the order clicked; a click is
// refused only while the queue holds a command for every output state.
bool ProgrammerSession::switchOutput(int command) {
    if (!state_.unlocked || command < 1 || command > 8)
        return false;
    if (state_.pendingOutputCommand == 0) {
        state_.pendingOutputCommand = command;
        return true;
    }
    if (state_.laterOutputCommands.size() >= kQueuedOutputCommands)
        return false;
    state_.laterOutputCommands.push_back(command);
    return true;
}

// The command that went out is done; a transfer's command takes the place of all
// of them, since the outputs they were clicked for may differ once it has run.
void ProgrammerSession::nextOutputCommand(bool transferCommand) {
    std::deque<int>& later = state_.laterOutputCommands;
    if (transferCommand)
        later.clear();
    state_.pendingOutputCommand = later.empty() ? 0 : later.front();
    if (!later.empty())
        later.pop_front();
}

// ---- the end of a connection ----

Actions ProgrammerSession::endConnection() {
    if (!profile_.hasEndCommand || dialog_ != Dialog::Hidden || phase_ == Phase::Down)
        return take();
    view([](LinkView& v) { v.showLinkUp(false); });
    if (state_.anyRequest() && phase_ == Phase::Unlocked) { // the end replaces a request not sent yet
        state_.clearRequests();
        frames_.clear();
        stopTimer(SessionTimer::Stall);
        restartWatchdog();
    }
    state_.endRequested = true;
    return take();
}

Actions ProgrammerSession::closeForWindow(Millis closeWait) {
    if (phase_ == Phase::Down || phase_ == Phase::Ended)
        return take();
    if (!state_.unlocked) {
        closeLink(Millis(0));
        return take();
    }
    if (state_.anyRequest())
        endTransfer(TransferEnd::Cancelled);
    if (dialog_ != Dialog::Hidden)
        hideDialog();
    state_.endRequested = true;
    startTimer(SessionTimer::CloseWait, closeWait);
    return take();
}

// The device's 0x04 after ours: the display is reset, and after a pause the connection closes.
void ProgrammerSession::deviceEnded() {
    stopTimer(SessionTimer::Watchdog);
    Disconnect();
    if (dialog_ != Dialog::Hidden)
        hideDialog();
    view([](LinkView& v) { v.showLinkUp(false); });
    phase_ = Phase::Ended;
    state_.endRequested = false;
    closeLink(profile_.closeDelay);
}

void ProgrammerSession::Disconnect() {
    view([](LinkView& v) { v.blankDiagnostics(); });
    view([](LinkView& v) { v.showConnected(false); });
    state_.unlocked = false;
    if (phase_ != Phase::Down && phase_ != Phase::Ended)
        phase_ = Phase::Locked;
}

void ProgrammerSession::restartWatchdog() {
    if (profile_.watchdog)
        startTimer(SessionTimer::Watchdog, *profile_.watchdog);
}

} // namespace qta::link
