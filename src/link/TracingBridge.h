#pragma once

#include "Bridge.h"

#include <functional>
#include <ostream>

namespace qta::link {

// Wraps the bridges of another driver and tells `watch` every byte that crosses
// them: what a write gave the bridge (as far as it took it) and what a read brought.
class WatchedDriver : public BridgeDriver {
public:
    enum class Direction { ToDevice, FromDevice };
    using Watch = std::function<void(Direction, std::span<const std::uint8_t>)>;

    WatchedDriver(BridgeDriver& inner, Watch watch) : inner_(inner), watch_(std::move(watch)) {}

    std::unique_ptr<BridgePort> openByDescription(const std::string& description) override;
    std::optional<OpenProblem> lastOpenProblem() const override { return inner_.lastOpenProblem(); }

private:
    BridgeDriver& inner_;
    Watch watch_;
};

// Writes every byte that crosses a bridge to `out`, one line per write or read:
// the time in seconds since the tracing started, ">" for bytes to the device or
// "<" for bytes from it, then the bytes in hexadecimal. A read that brought nothing
// is not written.
class TracingDriver : public WatchedDriver {
public:
    TracingDriver(BridgeDriver& inner, Clock& clock, std::ostream& out);

private:
    void trace(char direction, std::span<const std::uint8_t> bytes);

    Clock& clock_;
    std::ostream& out_;
    Millis start_;
};

} // namespace qta::link
