#include "FleetJob.h"

#include "FleetPatch.h"

#include "compare/BackupName.h"
#include "compare/ConfigPatch.h"
#include "compare/ReadBack.h"
#include "log/EventRecord.h"
#include "log/StatusReport.h"
#include "model/PffFile.h"
#include "session/ProgrammerSession.h"

#include <algorithm>
#include <cstdio>

namespace qta::cli {
namespace {

using link::TransferEnd;
using link::TransferKind;

// By TransferKind: Write, Read, EventLog.
constexpr const char* kTransferNames[] = {"write", "read", "log"};

const char* transferName(TransferKind kind) {
    return kTransferNames[static_cast<std::size_t>(kind)];
}

struct EndText {
    TransferEnd end;
    const char* result;
    const char* why;
};
constexpr EndText kEnds[] = {
    {TransferEnd::NoAnswer, "timeout", "no answer within the bound"},
    {TransferEnd::Cancelled, "aborted", "cancelled"},
    {TransferEnd::LinkLost, "aborted", "the connection was lost"},
    {TransferEnd::NotAccepted, "aborted", "the device did not accept the command"},
    {TransferEnd::EchoRefused, "aborted", "a Frame's echo never matched"},
    {TransferEnd::Incomplete, "aborted", "the read missed blocks"},
};

} // namespace

const char* jobName(FleetJobSettings::Kind kind) {
    // By Kind: Write, Patch, ReadTo.
    constexpr const char* kJobNames[] = {"write", "patch", "read"};
    return kJobNames[static_cast<std::size_t>(kind)];
}

FleetJob::FleetJob(const FleetJobSettings& settings, std::string peer, FleetFiles& files,
                   std::function<void(const FleetResult&)> finished)
    : settings_(settings), files_(files), finished_(std::move(finished)),
      began_(std::chrono::steady_clock::now()), read_(Configuration::startup(settings.decimalSeparator)) {
    result_.peer = std::move(peer);
    result_.job = jobName(settings.kind);
    steps_ = plan();
}

// A patch always reads first; a write reads first for its backup; the log is
// read while nothing has been changed yet.
std::vector<FleetJob::Step> FleetJob::plan() const {
    std::vector<Step> steps;
    const bool readFirst = settings_.kind != FleetJobSettings::Kind::Write || !settings_.backupDir.empty();
    if (readFirst)
        steps.push_back(Step::ReadFirst);
    if (!settings_.logDir.empty())
        steps.push_back(Step::EventLog);
    if (settings_.kind != FleetJobSettings::Kind::ReadTo) {
        steps.push_back(Step::Write);
        if (settings_.verify)
            steps.push_back(Step::Verify);
    }
    return steps;
}

void FleetJob::started(link::FleetControl& control) {
    control_ = &control;
}

// A device that locked itself again (a long silence) is given the code that
// unlocked it; otherwise each identification takes the next code.
void FleetJob::showAccessPrompt() {
    result_.identified = true;
    if (accepted_) {
        const std::string code = settings_.codes[*accepted_];
        control_->request([code](link::ProgrammerSession& s) { return s.submitAccessCode(code); });
        return;
    }
    if (codesTried_ >= settings_.codes.size()) {
        fail("refused", "", "the device refused every code (" + std::to_string(codesTried_) + ")");
        control_->request([](link::ProgrammerSession& s) { return s.closeForWindow(link::Millis(0)); });
        return;
    }
    const std::string code = settings_.codes[codesTried_++];
    control_->request([code](link::ProgrammerSession& s) { return s.submitAccessCode(code); });
}

void FleetJob::showConnected(bool connected) {
    if (connected && !accepted_ && codesTried_ > 0)
        accepted_ = codesTried_ - 1;
    if (connected && !stepRunning_ && !ending_)
        control_->request([this](link::ProgrammerSession&) {
            next();
            return link::Actions{};
        });
}

void FleetJob::next() {
    if (stepRunning_ || ending_)
        return;
    if (interrupted_ || nextStep_ >= steps_.size()) {
        if (nextStep_ >= steps_.size() && !settled_) {
            settled_ = true;
            result_.result = "ok";
        } else if (!settled_) {
            fail("aborted", "", "interrupted");
        }
        endConnection();
        return;
    }
    const Step step = steps_[nextStep_];
    TransferKind kind = step == Step::EventLog ? TransferKind::EventLog : TransferKind::Read;
    if (step == Step::Write) {
        kind = TransferKind::Write;
        Configuration target = settings_.written ? *settings_.written : read_;
        if (settings_.changes)
            compare::applyPatch(*settings_.changes, target);
        writing_ = link::takeWriteSnapshot(target, settings_.language, link::Transport::Gprs);
        known_ = target;
    }
    stepRunning_ = true;
    control_->request([kind, frames = writing_](link::ProgrammerSession& s) mutable {
        return s.requestTransfer(kind,
                                 kind == TransferKind::Write ? std::move(frames) : link::WriteSnapshot{});
    });
}

void FleetJob::transferEnded(TransferKind kind, TransferEnd end) {
    if (!stepRunning_)
        return;
    stepRunning_ = false;
    if (end == TransferEnd::Done || (kind == TransferKind::Write && end == TransferEnd::ClockNotConfirmed)) {
        stepDone(steps_[nextStep_++]);
        next();
        return;
    }
    const auto* text =
        std::find_if(std::begin(kEnds), std::end(kEnds), [end](const EndText& e) { return e.end == end; });
    if (text == std::end(kEnds))
        fail("aborted", transferName(kind), "ended early");
    else
        fail(text->result, transferName(kind), text->why);
    endConnection();
}

void FleetJob::stepDone(Step step) {
    switch (step) {
    case Step::ReadFirst:
        known_ = read_;
        if (!settings_.backupDir.empty())
            saved(settings_.backupDir, pffContent(read_), ".pff");
        if (!settings_.readDir.empty())
            saved(settings_.readDir, pffContent(read_), ".pff");
        break;
    case Step::EventLog:
        saved(settings_.logDir, log::eventLogFileContent(eventLines_), ".txt");
        break;
    case Step::Write:
        break;
    case Step::Verify:
        compareReadBack();
        break;
    }
}

void FleetJob::saved(const std::string& dir, const std::string& content, const char* extension) {
    std::string error;
    const std::string path = files_.save(dir, account(), extension, content, error);
    if (path.empty())
        fail("aborted", "", error);
    else
        result_.files.push_back(path);
}

// Every field the image carries, as the device now holds it, against what was
// written; the failure-report boxes the device forces on are not its fault.
void FleetJob::compareReadBack() {
    const auto differences = compare::verifyDifferences(*known_, read_, failureReportsForced_,
                                                        settings_.language, settings_.decimalSeparator);
    const auto real = std::count_if(differences.begin(), differences.end(),
                                    [](const compare::Difference& d) { return !d.forced; });
    if (real == 0) {
        known_ = read_;
        return;
    }
    const auto first = std::find_if(differences.begin(), differences.end(),
                                    [](const compare::Difference& d) { return !d.forced; });
    fail("verify-failed", "read",
         std::to_string(real) + " settings differ from what was written, the first " + first->name + ": " +
             first->before + " -> " + first->after);
}

void FleetJob::ShowDiag(std::span<const std::uint8_t, 21> report, bool outputCommandPending) {
    if (outputCommandPending)
        return;
    switch (log::decodeStatusReport(report, settings_.decimalSeparator).optionBoxes) {
    case log::OptionBoxes::Locked:
        failureReportsForced_ = true;
        break;
    case log::OptionBoxes::Enabled:
        failureReportsForced_ = false;
        break;
    case log::OptionBoxes::Unchanged:
        break;
    }
}

void FleetJob::WriteEvent(std::span<const std::uint8_t, 32> record) {
    eventLines_.push_back(log::WriteEvent(record, settings_.language));
}

void FleetJob::showMessage(const link::LinkMessage& message, std::function<void()> closed) {
    if (message.kind == link::LinkMessage::Kind::CodeNoAnswer)
        fail("timeout", "", "no answer to the access code");
    closed();
}

void FleetJob::interrupted() {
    interrupted_ = true;
    if (!result_.identified || !control_) {
        if (control_)
            control_->request([](link::ProgrammerSession& s) { return s.closeForWindow(link::Millis(0)); });
        return;
    }
    if (!stepRunning_)
        control_->request([this](link::ProgrammerSession&) {
            next();
            return link::Actions{};
        });
}

void FleetJob::fail(std::string result, std::string transfer, std::string why) {
    if (settled_)
        return;
    settled_ = true;
    result_.result = std::move(result);
    result_.transfer = std::move(transfer);
    result_.why = std::move(why);
}

// A locked device is closed at once; an unlocked one is asked to end the connection.
void FleetJob::endConnection() {
    if (ending_)
        return;
    ending_ = true;
    const link::Millis wait = settings_.closeWait;
    control_->request([wait](link::ProgrammerSession& s) { return s.closeForWindow(wait); });
}

void FleetJob::ended() {
    if (!settled_)
        fail(result_.identified ? "timeout" : "aborted", "",
             result_.identified ? "not unlocked in time, or the connection ended" : "never identified");
    result_.account = account();
    result_.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began_).count();
    finished_(result_);
}

// What the device is known to hold names it: the object code of input 1, else
// the first listening number, else the peer.
std::string FleetJob::account() const {
    if (known_) {
        if (auto held = compare::heldAccount(*known_, true))
            return *held;
    }
    return result_.peer;
}

} // namespace qta::cli
