#pragma once

#include "Clock.h"

#include "session/Bytes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qta::link {

// What the bridge tells about itself (FT_GetDeviceInfo).
struct DeviceInfo {
    int chipType = 3; // 0 BM, 1 AM, 2 100AX, 4 2232C, 5 232R; every other type is 3
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string serialNumber;
    std::string description;
};

// The settings of the driver, in its own codes (D2XX values).
enum class WordLength : std::uint8_t { Bits8 = 8, Bits7 = 7 };
enum class StopBits : std::uint8_t { One = 0, Two = 2 };
enum class Parity : std::uint8_t { None = 0, Odd = 1, Even = 2, Mark = 3, Space = 4 };
enum class FlowControl : std::uint16_t { None = 0x0000, RtsCts = 0x0100, DtrDsr = 0x0200, XonXoff = 0x0400 };

// One open USB-UART bridge, used from one thread. The driver behind it keeps
// what arrives until a read takes it.
class BridgePort {
public:
    using ReadDone = std::function<void(Bytes)>;
    using Failed = std::function<void(const std::string& reason)>;

    virtual ~BridgePort() = default;

    virtual bool resetDevice() = 0;
    virtual bool setBaudRate(int baud) = 0;
    virtual bool setDataCharacteristics(WordLength wordLength, StopBits stopBits, Parity parity) = 0;
    virtual bool setFlowControl(FlowControl flow, std::uint8_t xon, std::uint8_t xoff) = 0;
    virtual bool setTimeouts(Millis read, Millis write) = 0;
    virtual bool getDeviceInfo(DeviceInfo& info) = 0;

    // Starts a read of up to `count` bytes. `done` gets what arrived once `count`
    // bytes are there, or what arrived by the read time-out; it runs from the event
    // loop, never inside read(). One read at a time; a new read cancels the old.
    virtual void read(std::size_t count, ReadDone done) = 0;
    // Forgets the pending read; its `done` is not called.
    virtual void cancelRead() = 0;
    // Writes the bytes; returns how many the driver took (all, or fewer on failure).
    virtual std::size_t write(std::span<const std::uint8_t> bytes) = 0;
    // Drops everything that arrived and was not read yet.
    virtual void purgeReceived() = 0;
    // `failed` runs once, from the event loop, when the bridge breaks (unplugged,
    // a read or write error). Reads then end at once with nothing.
    virtual void onFailure(Failed failed) = 0;
};

// Why an attached bridge could not be opened, when the user can do something about it.
struct OpenProblem {
    std::string path;  // the tty, e.g. /dev/ttyUSB0
    std::string owner; // its owner and group
    std::string group;
    bool udevRuleMissing = false; // the rule that would let the logged-in user open it
    bool operator==(const OpenProblem&) const = default;
};

// Finds and opens bridges by their USB product description (FT_OpenEx by
// description). The real driver looks at the system's USB-UART ttys; tests use
// scripted drivers and the virtual device.
class BridgeDriver {
public:
    virtual ~BridgeDriver() = default;

    // The open bridge, exclusively ours, or null: none attached with that
    // description, or it is held by another program, or it cannot be opened.
    virtual std::unique_ptr<BridgePort> openByDescription(const std::string& description) = 0;
    // After a failed open: set when a bridge with that description is attached but
    // this user may not open it (the tty's permissions), so the user can be told how
    // to mend it; empty when nothing is attached or it is merely busy.
    virtual std::optional<OpenProblem> lastOpenProblem() const { return std::nullopt; }
};

} // namespace qta::link
