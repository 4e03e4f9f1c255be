#include "PortCheck.h"

#include "FixedPathDriver.h"
#include "NoDeviceDiagnosis.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace qta::link {
namespace {

LinkMessage unavailable(const std::string& path, LinkMessage::PortReason reason,
                        std::string systemText = {}) {
    LinkMessage message = LinkMessage::of(LinkMessage::Kind::PortUnavailable);
    message.path = path;
    message.portReason = reason;
    message.text = std::move(systemText);
    return message;
}

// The driver only says that the tty did not open; the system says why.
LinkMessage whyNotOpened(const std::string& path) {
    using Reason = LinkMessage::PortReason;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == EBUSY ? unavailable(path, Reason::InUse)
                              : unavailable(path, Reason::System, std::strerror(errno));
    const bool tty = ::isatty(fd) == 1;
    ::close(fd);
    // It opens here, so what kept the driver out is another program's lock on it.
    return unavailable(path, tty ? Reason::InUse : Reason::NotSerial);
}

} // namespace

std::optional<LinkMessage> portProblem(BridgeDriver& driver, const std::string& path, MissingPort missing) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        if (missing == MissingPort::Waited)
            return std::nullopt;
        return unavailable(path, LinkMessage::PortReason::System, std::strerror(ENOENT));
    }
    // Closed again at once; the link opens it anew.
    if (driver.openByDescription({}))
        return std::nullopt;
    if (const auto problem = driver.lastOpenProblem()) {
        LinkMessage message = LinkMessage::of(LinkMessage::Kind::PortPermission);
        message.path = problem->path;
        message.owner = problem->owner;
        message.group = problem->group;
        return message;
    }
    return whyNotOpened(path);
}

std::optional<LinkMessage> attachedBridgeProblem(Clock& clock, const std::string& root) {
    const std::filesystem::path top(root);
    std::optional<LinkMessage> first;
    for (const std::string& tty : SystemLook(root).bridgeTtys()) {
        const std::string path = (top / "dev" / tty).string();
        FixedPathDriver driver(clock, path, (top / "sys").string());
        auto problem = portProblem(driver, path, MissingPort::Waited);
        if (!problem)
            return std::nullopt;
        if (!first)
            first = std::move(problem);
    }
    return first;
}

} // namespace qta::link
