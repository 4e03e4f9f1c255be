#pragma once

#include "Bridge.h"

#include <string>

namespace qta::link {

// A driver bound to one tty that the user named: every description opens that
// path. For bridges whose description cannot be read, and for the virtual
// device's pseudo-terminal.
class FixedPathDriver : public BridgeDriver {
public:
    // `sysfsRoot` is "/sys" except in tests.
    FixedPathDriver(Clock& clock, std::string path, std::string sysfsRoot = "/sys");

    std::unique_ptr<BridgePort> openByDescription(const std::string& description) override;
    std::optional<OpenProblem> lastOpenProblem() const override { return problem_; }

private:
    Clock& clock_;
    std::string path_;
    std::string sysfsRoot_;
    std::optional<OpenProblem> problem_;
};

} // namespace qta::link
