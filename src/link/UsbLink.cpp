#include "UsbLink.h"

#include "Commands.h"
#include "UsbTransfer.h"

#include "log/StatusReport.h"

#include <algorithm>
#include <array>

namespace qta::link {
namespace {

constexpr const char* kBridgeDescriptions[] = {"FT232R USB UART", "FT230X Basic UART"};
constexpr int kBaud9600 = 5; // its place in tftdichip::kBaudRates
constexpr int kBridgeTimeoutMs = 200;
constexpr Millis kSearchInterval{100};
constexpr Millis kStatusInterval{5};
constexpr Millis kAfterCodeInterval{500};
constexpr int kGiveUpTicks = 200;

constexpr std::uint8_t kReadTimeoutFill = 0x20; // what a status read that timed out appends

bool& requestFlag(LinkState& state, TransferKind kind) {
    switch (kind) {
    case TransferKind::Write:
        return state.writeConfigRequested;
    case TransferKind::Read:
        return state.readConfigRequested;
    case TransferKind::EventLog:
        break;
    }
    return state.eventLogRequested;
}

// 0x1B plus the pending output command, replaced by a requested transfer: the
// event log before a read, a read before a write.
std::uint8_t statusAnswer(const LinkState& state) {
    std::uint8_t answer = static_cast<std::uint8_t>(kNothingToDo + state.pendingOutputCommand);
    if (state.writeConfigRequested)
        answer = commandByte(TransferKind::Write);
    if (state.readConfigRequested)
        answer = commandByte(TransferKind::Read);
    if (state.eventLogRequested)
        answer = commandByte(TransferKind::EventLog);
    return answer;
}

int waitingGaugeMaximum(TransferKind kind) {
    return kind == TransferKind::EventLog ? 256 : 21440;
}

} // namespace

UsbLink::UsbLink(LinkState& state, LinkView& view, Configuration& config, BridgeDriver& driver, Clock& clock,
                 transfer::Clock wallClock, const LinkOptions& options)
    : state_(state), view_(view), config_(config), driver_(driver), clock_(clock),
      wallClock_(std::move(wallClock)), options_(options), timer1_(clock, [this] { Timer1Timer(); }),
      codeWait_(clock) {}

UsbLink::~UsbLink() {
    transfer_.reset();
    if (chip_ && chip_->isOpen())
        chip_->closeDevice();
}

void UsbLink::setActive(bool active) {
    active_ = active;
    state_.tickCount = 0;
    timer1_.setEnabled(active);
}

// ---- the poll ----

void UsbLink::Timer1Timer() {
    if (!active_) {
        timer1_.tickEnded();
        return;
    }
    if (!state_.usbOpen) {
        Connect_USB();
        timer1_.tickEnded();
    } else if (!state_.unlocked) {
        lockedTick();
    } else {
        unlockedTick();
    }
}

void UsbLink::lockedTick() {
    ++state_.tickCount;
    state_.linkBuffer.assign(kIdentification.size(), 0);
    chip_->read(kIdentification.size(), [this](Bytes bytes) {
        state_.bytesRead = static_cast<std::uint32_t>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), state_.linkBuffer.begin());
        if (std::equal(state_.linkBuffer.begin(), state_.linkBuffer.end(), kIdentification.begin(),
                       kIdentification.end())) {
            write(std::array{kIdentified});
            state_.linkBuffer.clear();
            Identify();
        } else if (state_.tickCount > kGiveUpTicks) {
            Disconnect_USB();
            state_.tickCount = 0;
            state_.usbOpen = false;
        }
        timer1_.tickEnded();
    });
}

void UsbLink::unlockedTick() {
    ++state_.tickCount;
    state_.frameAccepted = false;
    timer1_.setInterval(kStatusInterval);
    chip_->read(1, [this](Bytes bytes) {
        state_.bytesRead = static_cast<std::uint32_t>(bytes.size());
        // Only the last 21 bytes can be a report; the rest of what came is dropped.
        Bytes& buffer = state_.linkBuffer;
        if (buffer.size() >= log::kStatusReportSize)
            buffer.erase(buffer.begin(), buffer.end() - (log::kStatusReportSize - 1));
        buffer.push_back(bytes.empty() ? kReadTimeoutFill : bytes.front());
        if (buffer.size() >= log::kStatusReportSize &&
            std::equal(kReportTail.begin(), kReportTail.end(), buffer.end() - 2)) {
            takeStatusReport(std::span<const std::uint8_t, 21>(buffer.data() + buffer.size() - 21, 21));
        } else if (state_.tickCount > kGiveUpTicks) {
            Disconnect();
            Disconnect_USB();
        }
        // A byte came: the rest of the report is likely waiting, so the next tick reads
        // it at once instead of a byte per interval (the same bytes, ~80 ms sooner).
        timer1_.tickEnded(!bytes.empty() && state_.usbOpen);
    });
}

void UsbLink::takeStatusReport(std::span<const std::uint8_t, 21> report) {
    view_.ShowDiag(report, state_.pendingOutputCommand != 0);
    const std::uint8_t answer = statusAnswer(state_);
    state_.pendingOutputCommand = 0;
    state_.linkBuffer.assign(1, answer);
    // What the device sent after this report (a further report) is not its answer to
    // the command: the acceptance read must start with the bytes that follow it.
    if (state_.anyRequest())
        chip_->purgeReceived();
    write(state_.linkBuffer);
    state_.tickCount = 0;
    if (state_.anyRequest())
        timer1_.setEnabled(false); // the transfer owns the bridge now
    else if (dialog_ == Dialog::Transfer)
        hideDialog(); // the transfer before this report has ended
    state_.frameAccepted = true;
    if (state_.anyRequest() && transfer_ && transfer_->running())
        transfer_->commandSent();
}

// ---- finding and releasing the bridge ----

bool UsbLink::probe(const char* description) {
    const bool present = chip_->isPresentByDescription(description);
    if (!present && !seenProblem_)
        seenProblem_ = driver_.lastOpenProblem();
    return present;
}

void UsbLink::Connect_USB() {
    chip_ = std::make_unique<tftdichip>(driver_);
    seenProblem_.reset();
    if (!probe(kBridgeDescriptions[0]) && !probe(kBridgeDescriptions[1])) {
        chip_.reset();
        noteOpenProblem();
        return;
    }
    reportedProblem_.reset();
    if (!chip_->openDeviceByDescription(kBridgeDescriptions[0]) &&
        !chip_->openDeviceByDescription(kBridgeDescriptions[1])) {
        chip_.reset();
        showPollMessage(LinkMessage::of(LinkMessage::Kind::ConnectionFailed));
        return;
    }
    DeviceInfo info;
    if (!chip_->getDeviceInfo(info)) {
        showPollMessage(LinkMessage::of(LinkMessage::Kind::DamagedDevice));
        chip_->closeDevice();
        chip_.reset();
        return;
    }
    if (!chip_->resetDevice())
        showPollMessage(LinkMessage::of(LinkMessage::Kind::ResetError));
    chip_->setBaudRate(kBaud9600);
    chip_->setDataCharacteristics(8, 1, 0);
    chip_->setFlowControl(tftdichip::Flow::None, 0, 0);
    chip_->setTimeouts(kBridgeTimeoutMs, kBridgeTimeoutMs);
    chip_->onFailure([this](const std::string&) { bridgeFailed(); });
    timer1_.setEnabled(true);
    state_.tickCount = 0;
    timer1_.setInterval(kSearchInterval);
    state_.usbOpen = true;
    view_.lockTransportChoice(true);
    view_.showLinkUp(true);
}

// A bridge this user may not open is named once, with the way to mend it, and
// not again while the same condition lasts.
void UsbLink::noteOpenProblem() {
    if (!seenProblem_) {
        reportedProblem_.reset();
        return;
    }
    if (seenProblem_ == reportedProblem_)
        return;
    reportedProblem_ = seenProblem_;
    LinkMessage message = LinkMessage::of(LinkMessage::Kind::PortPermission);
    message.path = seenProblem_->path;
    message.owner = seenProblem_->owner;
    message.group = seenProblem_->group;
    message.udevRuleMissing = seenProblem_->udevRuleMissing;
    showPollMessage(message);
}

void UsbLink::Disconnect_USB() {
    // Released first, so that the transfer's end does not release it a second time.
    const std::unique_ptr<tftdichip> chip = std::move(chip_);
    if (transfer_)
        transfer_->abort(TransferEnd::LinkLost);
    if (chip) {
        chip->cancelRead();
        if (chip->isOpen())
            chip->closeDevice();
    }
    if (timer1_.ticking())
        timer1_.tickEnded(); // its read was dropped with the bridge
    // With the bridge gone no report will come to close a finished transfer's dialog,
    // and no answer to a code: nothing may keep the window disabled.
    codeWait_.stop();
    if (dialog_ != Dialog::Hidden)
        hideDialog();
    timer1_.setInterval(kSearchInterval);
    timer1_.setEnabled(active_);
    view_.lockTransportChoice(false);
    view_.showLinkUp(false);
    state_.frameAccepted = false;
    state_.unlocked = false;
    state_.usbOpen = false;
    state_.gprsConnected = false;
    state_.transferAborted = false;
    state_.stopWaiting = false;
}

void UsbLink::Disconnect() {
    view_.blankDiagnostics();
    view_.showConnected(false);
    state_.tickCount = 0;
    state_.unlocked = false;
    state_.usbOpen = false;
}

// The bridge is gone (unplugged, or its reads and writes fail): whatever ran ends now.
void UsbLink::bridgeFailed() {
    if (!chip_)
        return;
    Disconnect();
    Disconnect_USB();
}

// ---- the access code ----

void UsbLink::Identify() {
    timer1_.setEnabled(false);
    state_.tickCount = 0;
    timer1_.setInterval(kStatusInterval);
    dialog_ = Dialog::AccessCode;
    state_.transferDone = false;
    view_.showAccessPrompt();
}

void UsbLink::submitAccessCode(const std::string& code) {
    if (dialog_ != Dialog::AccessCode || !chip_)
        return; // a second Enter while the code is checked sends nothing
    const Bytes message = accessCodeMessage(code);
    // An identification the device sent before it saw our 0x1F is not its answer to the code.
    chip_->purgeReceived();
    write(message);
    dialog_ = Dialog::CheckingCode;
    codeWait_.start(options_.unlockAnswerLimit, [this] { codeNotAnswered(); });
    const auto readAnswer = [this](auto& self) -> void {
        chip_->read(1, [this, self](Bytes answer) {
            if (dialog_ != Dialog::CheckingCode)
                return;
            if (answer.empty())
                self(self);
            else
                codeAnswered(answer);
        });
    };
    readAnswer(readAnswer);
}

void UsbLink::codeAnswered(const Bytes& answer) {
    codeWait_.stop();
    if (answer.front() == kCodeAccepted) {
        state_.unlocked = true;
        view_.showConnected(true);
        timer1_.setInterval(kAfterCodeInterval);
        timer1_.setEnabled(true);
        dialog_ = Dialog::Hidden;
        state_.transferDone = true;
        view_.showCodeAccepted();
        return;
    }
    dialog_ = Dialog::CodeRefused;
    view_.showCodeRefused(Transport::Usb);
    write(std::array{kCodeRefusedSeen});
}

void UsbLink::codeNotAnswered() {
    if (chip_)
        chip_->cancelRead();
    hideDialog();
    backToIdentification();
    view_.showMessage(LinkMessage::of(LinkMessage::Kind::CodeNoAnswer), [] {});
}

// Locked again: the poll waits for the device's next identification.
void UsbLink::backToIdentification() {
    state_.unlocked = false;
    timer1_.setInterval(kAfterCodeInterval);
    timer1_.setEnabled(true);
}

void UsbLink::closeDialog() {
    switch (dialog_) {
    case Dialog::CodeRefused:
    case Dialog::AccessCode: // closed without a code: the device will ask again
        hideDialog();
        backToIdentification();
        return;
    case Dialog::Transfer:
        cancelTransfer();
        return;
    case Dialog::CheckingCode: // the answer is due within its bound
    case Dialog::Hidden:
        return;
    }
}

void UsbLink::hideDialog() {
    dialog_ = Dialog::Hidden;
    state_.transferDone = true;
    view_.hideDialog();
}

// ---- transfers ----

void UsbLink::request(TransferKind kind) {
    if (state_.anyRequest() || !chip_)
        return;
    state_.frameAccepted = false;
    state_.transferAborted = false;
    requestFlag(state_, kind) = true;
    if (kind == TransferKind::EventLog) {
        state_.eventCount = 0;
        view_.clearEvents();
    }
    dialog_ = Dialog::Transfer;
    state_.transferDone = false;
    state_.linkBuffer.clear();
    view_.showTransferWaiting(kind, waitingGaugeMaximum(kind));
    transfer_ =
        std::make_unique<UsbTransfer>(kind, state_, view_, config_, *chip_, clock_, wallClock_, options_,
                                      [this](TransferKind k, TransferEnd end) { transferEnded(k, end); });
}

void UsbLink::cancelTransfer() {
    if (transfer_ && transfer_->running())
        transfer_->abort(TransferEnd::Cancelled);
    else if (dialog_ == Dialog::Transfer)
        hideDialog(); // finished, and the report that would close the dialog is slow to come
}

void UsbLink::transferEnded(TransferKind kind, TransferEnd end) {
    requestFlag(state_, kind) = false;
    state_.linkBuffer.clear();
    if (end == TransferEnd::Done) {
        // The dialog stays up until the next StatusReport closes it.
        timer1_.setEnabled(true);
        state_.transferDone = true;
        view_.transferEnded(kind, end);
        return;
    }
    hideDialog();
    view_.transferEnded(kind, end);
    view_.showMessage(LinkMessage::transferIncomplete(kind, end, options_.resendLimit), [] {});
    if (end == TransferEnd::LinkLost && chip_) {
        Disconnect();
        Disconnect_USB();
    } else {
        timer1_.setEnabled(true);
    }
}

// ---- helpers ----

void UsbLink::write(std::span<const std::uint8_t> bytes) {
    state_.bytesWritten = static_cast<std::uint32_t>(chip_->write(bytes));
}

void UsbLink::showPollMessage(LinkMessage message) {
    timer1_.hold();
    view_.showMessage(message, [this] { timer1_.release(); });
}

} // namespace qta::link
