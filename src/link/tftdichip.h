#pragma once

#include "Bridge.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace qta::link {

// A misuse of the wrapper: opening twice, closing what is not open, an invalid setting.
class FtdiError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// The wrapper around one USB-UART bridge, in the terms of the D2XX driver: open
// by USB description, set up, read with a time-out, write. One instance holds at
// most one open bridge and is never reopened.
class tftdichip {
public:
    // The rates setBaudRate chooses from, numbered 0 to 13 in this order.
    static constexpr int kBaudRates[] = {300,   600,   1200,  2400,   4800,   9600,   14400,
                                         19200, 38400, 57600, 115200, 230400, 460800, 921600};
    enum class Flow { None, RtsCts, DtrDsr, XonXoff };

    explicit tftdichip(BridgeDriver& driver) : driver_(driver) {}

    bool isOpen() const { return port_ != nullptr; }

    // Opens and at once closes the bridge; true if it could be opened. Leaves this object as it was.
    bool isPresentByDescription(const std::string& description);
    bool openDeviceByDescription(const std::string& description);
    bool closeDevice();

    // `choice` 0..13 from kBaudRates.
    bool setBaudRate(int choice);
    // Word length 8 or 7, stop bits 1 or 2, parity 0..4 (none, odd, even, mark, space).
    bool setDataCharacteristics(int wordLength, int stopBits, int parity);
    bool setFlowControl(Flow mode, std::uint8_t xon, std::uint8_t xoff);
    bool setTimeouts(int readMs, int writeMs);
    bool resetDevice();
    bool getDeviceInfo(DeviceInfo& info);

    // Reads up to `count` bytes; `done` gets them when all are there or the read
    // time-out has passed (see BridgePort::read).
    void read(std::size_t count, BridgePort::ReadDone done);
    void cancelRead();
    // The number of bytes the bridge took.
    std::size_t write(std::span<const std::uint8_t> bytes);
    void purgeReceived();
    void onFailure(BridgePort::Failed failed);

private:
    BridgePort& port();

    BridgeDriver& driver_;
    std::unique_ptr<BridgePort> port_;
};

} // namespace qta::link
