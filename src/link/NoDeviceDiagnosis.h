#pragma once

#include "Bridge.h"
#include "session/LinkView.h"

#include <map>
#include <string>
#include <vector>

namespace qta::link {

// What the machine shows about the usual reasons why an attached bridge never
// connects, looked up under `root` ("/" except in tests): sysfs, the process
// table, udev's rule folders and the programs installed.
class SystemLook {
public:
    explicit SystemLook(std::string root = "/") : root_(std::move(root)) {}

    // The ttys of the attached bridges that carry one of the device's product strings.
    std::vector<std::string> bridgeTtys() const;
    // The programmer's udev rule where udev reads it, and not masked.
    bool udevRuleInstalled() const;
    bool modemManagerRunning() const;
    bool brlttyInstalled() const;

private:
    std::string root_;
};

// Wraps the driver of the USB search: each search also looks at the machine, and
// tells the user once each, through the view, when ModemManager runs without the
// udev rule that keeps it off the bridge (it would garble the device's first
// bytes), and when a bridge vanished within two seconds of appearing while brltty
// is installed (brltty took it). A bridge this user may not open is reported by
// the search as before, marked when the udev rule, which would mend it, is missing.
class NoDeviceDiagnosis : public BridgeDriver {
public:
    // How long after appearing a vanishing bridge is taken as claimed by brltty.
    static constexpr Millis kQuickVanish{2000};

    NoDeviceDiagnosis(BridgeDriver& inner, Clock& clock, LinkView& view, SystemLook system = SystemLook());

    std::unique_ptr<BridgePort> openByDescription(const std::string& description) override;
    std::optional<OpenProblem> lastOpenProblem() const override;

private:
    void look();
    void tell(LinkMessage::Kind kind, bool& told);

    BridgeDriver& inner_;
    Clock& clock_;
    LinkView& view_;
    SystemLook system_;
    std::map<std::string, Millis> appeared_; // each bridge's tty, when it was first seen
    std::optional<Millis> lastLook_;
    bool toldModemManager_ = false;
    bool toldBrltty_ = false;
};

} // namespace qta::link
