#include "UsbTransfer.h"

#include "Commands.h"

#include "catalogue/DeviceTexts.h"
#include "log/EventRecord.h"
#include "transfer/ConfigEncoder.h"
#include "transfer/ConfigImage.h"

#include <algorithm>
#include <array>

namespace qta::link {
namespace {

constexpr int kEventRecords = 256;
constexpr int kImageGaugeMaximum = transfer::kLastFrameAddress; // 21440: the progress is the block address
constexpr int kAcknowledgeAttempts = 3;

// Collects the encoder's Frames with the progress each shows.
template <class Out> class FrameCollector : public transfer::FrameSink {
public:
    explicit FrameCollector(Out& out) : out_(out) {}
    bool send(const transfer::Frame& frame, std::uint16_t progress) override {
        out_.push_back({frame, progress});
        return true;
    }

private:
    Out& out_;
};

int gaugeMaximum(TransferKind kind) {
    return kind == TransferKind::EventLog ? kEventRecords : kImageGaugeMaximum;
}

} // namespace

UsbTransfer::UsbTransfer(TransferKind kind, LinkState& state, LinkView& view, Configuration& config,
                         tftdichip& chip, Clock& clock, transfer::Clock wallClock, const LinkOptions& options,
                         Ended ended)
    : kind_(kind), state_(state), view_(view), chip_(chip), clock_(clock), wallClock_(std::move(wallClock)),
      options_(options), ended_(std::move(ended)), stall_(clock) {
    if (kind == TransferKind::Write) {
        // The Frames come from a snapshot: the Configuration may not change under a write anyway,
        // but the copy makes sure nothing the write does can reach the window.
        const Configuration snapshot = config;
        FrameCollector collector(frames_);
        transfer::SendDataFromForm(snapshot, catalogue::imageDeviceTexts(view.language()), collector);
    } else if (kind == TransferKind::Read) {
        decoder_ = std::make_unique<transfer::ConfigDecoder>(config, options.decimalSeparator);
    }
    // Waiting for the poll to hand the bridge over is bounded like every other step.
    madeProgress();
}

UsbTransfer::~UsbTransfer() {
    if (running_)
        chip_.cancelRead();
}

void UsbTransfer::madeProgress() {
    stall_.start(options_.stallLimit, [this] { abort(TransferEnd::NoAnswer); });
}

void UsbTransfer::read(std::size_t count, void (UsbTransfer::*then)(const Bytes&)) {
    chip_.read(count, [this, then](Bytes bytes) {
        if (running_)
            (this->*then)(bytes);
    });
}

void UsbTransfer::commandSent() {
    state_.frameAccepted = false;
    acceptance_.clear();
    madeProgress();
    readAcceptance();
}

// The 16 bytes are collected across reads, so an acceptance split by a read
// time-out still counts; anything but the expected sixteen stops the transfer
// before a single Frame is written.
void UsbTransfer::readAcceptance() {
    read(kAcceptanceSize - acceptance_.size(), &UsbTransfer::acceptanceArrived);
}

void UsbTransfer::acceptanceArrived(const Bytes& bytes) {
    acceptance_.insert(acceptance_.end(), bytes.begin(), bytes.end());
    if (acceptance_.size() < kAcceptanceSize) {
        readAcceptance();
        return;
    }
    const std::uint8_t expected = kind_ == TransferKind::Write ? kWriteAccepted : kSendingAccepted;
    if (!std::all_of(acceptance_.begin(), acceptance_.end(), [&](std::uint8_t b) { return b == expected; })) {
        finish(TransferEnd::NotAccepted);
        return;
    }
    view_.showTransferRunning(gaugeMaximum(kind_));
    madeProgress();
    run();
}

void UsbTransfer::run() {
    switch (kind_) {
    case TransferKind::Write:
        next_ = 0;
        sends_ = 0;
        SendString();
        return;
    case TransferKind::Read:
        ReadPacket();
        return;
    case TransferKind::EventLog:
        readRecord();
        return;
    }
}

void UsbTransfer::setProgress(int value) {
    view_.setProgress(std::min(value, gaugeMaximum(kind_)));
}

// The image's Frames in address order, then the TimeFrame, dated at the moment it is sent.
transfer::Frame UsbTransfer::currentFrame() const {
    return next_ < frames_.size() ? frames_[next_].frame : transfer::TimeFrame(wallClock_());
}

void UsbTransfer::SendString() {
    if (++sends_ > options_.resendLimit) {
        finish(TransferEnd::EchoRefused);
        return;
    }
    sending_ = currentFrame();
    state_.blockAddress = sending_.address;
    state_.frameAccepted = false;
    const transfer::WireFrame wire = sending_.toWire();
    state_.bytesWritten = static_cast<std::uint32_t>(chip_.write(wire));
    state_.linkBuffer.assign(transfer::kPayloadSize, 0);
    read(transfer::kPayloadSize, &UsbTransfer::echoArrived);
}

// A short echo is not pieced together with the next read: the read starts over,
// until one read brings all 64 bytes.
void UsbTransfer::echoArrived(const Bytes& echo) {
    state_.bytesRead = static_cast<std::uint32_t>(echo.size());
    std::copy(echo.begin(), echo.end(), state_.linkBuffer.begin());
    if (echo.size() < transfer::kPayloadSize) {
        read(transfer::kPayloadSize, &UsbTransfer::echoArrived);
        return;
    }
    const bool matches = state_.bytesWritten == transfer::kFrameSize &&
                         std::equal(echo.begin(), echo.end(), sending_.payload.begin());
    setProgress(next_ < frames_.size() ? frames_[next_].progress : state_.blockAddress);
    if (!matches) {
        SendString(); // the same Frame again, with the same address
        return;
    }
    state_.frameAccepted = true;
    madeProgress();
    nextFrame();
}

void UsbTransfer::nextFrame() {
    ++next_;
    sends_ = 0;
    if (next_ > frames_.size())
        finish(TransferEnd::Done);
    else
        SendString();
}

void UsbTransfer::ReadPacket() {
    state_.linkBuffer.assign(transfer::kFrameSize, 0);
    read(transfer::kFrameSize, &UsbTransfer::packetArrived);
}

void UsbTransfer::packetArrived(const Bytes& bytes) {
    state_.bytesRead = static_cast<std::uint32_t>(bytes.size());
    if (bytes.size() != transfer::kFrameSize) {
        ReadPacket(); // a short Frame is dropped, never half-decoded
        return;
    }
    std::copy(bytes.begin(), bytes.end(), state_.linkBuffer.begin());
    const transfer::Frame frame = transfer::Frame::fromWire(
        std::span<const std::uint8_t, transfer::kFrameSize>(bytes.data(), transfer::kFrameSize));
    state_.receivedPayload = frame.payload;
    state_.blockAddress = frame.address;
    decoder_->ReadData(frame);
    if (!ACK())
        return;
    madeProgress();
    if (state_.blockAddress >= transfer::kLastFrameAddress)
        finish(TransferEnd::Done);
    else
        ReadPacket();
}

// The acknowledgement goes out once the Frame's fields are set. A bridge that
// does not take one byte after a few tries is gone.
bool UsbTransfer::ACK() {
    static constexpr std::array<std::uint8_t, 1> kAck{kAcknowledge};
    for (int attempt = 0; attempt < kAcknowledgeAttempts; ++attempt) {
        state_.bytesWritten = static_cast<std::uint32_t>(chip_.write(kAck));
        if (state_.bytesWritten == 1) {
            setProgress(state_.blockAddress);
            return true;
        }
    }
    finish(TransferEnd::LinkLost);
    return false;
}

void UsbTransfer::readRecord() {
    state_.linkBuffer.assign(log::kEventRecordSize, 0);
    read(log::kEventRecordSize, &UsbTransfer::recordArrived);
}

void UsbTransfer::recordArrived(const Bytes& bytes) {
    state_.bytesRead = static_cast<std::uint32_t>(bytes.size());
    if (bytes.size() != log::kEventRecordSize) {
        readRecord();
        return;
    }
    const std::span<const std::uint8_t, log::kEventRecordSize> record(bytes.data(), log::kEventRecordSize);
    ++state_.eventCount;
    setProgress(state_.eventCount);
    if (!log::isEmptySlot(record))
        view_.WriteEvent(record);
    static constexpr std::array<std::uint8_t, 1> kAck{kAcknowledge};
    if (chip_.write(kAck) != 1) {
        finish(TransferEnd::LinkLost);
        return;
    }
    madeProgress();
    if (state_.eventCount >= kEventRecords)
        finish(TransferEnd::Done);
    else
        readRecord();
}

void UsbTransfer::abort(TransferEnd why) {
    if (!running_)
        return;
    state_.transferAborted = true;
    finish(why);
}

void UsbTransfer::finish(TransferEnd end) {
    if (!running_)
        return;
    running_ = false;
    stall_.stop();
    chip_.cancelRead();
    ended_(kind_, end);
}

} // namespace qta::link
