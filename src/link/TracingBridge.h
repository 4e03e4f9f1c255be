#pragma once

#include "Bridge.h"

#include <ostream>

namespace qta::link {

// Writes every byte that crosses a bridge to `out`, one line per write or read:
// the time in seconds since the tracing started, ">" for bytes to the device or
// "<" for bytes from it, then the bytes in hexadecimal. A read that brought nothing
// is not written.
class TracingDriver : public BridgeDriver {
public:
    TracingDriver(BridgeDriver& inner, Clock& clock, std::ostream& out);

    std::unique_ptr<BridgePort> openByDescription(const std::string& description) override;
    std::optional<OpenProblem> lastOpenProblem() const override { return inner_.lastOpenProblem(); }

    void trace(char direction, std::span<const std::uint8_t> bytes);

private:
    BridgeDriver& inner_;
    Clock& clock_;
    std::ostream& out_;
    Millis start_;
};

} // namespace qta::link
