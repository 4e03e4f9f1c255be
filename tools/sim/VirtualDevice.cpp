#include "VirtualDevice.h"

#include "Noise.h"
#include "catalogue/DeviceTexts.h"
#include "transfer/ConfigEncoder.h"

#include <algorithm>
#include <array>

namespace qta::sim {
namespace {

constexpr std::array<std::uint8_t, 6> kIdent = {'Q', 'T', 'A', '7', '1', 'P'};
constexpr std::uint8_t kIdentAck = 0x1F;
constexpr std::uint8_t kCodeEnd = 0x0D;
constexpr std::uint8_t kCodeAccepted = 0x06;
constexpr std::uint8_t kCodeRefused = 0x1B;
constexpr std::uint8_t kUnitAck = 0x1F;

// Answers to a StatusReport.
constexpr std::uint8_t kNothing = 0x1B;
constexpr std::uint8_t kFirstOutputOff = 0x1C;
constexpr std::uint8_t kFirstOutputOn = 0x20;
constexpr std::uint8_t kOutputCount = 4;
constexpr std::uint8_t kWrite = 0xAA;
constexpr std::uint8_t kRead = 0x60;
constexpr std::uint8_t kEventLog = 0x0E;
constexpr std::uint8_t kEndConnection = 0x04;

constexpr std::size_t kAcceptanceSize = 16;
constexpr std::uint8_t kWriteAccepted = 0x06;
constexpr std::uint8_t kReadAccepted = 0x60;

// The access code: short text 32 in bytes 32..63 of the Frame at 0x46C0.
constexpr std::size_t kAccessCodeAt = 0x46C0 + 32;
constexpr std::size_t kAccessCodeMax = 31;

constexpr std::size_t kFrameSize = transfer::kFrameSize;

// Where its clock stands until a TimeFrame sets it, and where its made-up log ends.
constexpr transfer::DateTime kFirstPowerOn{2025, 3, 14, 9, 30};

std::string hex(unsigned value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out = "0x";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kDigits[(value >> shift) & 0xF];
    return out;
}

std::string dateTimeText(const transfer::DateTime& t) {
    const auto two = [](int v) {
        return std::string{static_cast<char>('0' + v / 10 % 10), static_cast<char>('0' + v % 10)};
    };
    return std::to_string(t.year) + "-" + two(t.month) + "-" + two(t.day) + " " + two(t.hour) + ":" +
           two(t.minute);
}

Micros atLeastOne(Micros span) {
    return std::max(span, Micros(1000));
}

DeviceOptions sane(DeviceOptions options) {
    // Every period moves time on, so the device can never act twice at one moment forever.
    for (Micros* span :
         {&options.identPeriod, &options.reportPeriod, &options.answerWait, &options.relockAfter,
          &options.codeWait, &options.transferSilence, &options.frameGap})
        *span = atLeastOne(*span);
    options.firstUnitDelay = std::max(options.firstUnitDelay, Micros(0));
    return options;
}

} // namespace

VirtualDevice::VirtualDevice(DeviceOptions options)
    : options_(sane(options)), statusRandom_(randomFor(options.seed, Stream::Status)),
      faultRandom_(randomFor(options.seed, Stream::Faults)),
      noiseRandom_(randomFor(options.seed, Stream::Noise)),
      memory_(transfer::encodeImage(Configuration::startup('.'), catalogue::imageDeviceTexts(Language::EN))),
      events_(EventLog::generated(options.seed, kFirstPowerOn)), clock_(kFirstPowerOn) {
    status_.optionBoxesFree = options_.optionBoxesFree;
    start(Micros(0));
}

void VirtualDevice::start(Micros now) {
    now_ = now;
    received_.clear();
    awaitingAck_ = false;
    enterIdentifying(Micros(0));
}

bool VirtualDevice::unlocked() const {
    switch (phase_) {
    case Phase::Reporting:
    case Phase::AwaitingAnswer:
    case Phase::Writing:
    case Phase::Reading:
    case Phase::SendingEvents:
        return true;
    default:
        return false;
    }
}

std::string VirtualDevice::accessCode() const {
    const auto& bytes = memory_.bytes();
    const std::size_t length = std::min<std::size_t>(bytes[kAccessCodeAt], kAccessCodeMax);
    return {bytes.begin() + kAccessCodeAt + 1,
            bytes.begin() + kAccessCodeAt + 1 + static_cast<std::ptrdiff_t>(length)};
}

Micros VirtualDevice::nextOutputDue() const {
    switch (phase_) {
    case Phase::Identifying:
    case Phase::Reporting:
    case Phase::AwaitingAnswer:
        return due_;
    case Phase::Reading:
    case Phase::SendingEvents:
        return awaitingAck_ ? kNever : due_;
    default:
        return kNever;
    }
}

void VirtualDevice::advanceTo(Micros now) {
    while (due_ <= now) {
        now_ = std::max(now_, due_);
        fire();
    }
    now_ = std::max(now_, now);
}

void VirtualDevice::receive(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes)
        take(byte);
}

void VirtualDevice::send(std::span<const std::uint8_t> unit) {
    if (output_)
        output_(unit);
}

void VirtualDevice::notice(const std::string& text) {
    if (notice_)
        notice_(text);
}

void VirtualDevice::fire() {
    switch (phase_) {
    case Phase::Identifying:
        if (noiseTurn_) {
            send(makeNoise(noiseRandom_));
            due_ = now_ + options_.identPeriod / 2;
        } else {
            send(kIdent);
            due_ = now_ + (options_.faults.garbage ? options_.identPeriod / 2 : options_.identPeriod);
        }
        noiseTurn_ = options_.faults.garbage && !noiseTurn_;
        break;
    case Phase::AwaitingCode:
        notice("no access code came: identifying again");
        enterIdentifying(Micros(0));
        break;
    case Phase::Reporting:
        if (noiseTurn_) {
            send(makeNoise(noiseRandom_));
            noiseTurn_ = false;
            due_ = now_ + options_.reportPeriod / 2;
        } else {
            sendReport();
        }
        break;
    case Phase::AwaitingAnswer:
        if (now_ - lastAnswerAt_ >= options_.relockAfter) {
            notice("no answer to the reports: locked");
            enterIdentifying(Micros(0));
        } else {
            sendReport();
        }
        break;
    case Phase::Writing:
        if (!received_.empty()) {
            notice("part of a Frame dropped after silence (" + std::to_string(received_.size()) + " bytes)");
            received_.clear();
            due_ = lastByteAt_ + options_.transferSilence;
        } else {
            abandon();
        }
        break;
    case Phase::Reading:
    case Phase::SendingEvents:
        if (awaitingAck_)
            abandon();
        else
            sendNextUnit();
        break;
    case Phase::Mute:
    case Phase::Gone:
        due_ = kNever;
        break;
    }
}

void VirtualDevice::take(std::uint8_t byte) {
    switch (phase_) {
    case Phase::Identifying:
        if (byte == kIdentAck) {
            notice("identification acknowledged: waiting for the access code");
            phase_ = Phase::AwaitingCode;
            received_.clear();
            due_ = now_ + options_.codeWait;
        }
        break;
    case Phase::AwaitingCode:
        takeCodeByte(byte);
        break;
    case Phase::AwaitingAnswer:
        answer(byte);
        break;
    case Phase::Writing:
        takeFrameByte(byte);
        break;
    case Phase::Reading:
    case Phase::SendingEvents:
        if (byte == kUnitAck && awaitingAck_) {
            awaitingAck_ = false;
            if (++nextUnit_ == unitCount_) {
                notice(phase_ == Phase::Reading ? "read finished" : "event log sent");
                enterReporting();
            } else {
                sendNextUnit();
            }
        }
        break;
    case Phase::Reporting:
    case Phase::Mute:
    case Phase::Gone:
        break;
    }
}

void VirtualDevice::enterIdentifying(Micros firstAfter) {
    phase_ = Phase::Identifying;
    received_.clear();
    noiseTurn_ = options_.faults.garbage;
    due_ = now_ + firstAfter;
}

void VirtualDevice::enterReporting() {
    phase_ = Phase::Reporting;
    lastAnswerAt_ = now_;
    noiseTurn_ = options_.faults.garbage;
    due_ = now_ + (noiseTurn_ ? options_.reportPeriod / 2 : options_.reportPeriod);
}

// A length byte n, n code bytes, 0x0D.
void VirtualDevice::takeCodeByte(std::uint8_t byte) {
    received_.push_back(byte);
    if (received_.size() < std::size_t{received_[0]} + 2)
        return;
    const std::string code(received_.begin() + 1, received_.end() - 1);
    const bool accepted = received_.back() == kCodeEnd && code == accessCode();
    received_.clear();
    if (accepted) {
        notice("access code accepted: unlocked");
        send(std::array{kCodeAccepted});
        enterReporting();
    } else {
        notice("access code refused");
        send(std::array{kCodeRefused});
        enterIdentifying(options_.identPeriod);
    }
}

void VirtualDevice::sendReport() {
    if (options_.varyStatus)
        status_.vary(statusRandom_);
    send(status_.report(clock_.digits(now_)));
    phase_ = Phase::AwaitingAnswer;
    due_ = now_ + options_.answerWait;
}

void VirtualDevice::answer(std::uint8_t byte) {
    if (byte == kNothing) {
        enterReporting();
    } else if (byte >= kFirstOutputOff && byte < kFirstOutputOff + kOutputCount) {
        const int output = byte - kFirstOutputOff;
        status_.outputs = static_cast<std::uint8_t>(status_.outputs & ~(1u << output));
        notice("output " + std::to_string(output + 1) + " switched off");
        enterReporting();
    } else if (byte >= kFirstOutputOn && byte < kFirstOutputOn + kOutputCount) {
        const int output = byte - kFirstOutputOn;
        status_.outputs = static_cast<std::uint8_t>(status_.outputs | (1u << output));
        notice("output " + std::to_string(output + 1) + " switched on");
        enterReporting();
    } else if (byte == kWrite) {
        startWrite();
    } else if (byte == kRead) {
        notice("configuration read started");
        send(Bytes(kAcceptanceSize, kReadAccepted));
        startSending(Phase::Reading, transfer::kImageFrameCount);
    } else if (byte == kEventLog) {
        notice("event log read started");
        send(Bytes(kAcceptanceSize, kReadAccepted));
        startSending(Phase::SendingEvents, kEventSlots);
    } else if (byte == kEndConnection && options_.transport == Transport::Network) {
        notice("end of connection");
        send(std::array{kEndConnection});
        phase_ = Phase::Gone;
        due_ = kNever;
        if (hangUp_)
            hangUp_();
    }
    // Any other byte is not an answer: the device keeps waiting for one.
}

void VirtualDevice::startWrite() {
    notice("configuration write started");
    send(Bytes(kAcceptanceSize, kWriteAccepted));
    phase_ = Phase::Writing;
    received_.clear();
    framesTaken_ = 0;
    lastByteAt_ = now_;
    due_ = now_ + options_.transferSilence;
}

void VirtualDevice::takeFrameByte(std::uint8_t byte) {
    received_.push_back(byte);
    lastByteAt_ = now_;
    if (received_.size() == kFrameSize)
        takeFrame();
    else
        due_ = now_ + options_.frameGap;
}

void VirtualDevice::takeFrame() {
    const transfer::Frame frame =
        transfer::Frame::fromWire(std::span<const std::uint8_t, kFrameSize>(received_));
    received_.clear();
    due_ = now_ + options_.transferSilence;
    if (faultBefore(framesTaken_++))
        return;

    transfer::Payload echo = frame.payload;
    if (faultRandom_.chance(options_.faults.corruptEcho)) {
        const std::size_t at = faultRandom_.below(transfer::kPayloadSize);
        echo[at] = static_cast<std::uint8_t>(echo[at] ^ (1 + faultRandom_.below(255)));
        notice("echo of " + hex(frame.address) + " corrupted at byte " + std::to_string(at));
    }
    send(echo);

    if (frame.address == transfer::kTimeFrameAddress) {
        if (const auto dateTime = DeviceClock::fromDigits(frame.payload)) {
            clock_.set(*dateTime, now_);
            notice("clock set to " + dateTimeText(*dateTime) + "; write finished");
        } else {
            notice("time Frame without a valid date; write finished");
        }
        flipAfterWrite();
        enterReporting();
    } else {
        memory_.send(frame, frame.address);
    }
}

void VirtualDevice::flipAfterWrite() {
    if (!options_.faults.flipAfterWrite)
        return;
    const std::size_t address = *options_.faults.flipAfterWrite;
    transfer::Frame frame = memory_.frame(address / transfer::kPayloadSize);
    frame.payload[address % transfer::kPayloadSize] ^= 0x01;
    memory_.send(frame, frame.address);
    notice("memory byte " + hex(static_cast<unsigned>(address)) + " flipped after the write");
}

void VirtualDevice::startSending(Phase phase, std::size_t count) {
    phase_ = phase;
    nextUnit_ = 0;
    unitCount_ = count;
    awaitingAck_ = false;
    due_ = now_ + options_.firstUnitDelay;
}

void VirtualDevice::sendNextUnit() {
    if (faultBefore(nextUnit_))
        return;
    send(unit(nextUnit_));
    awaitingAck_ = true;
    due_ = now_ + options_.transferSilence;
}

Bytes VirtualDevice::unit(std::size_t index) const {
    if (phase_ == Phase::Reading) {
        const transfer::WireFrame wire = memory_.frame(index).toWire();
        return {wire.begin(), wire.end()};
    }
    const auto& record = events_.record(index);
    return {record.begin(), record.end()};
}

void VirtualDevice::abandon() {
    notice("transfer abandoned by the programmer");
    received_.clear();
    awaitingAck_ = false;
    enterReporting();
}

bool VirtualDevice::faultBefore(std::size_t frameIndex) {
    const Faults& faults = options_.faults;
    if (faults.silentAfter && frameIndex >= *faults.silentAfter) {
        notice("fault: silent after " + std::to_string(frameIndex) + " Frames");
        phase_ = Phase::Mute;
        due_ = kNever;
        return true;
    }
    if (faults.dropAfter && !dropSpent_ && frameIndex >= *faults.dropAfter) {
        notice("fault: vanishing after " + std::to_string(frameIndex) + " Frames");
        dropSpent_ = true;
        phase_ = Phase::Gone;
        due_ = kNever;
        if (vanish_)
            vanish_();
        return true;
    }
    return false;
}

} // namespace qta::sim
