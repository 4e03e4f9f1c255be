#pragma once

#include "DeviceLink.h"
#include "tftdichip.h"

#include "transfer/ConfigDecoder.h"
#include "transfer/Frame.h"

#include <functional>
#include <memory>
#include <vector>

namespace qta::link {

// One transfer over the USB bridge, from the request to its end: it waits for the
// poll to send the command byte, reads the device's 16-byte acceptance, then
// writes the Frames (`SendString`, each until its echo matches, then the
// TimeFrame), or reads them (`ReadPacket`, `ReadData`, `ACK`), or reads the 256
// event records. Every wait is bounded: no progress within the stall limit, or
// one Frame sent too often without a matching echo, gives the transfer up.
class UsbTransfer {
public:
    using Ended = std::function<void(TransferKind, TransferEnd)>;

    UsbTransfer(TransferKind kind, LinkState& state, LinkView& view, Configuration& config, tftdichip& chip,
                Clock& clock, transfer::Clock wallClock, const LinkOptions& options, Ended ended);
    ~UsbTransfer();

    TransferKind kind() const { return kind_; }
    bool running() const { return running_; }

    // The poll has answered a StatusReport with the command byte and stopped itself.
    void commandSent();
    // Gives the transfer up (nothing more is decoded or written) and reports `why`.
    void abort(TransferEnd why);

private:
    struct OutgoingFrame {
        transfer::Frame frame;
        std::uint16_t progress;
    };

    void readAcceptance();
    void acceptanceArrived(const Bytes& bytes);
    void run();
    void madeProgress();

    void SendString();
    void echoArrived(const Bytes& echo);
    void nextFrame();
    transfer::Frame currentFrame() const;

    void ReadPacket();
    void packetArrived(const Bytes& bytes);
    bool ACK();

    void readRecord();
    void recordArrived(const Bytes& bytes);

    void read(std::size_t count, void (UsbTransfer::*then)(const Bytes&));
    // The gauge shows values beyond its maximum (the TimeFrame's 0x8080) as full.
    void setProgress(int value);
    void finish(TransferEnd end);

    TransferKind kind_;
    LinkState& state_;
    LinkView& view_;
    tftdichip& chip_;
    Clock& clock_;
    transfer::Clock wallClock_;
    const LinkOptions& options_;
    Ended ended_;
    OneShot stall_;
    bool running_ = true;

    Bytes acceptance_;
    std::vector<OutgoingFrame> frames_; // a write: the image's Frames, then the TimeFrame
    std::size_t next_ = 0;
    transfer::Frame sending_;
    int sends_ = 0; // of the current Frame
    std::unique_ptr<transfer::ConfigDecoder> decoder_;
};

} // namespace qta::link
