#pragma once

#include "Bridge.h"

#include <QSerialPort>

#include <memory>
#include <optional>
#include <string>

namespace qta::link {

// One USB-UART bridge reached through the operating system's tty: the kernel's
// FTDI driver (/dev/ttyUSBn), or a pseudo-terminal standing in for it. It keeps
// what arrives until a read takes it; a read ends once its bytes are there or
// its time-out on the injected clock has passed, and always reports from the
// event loop of the thread it lives on.
class SerialBridgePort : public BridgePort {
public:
    // Opening a tty gives the port, or nothing; `problem` is set only when this
    // user lacks the permission to open it (not when it is busy or missing).
    struct Opened {
        std::unique_ptr<SerialBridgePort> port;
        std::optional<OpenProblem> problem;
    };

    // Opens `path` as ours alone (a lock file, so that neither we nor another
    // program, not even one run as root, opens it twice), raw at 9600 baud, 8N1,
    // no flow control. `info` is what getDeviceInfo will tell.
    static Opened open(const std::string& path, Clock& clock, DeviceInfo info = {});

    ~SerialBridgePort() override;
    SerialBridgePort(const SerialBridgePort&) = delete;
    SerialBridgePort& operator=(const SerialBridgePort&) = delete;

    bool resetDevice() override;
    bool setBaudRate(int baud) override;
    bool setDataCharacteristics(WordLength wordLength, StopBits stopBits, Parity parity) override;
    bool setFlowControl(FlowControl flow, std::uint8_t xon, std::uint8_t xoff) override;
    bool setTimeouts(Millis read, Millis write) override;
    bool getDeviceInfo(DeviceInfo& info) override;

    void read(std::size_t count, ReadDone done) override;
    void cancelRead() override;
    std::size_t write(std::span<const std::uint8_t> bytes) override;
    void purgeReceived() override;
    void onFailure(Failed failed) override;

private:
    SerialBridgePort(Clock& clock, DeviceInfo info);

    bool usable() const { return !broken_ && port_.isOpen(); }
    void watchPort();
    void noticeError(QSerialPort::SerialPortError error);
    void queueCheck();
    void completeIfReady();
    void finishRead();
    void reportFailure();

    DeviceInfo info_;
    QSerialPort port_; // also the context of every queued call: they die with it
    OneShot readTimer_;
    Millis readTimeout_{200};

    std::size_t pendingCount_ = 0;
    ReadDone pendingDone_; // set while a read is pending
    bool checkQueued_ = false;

    bool broken_ = false;
    std::string breakReason_;
    Failed failed_;
    bool failureReported_ = false;
};

} // namespace qta::link
