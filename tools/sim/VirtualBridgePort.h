#pragma once

#include "BridgeWire.h"
#include "link/Bridge.h"

#include <memory>
#include <optional>

namespace qta::sim {

// The open virtual bridge: a driver's receive buffer in front of the wire to the
// virtual device, with the read semantics of the real bridge (a read completes
// from the clock once its count is there or at the read time-out).
class VirtualBridgePort : public link::BridgePort {
public:
    explicit VirtualBridgePort(std::shared_ptr<BridgeWire> wire);
    ~VirtualBridgePort() override;

    bool resetDevice() override;
    bool setBaudRate(int baud) override;
    bool setDataCharacteristics(link::WordLength wordLength, link::StopBits stopBits,
                                link::Parity parity) override;
    bool setFlowControl(link::FlowControl flow, std::uint8_t xon, std::uint8_t xoff) override;
    bool setTimeouts(link::Millis read, link::Millis write) override;
    bool getDeviceInfo(link::DeviceInfo& info) override;

    void read(std::size_t count, ReadDone done) override;
    void cancelRead() override;
    std::size_t write(std::span<const std::uint8_t> bytes) override;
    void purgeReceived() override;
    void onFailure(Failed failed) override;

    // From the wire: bytes that crossed to the bridge; the device vanished.
    void arrived(std::span<const std::uint8_t> bytes);
    void fail(const std::string& reason);

    // What the programmer set up, for tests.
    int baudRate() const { return baud_; }
    link::Millis readTimeout() const { return readTimeout_; }

private:
    void finishRead();
    void reportFailure();

    std::shared_ptr<BridgeWire> wire_;
    link::Bytes received_;
    std::optional<std::size_t> readCount_;
    ReadDone readDone_;
    link::OneShot readTimer_;
    link::OneShot readReady_;
    link::Millis readTimeout_{200};
    int baud_ = 9600;

    std::optional<std::string> failure_;
    Failed failed_;
    bool failureReported_ = false;
    link::OneShot failureTimer_;
};

} // namespace qta::sim
