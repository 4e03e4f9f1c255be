#include "DeviceSession.h"

#include "Cli.h"
#include "StatusText.h"

#include "catalogue/LanguageCatalogue.h"
#include "link/LinkMessages.h"
#include "log/EventRecord.h"
#include "log/StatusReport.h"

#include <ostream>

namespace qta::cli {

DeviceSession::DeviceSession(Settings settings, link::Clock& clock, std::ostream& out, std::ostream& err,
                             std::function<void(int)> finished)
    : settings_(std::move(settings)), clock_(clock), out_(out), err_(err), finished_(std::move(finished)),
      watchdog_(clock), soon_(clock) {}

DeviceSession::~DeviceSession() = default;

// Until a device unlocks, the timeout bounds the whole wait, whatever connects meanwhile.
void DeviceSession::begin() {
    startWatchdog();
}

// Once unlocked, every sign of the device moves the deadline on.
void DeviceSession::alive() {
    if (unlocked_)
        startWatchdog();
}

void DeviceSession::startWatchdog() {
    if (done_)
        return;
    watchdog_.start(settings_.timeout, [this] {
        if (link_ && link_->transferRunning())
            link_->cancelTransfer();
        finish(kExitTimedOut, timedOutText());
    });
}

std::string DeviceSession::timedOutText() const {
    const std::string seconds = std::to_string(settings_.timeout.count() / 1000);
    if (unlocked_ || !overGprs_)
        return "no answer from the device within " + seconds + " s";
    return "no device unlocked within " + seconds + " s (" + std::to_string(connections_) +
           (connections_ == 1 ? " connection came and went)" : " connections came and went)");
}

void DeviceSession::interrupt() {
    if (link_ && link_->transferRunning())
        link_->cancelTransfer();
    finish(kExitTimedOut, "cancelled");
}

void DeviceSession::finish(int status, const std::string& message) {
    if (done_)
        return;
    done_ = true;
    watchdog_.stop();
    soon_.stop();
    if (settings_.progress && gaugeMaximum_ > 0)
        err_ << '\n';
    if (!message.empty())
        err_ << "qta710-cli: " << message << '\n';
    // However the transfer of a step failed (its own end, a cancel, the watchdog), say what that leaves.
    if (const Plan& plan = settings_.plan; status != kExitOk && !plan.transfers.empty() && !stepSettled_) {
        if (const std::string note = plan.failedNote ? plan.failedNote(step_) : std::string(); !note.empty())
            err_ << "qta710-cli: " << note << '\n';
    }
    finished_(status);
}

void DeviceSession::showLinkUp(bool up) {
    if (up && !unlocked_)
        ++connections_;
    if (up)
        alive();
}

void DeviceSession::showConnected(bool connected) {
    if (connected && !unlocked_) {
        unlocked_ = true;
        startWatchdog();
        // After the link has finished its own step.
        soon_.start(link::Millis(0), [this] { startJob(); });
    } else if (!connected && unlocked_) {
        finish(kExitFailure, "the device was lost");
    }
}

void DeviceSession::startJob() {
    if (const Plan& plan = settings_.plan; !plan.transfers.empty()) {
        Configuration* into = plan.readInto ? plan.readInto(step_) : nullptr;
        if (into && plan.transfers[step_] == link::TransferKind::Read)
            link_->requestReadInto(*into);
        else
            link_->requestTransfer(plan.transfers[step_]);
        return;
    }
    switch (settings_.job) {
    case Job::Read:
        link_->requestTransfer(link::TransferKind::Read);
        return;
    case Job::Write:
        link_->requestTransfer(link::TransferKind::Write);
        return;
    case Job::EventLog:
        link_->requestTransfer(link::TransferKind::EventLog);
        return;
    case Job::Watch:
        if (settings_.switchOutput != 0)
            link_->switchOutput(settings_.switchOutput);
        return;
    }
}

void DeviceSession::showAccessPrompt() {
    alive();
    soon_.start(link::Millis(0), [this] { link_->submitAccessCode(settings_.code); });
}

void DeviceSession::showCodeRefused(link::Transport) {
    finish(kExitCodeRefused, "the device refused the access code");
}

void DeviceSession::showTransferWaiting(link::TransferKind kind, int) {
    alive();
    gaugeMaximum_ = 0;
    caption_ = kind == link::TransferKind::Write  ? "writing"
               : kind == link::TransferKind::Read ? "reading"
                                                  : "reading the event log";
}

void DeviceSession::showTransferRunning(int gaugeMaximum) {
    alive();
    gaugeMaximum_ = gaugeMaximum;
}

void DeviceSession::setProgress(int value) {
    alive();
    if (settings_.progress && gaugeMaximum_ > 0)
        err_ << '\r' << caption_ << ' ' << value * 100 / gaugeMaximum_ << " %" << std::flush;
}

void DeviceSession::ShowDiag(std::span<const std::uint8_t, 21> report, bool outputCommandPending) {
    alive();
    if (!outputCommandPending && report[17] != 127)
        failureReportsForced_ = report[17] < 127;
    // Over GPRS the report that the end of the connection answers comes after the last one counted.
    if (settings_.job != Job::Watch || done_)
        return;
    if (reports_ > 0)
        out_ << '\n';
    printStatus(out_, log::decodeStatusReport(report, settings_.decimalSeparator));
    out_.flush();
    if (++reports_ == settings_.count)
        finish(kExitOk);
}

void DeviceSession::WriteEvent(std::span<const std::uint8_t, 32> record) {
    eventLines_.push_back(log::WriteEvent(record, settings_.language));
}

void DeviceSession::showMessage(const link::LinkMessage& message, std::function<void()> closed) {
    err_ << "qta710-cli: "
         << link::wordMessage(message, catalogue::languageCatalogue(settings_.language).messages) << '\n';
    closed();
    // A bridge this user may not open stays so until the user logs in again:
    // waiting for it would only end the run as if the device had not answered.
    if (message.kind == link::LinkMessage::Kind::PortPermission)
        finish(kExitFailure);
}

// Only the job's own transfers count; how they ended decides the exit status.
void DeviceSession::transferEnded(link::TransferKind, link::TransferEnd end) {
    if (!settings_.plan.transfers.empty()) {
        stepEnded(end);
        return;
    }
    finish(endStatus(end));
}

int DeviceSession::endStatus(link::TransferEnd end) const {
    switch (end) {
    case link::TransferEnd::Done:
    case link::TransferEnd::ClockNotConfirmed: // the configuration is in the device; the message said the
                                               // rest
        return kExitOk;
    case link::TransferEnd::NoAnswer:
    case link::TransferEnd::Cancelled:
        return kExitTimedOut;
    case link::TransferEnd::LinkLost:
    case link::TransferEnd::NotAccepted:
    case link::TransferEnd::EchoRefused:
    case link::TransferEnd::Incomplete:
        break;
    }
    return kExitFailure;
}

void DeviceSession::stepEnded(link::TransferEnd end) {
    const Plan& plan = settings_.plan;
    if (const int status = endStatus(end); status != kExitOk) {
        // The link words how a read into a configuration of its own ended to nobody but us.
        const bool readInto = plan.readInto && plan.readInto(step_) != nullptr &&
                              plan.transfers[step_] == link::TransferKind::Read;
        finish(status, readInto ? link::wordTransferEnd(
                                      end, 0, catalogue::languageCatalogue(settings_.language).messages)
                                : std::string());
        return;
    }
    stepSettled_ = true;
    std::optional<int> verdict;
    try {
        verdict = plan.done ? plan.done(step_, *this) : std::nullopt;
    } catch (const Failure& failure) {
        finish(kExitFailure, failure.message);
        return;
    }
    if (verdict || step_ + 1 == plan.transfers.size()) {
        finish(verdict.value_or(kExitOk));
        return;
    }
    ++step_;
    stepSettled_ = false;
    // After the link has finished the step that ended the transfer.
    soon_.start(link::Millis(0), [this] { startJob(); });
}

} // namespace qta::cli
