#include "NoDeviceDiagnosis.h"

#include "UsbSysfs.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace qta::link {

namespace fs = std::filesystem;

namespace {

constexpr const char* kBridgeProducts[] = {"FT232R USB UART", "FT230X Basic UART"};
constexpr const char* kRuleName = "60-qta710.rules";
// Where udev reads rules, the first one found winning over the others by name.
constexpr const char* kRuleFolders[] = {"etc/udev/rules.d", "run/udev/rules.d", "usr/lib/udev/rules.d",
                                        "lib/udev/rules.d"};
// A search looks several times per tick; one look a tick is enough.
constexpr Millis kLookInterval{50};

} // namespace

std::vector<std::string> SystemLook::bridgeTtys() const {
    std::vector<std::string> ttys;
    for (const UsbTty& tty : listUsbTtys((fs::path(root_) / "sys").string())) {
        for (const char* product : kBridgeProducts) {
            if (tty.info.description == product)
                ttys.push_back(tty.name);
        }
    }
    return ttys;
}

bool SystemLook::udevRuleInstalled() const {
    std::error_code error;
    for (const char* folder : kRuleFolders) {
        const fs::path rule = fs::path(root_) / folder / kRuleName;
        const fs::file_status status = fs::symlink_status(rule, error);
        if (!fs::exists(status))
            continue;
        // A link to /dev/null masks the rules of that name in the later folders.
        return !fs::is_symlink(status) || fs::read_symlink(rule, error) != "/dev/null";
    }
    return false;
}

bool SystemLook::modemManagerRunning() const {
    std::error_code error;
    for (fs::directory_iterator it(fs::path(root_) / "proc", error), end; !error && it != end;
         it.increment(error)) {
        const std::string pid = it->path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream comm(it->path() / "comm");
        std::string name;
        if (std::getline(comm, name) && name == "ModemManager")
            return true;
    }
    return false;
}

bool SystemLook::brlttyInstalled() const {
    std::error_code error;
    return fs::exists(fs::path(root_) / "usr/bin/brltty", error) ||
           fs::exists(fs::path(root_) / "bin/brltty", error);
}

NoDeviceDiagnosis::NoDeviceDiagnosis(BridgeDriver& inner, Clock& clock, LinkView& view, SystemLook system)
    : inner_(inner), clock_(clock), view_(view), system_(std::move(system)) {}

std::unique_ptr<BridgePort> NoDeviceDiagnosis::openByDescription(const std::string& description) {
    auto port = inner_.openByDescription(description);
    look();
    return port;
}

std::optional<OpenProblem> NoDeviceDiagnosis::lastOpenProblem() const {
    auto problem = inner_.lastOpenProblem();
    if (problem)
        problem->udevRuleMissing = !system_.udevRuleInstalled();
    return problem;
}

void NoDeviceDiagnosis::look() {
    const Millis now = clock_.now();
    if (lastLook_ && now - *lastLook_ < kLookInterval)
        return;
    lastLook_ = now;
    const std::vector<std::string> present = system_.bridgeTtys();
    for (auto it = appeared_.begin(); it != appeared_.end();) {
        if (std::find(present.begin(), present.end(), it->first) != present.end()) {
            ++it;
            continue;
        }
        if (now - it->second < kQuickVanish && !toldBrltty_ && system_.brlttyInstalled())
            tell(LinkMessage::Kind::Brltty, toldBrltty_);
        it = appeared_.erase(it);
    }
    for (const std::string& tty : present)
        appeared_.try_emplace(tty, now);
    if (!present.empty() && !toldModemManager_ && !system_.udevRuleInstalled() &&
        system_.modemManagerRunning())
        tell(LinkMessage::Kind::ModemManager, toldModemManager_);
}

void NoDeviceDiagnosis::tell(LinkMessage::Kind kind, bool& told) {
    told = true;
    view_.showMessage(LinkMessage::of(kind), [] {});
}

} // namespace qta::link
