#include "UsbLink.h"

#include "session/Commands.h"

#include "log/EventRecord.h"
#include "log/StatusReport.h"

#include <algorithm>

namespace qta::link {
namespace {

constexpr const char* kBridgeDescriptions[] = {"FT232R USB UART", "FT230X Basic UART"};
constexpr int kBaud9600 = 5; // its place in tftdichip::kBaudRates
constexpr int kBridgeTimeoutMs = 200;
constexpr Millis kSearchInterval{100};
constexpr Millis kStatusInterval{5};
constexpr Millis kAfterCodeInterval{500};
constexpr int kGiveUpTicks = 200;
constexpr int kWriteAttempts = 3;
constexpr std::size_t kCodeAnswerBuffer = 64;

constexpr std::uint8_t kReadTimeoutFill = 0x20; // what a status read that timed out appends

// A read that ended with a whole StatusReport, as its last 21 bytes.
std::optional<Unit> reportAtEnd(const Bytes& bytes) {
    if (bytes.size() < log::kStatusReportSize ||
        !std::equal(kReportTail.begin(), kReportTail.end(), bytes.end() - 2))
        return std::nullopt;
    return Unit{UnitKind::StatusReport, Bytes(bytes.end() - log::kStatusReportSize, bytes.end())};
}

bool waitsForCode(ProgrammerSession::Phase phase) {
    using Phase = ProgrammerSession::Phase;
    return phase == Phase::Prompt || phase == Phase::CheckingCode || phase == Phase::Refused;
}

} // namespace

UsbLink::UsbLink(LinkState& state, LinkView& view, Configuration& config, BridgeDriver& driver, Clock& clock,
                 const SessionOptions& options, char decimalSeparator)
    : state_(state), view_(view), driver_(driver),
      host_(view, config, clock, decimalSeparator,
            [this](SessionTimer timer) {
                run([timer](ProgrammerSession& s) { return s.timerExpired(timer); });
            }),
      session_(usbProfile(), state, options), timer1_(clock, [this] { Timer1Timer(); }),
      codeAnswer_(kCodeAnswerBuffer) {}

UsbLink::~UsbLink() {
    host_.stopTimers();
    if (chip_ && chip_->isOpen())
        chip_->closeDevice();
}

void UsbLink::setActive(bool active) {
    active_ = active;
    state_.tickCount = 0;
    timer1_.setEnabled(active);
}

void UsbLink::run(Request request) {
    if (!chip_)
        return;
    const ProgrammerSession::Phase before = session_.phase();
    carryOut(request(session_));
    followSession(before);
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
        return;
    }
    const std::optional<Expect> expect = session_.expect();
    if (expect == Expect::Identification)
        lockedTick();
    else if (expect == Expect::Reports)
        unlockedTick();
    else
        timer1_.tickEnded(); // a transfer or the code prompt reads for itself
}

// Only six bytes read at once can be the identification.
void UsbLink::lockedTick() {
    ++state_.tickCount;
    state_.linkBuffer.assign(kIdentification.size(), 0);
    chip_->read(kIdentification.size(), [this](Bytes bytes) {
        state_.bytesRead = static_cast<std::uint32_t>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), state_.linkBuffer.begin());
        timer1_.tickEnded();
        if (std::ranges::equal(state_.linkBuffer, kIdentification)) {
            state_.linkBuffer.clear();
            feed(Unit{UnitKind::Identification, std::move(bytes)});
        } else if (state_.tickCount > kGiveUpTicks) {
            Disconnect_USB();
        }
    });
}

// A byte a tick; only the last 21 can be a StatusReport, the rest is dropped.
void UsbLink::unlockedTick() {
    ++state_.tickCount;
    state_.frameAccepted = false;
    timer1_.setInterval(kStatusInterval);
    chip_->read(1, [this](Bytes bytes) {
        state_.bytesRead = static_cast<std::uint32_t>(bytes.size());
        Bytes& buffer = state_.linkBuffer;
        if (buffer.size() >= log::kStatusReportSize)
            buffer.erase(buffer.begin(), buffer.end() - (log::kStatusReportSize - 1));
        buffer.push_back(bytes.empty() ? kReadTimeoutFill : bytes.front());
        // A byte came: the rest of the report is likely waiting, so the next tick reads
        // it at once instead of a byte per interval (the same bytes, ~80 ms sooner).
        timer1_.tickEnded(!bytes.empty());
        if (buffer.size() >= kIdentification.size() &&
            std::equal(kIdentification.begin(), kIdentification.end(), buffer.end() - 6)) {
            buffer.clear(); // the device locked itself again and identifies
            state_.tickCount = 0;
            feed(Unit{UnitKind::Identification, Bytes(kIdentification.begin(), kIdentification.end())});
        } else if (buffer.size() >= log::kStatusReportSize &&
                   std::equal(kReportTail.begin(), kReportTail.end(), buffer.end() - 2)) {
            Unit report{UnitKind::StatusReport, Bytes(buffer.end() - log::kStatusReportSize, buffer.end())};
            buffer.clear();
            state_.tickCount = 0;
            feed(report);
        } else if (state_.tickCount > kGiveUpTicks) {
            Disconnect_USB();
        }
    });
}

// ---- what the session expects ----

// The poll reads while the session waits for an identification or a report; for
// everything else the session's own unit is read, and the poll rests.
void UsbLink::followSession(ProgrammerSession::Phase before) {
    using Phase = ProgrammerSession::Phase;
    if (!chip_)
        return;
    const Phase now = session_.phase();
    if (now == Phase::Accepting && before != Phase::Accepting)
        gathered_.clear();
    if (now == Phase::CheckingCode && before != Phase::CheckingCode)
        codeAnswer_.dropAll();
    if (now == Phase::Prompt && before != Phase::Prompt) { // Identify
        state_.tickCount = 0;
        timer1_.setInterval(kStatusInterval);
    }
    const std::optional<Expect> expect = session_.expect();
    if (expect == Expect::Identification || expect == Expect::Reports) {
        if (reading_) {
            chip_->cancelRead();
            reading_.reset();
        }
        if (waitsForCode(before) && !waitsForCode(now))
            timer1_.setInterval(kAfterCodeInterval); // the first poll after the code waits a little
        timer1_.setEnabled(true);
        return;
    }
    timer1_.setEnabled(false); // the session owns the bridge now
    if (!expect && reading_) {
        chip_->cancelRead();
        reading_.reset();
    }
    if (expect && reading_ != expect)
        readUnit(*expect);
}

void UsbLink::readUnit(Expect expect) {
    std::size_t count = 1; // the answer to the code
    switch (expect) {
    case Expect::WriteAcceptance:
    case Expect::SendAcceptance:
        count = kAcceptanceSize - gathered_.size();
        break;
    case Expect::Echoes:
    case Expect::TimeFrameEcho:
        count = transfer::kPayloadSize;
        state_.linkBuffer.assign(count, 0);
        break;
    case Expect::Frames:
        count = transfer::kFrameSize;
        state_.linkBuffer.assign(count, 0);
        break;
    case Expect::Records:
        count = log::kEventRecordSize;
        state_.linkBuffer.assign(count, 0);
        break;
    case Expect::CodeAnswer:
    case Expect::Identification:
    case Expect::Reports:
    case Expect::EndAnswer:
        break;
    }
    reading_ = expect;
    chip_->read(count, [this, expect](Bytes bytes) {
        if (reading_ != expect)
            return;
        reading_.reset();
        unitRead(expect, std::move(bytes));
    });
}

// An acceptance split by a read time-out still counts; a short echo, Frame or
// record is dropped and read again from its start, never pieced together.
void UsbLink::unitRead(Expect expect, Bytes bytes) {
    state_.bytesRead = static_cast<std::uint32_t>(bytes.size());
    if (const std::optional<Unit> unit = cut(expect, std::move(bytes)))
        feed(*unit);
    else
        readUnit(expect);
}

std::optional<Unit> UsbLink::cut(Expect expect, Bytes bytes) {
    switch (expect) {
    case Expect::CodeAnswer:
        codeAnswer_.append(bytes);
        return codeAnswer_.next(Expect::CodeAnswer);
    case Expect::WriteAcceptance:
    case Expect::SendAcceptance:
        gathered_.insert(gathered_.end(), bytes.begin(), bytes.end());
        if (gathered_.size() < kAcceptanceSize)
            return std::nullopt;
        return Unit{UnitKind::Acceptance, std::exchange(gathered_, {})};
    case Expect::Echoes:
    case Expect::TimeFrameEcho:
        std::copy(bytes.begin(), bytes.end(), state_.linkBuffer.begin());
        if (bytes.size() == transfer::kPayloadSize) {
            gathered_.clear();
            return Unit{UnitKind::Echo, std::move(bytes)};
        }
        return expect == Expect::TimeFrameEcho ? reportAfterWrite(bytes) : std::nullopt;
    case Expect::Frames:
        return bytes.size() == transfer::kFrameSize ? std::optional(Unit{UnitKind::Frame, std::move(bytes)})
                                                    : std::nullopt;
    case Expect::Records:
        return bytes.size() == log::kEventRecordSize ? std::optional(Unit{UnitKind::Record, std::move(bytes)})
                                                     : std::nullopt;
    case Expect::Identification:
    case Expect::Reports:
    case Expect::EndAnswer:
        break;
    }
    return std::nullopt;
}

// A device that took the TimeFrame and has ended its write reports again; its
// report may span read time-outs, so short reads are gathered until one ends it.
std::optional<Unit> UsbLink::reportAfterWrite(const Bytes& bytes) {
    gathered_.insert(gathered_.end(), bytes.begin(), bytes.end());
    if (gathered_.size() >= log::kStatusReportSize)
        gathered_.erase(gathered_.begin(), gathered_.end() - log::kStatusReportSize);
    std::optional<Unit> report = reportAtEnd(gathered_);
    if (report)
        gathered_.clear();
    return report;
}

void UsbLink::feed(const Unit& unit) {
    run([&unit](ProgrammerSession& s) { return s.unitArrived(unit); });
}

// ---- what the session answers ----

void UsbLink::carryOut(Actions actions) {
    for (const Action& action : actions) {
        if (host_.carryOut(action))
            continue;
        if (action.kind == Action::Kind::Send)
            write(action);
        else if (action.kind == Action::Kind::Purge && chip_)
            chip_->purgeReceived();
    }
}

// A bridge that does not take a single byte after a few tries is gone; a Frame
// that went out short cannot be echoed right and is sent again.
void UsbLink::write(const Action& action) {
    if (!chip_)
        return;
    std::size_t written = 0;
    for (int attempt = 0; attempt < kWriteAttempts && written == 0; ++attempt)
        written = chip_->write(action.bytes);
    state_.bytesWritten = static_cast<std::uint32_t>(written);
    if (written == 0)
        bridgeFailed();
    else if (written < action.bytes.size())
        session_.frameSentShort();
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
    if (!setUpBridge())
        return;
    timer1_.setEnabled(true);
    state_.tickCount = 0;
    timer1_.setInterval(kSearchInterval);
    state_.usbOpen = true;
    state_.linkBuffer.clear();
    run([](ProgrammerSession& s) { return s.linkUp(); });
}

bool UsbLink::setUpBridge() {
    DeviceInfo info;
    if (!chip_->getDeviceInfo(info)) {
        showPollMessage(LinkMessage::of(LinkMessage::Kind::DamagedDevice));
        chip_->closeDevice();
        chip_.reset();
        return false;
    }
    if (!chip_->resetDevice())
        showPollMessage(LinkMessage::of(LinkMessage::Kind::ResetError));
    chip_->setBaudRate(kBaud9600);
    chip_->setDataCharacteristics(8, 1, 0);
    chip_->setFlowControl(tftdichip::Flow::None, 0, 0);
    chip_->setTimeouts(kBridgeTimeoutMs, kBridgeTimeoutMs);
    chip_->onFailure([this](const std::string&) { bridgeFailed(); });
    return true;
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

// Released first, so that nothing the session's end asks for reaches the bridge.
void UsbLink::Disconnect_USB() {
    const std::unique_ptr<tftdichip> chip = std::move(chip_);
    reading_.reset();
    if (chip) {
        chip->cancelRead();
        if (chip->isOpen())
            chip->closeDevice();
    }
    if (timer1_.ticking())
        timer1_.tickEnded(); // its read was dropped with the bridge
    state_.usbOpen = false;
    state_.tickCount = 0;
    state_.linkBuffer.clear();
    carryOut(session_.linkLost());
    timer1_.setInterval(kSearchInterval);
    timer1_.setEnabled(active_);
}

// The bridge is gone (unplugged, or its reads and writes fail): whatever ran ends now.
void UsbLink::bridgeFailed() {
    if (chip_)
        Disconnect_USB();
}

void UsbLink::showPollMessage(LinkMessage message) {
    timer1_.hold();
    view_.showMessage(message, [this] { timer1_.release(); });
}

} // namespace qta::link
