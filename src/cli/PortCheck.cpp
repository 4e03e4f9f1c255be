#include "PortCheck.h"

#include "catalogue/LanguageCatalogue.h"
#include "link/FixedPathDriver.h"
#include "link/LinkMessages.h"
#include "link/NoDeviceDiagnosis.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace qta::cli {
namespace {

// The driver only says that the tty did not open; the system says why.
std::string whyNotOpened(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == EBUSY ? "it is in use by another program" : std::strerror(errno);
    const bool tty = ::isatty(fd) == 1;
    ::close(fd);
    // It opens here, so what kept the driver out is another program's lock on it.
    return tty ? "it is in use by another program" : "it is not a serial port";
}

} // namespace

std::optional<std::string> portProblem(link::BridgeDriver& driver, const std::string& path,
                                       Language language) {
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return std::nullopt;
    // Closed again at once; the link opens it anew.
    if (driver.openByDescription({}))
        return std::nullopt;
    if (const auto problem = driver.lastOpenProblem()) {
        link::LinkMessage message = link::LinkMessage::of(link::LinkMessage::Kind::PortPermission);
        message.path = problem->path;
        message.owner = problem->owner;
        message.group = problem->group;
        return link::wordMessage(message, catalogue::languageCatalogue(language).messages);
    }
    return "the USB adapter " + path + " cannot be opened: " + whyNotOpened(path);
}

std::optional<std::string> attachedBridgeProblem(link::Clock& clock, Language language,
                                                 const std::string& root) {
    const std::filesystem::path top(root);
    std::optional<std::string> first;
    for (const std::string& tty : link::SystemLook(root).bridgeTtys()) {
        const std::string path = (top / "dev" / tty).string();
        link::FixedPathDriver driver(clock, path, (top / "sys").string());
        auto problem = portProblem(driver, path, language);
        if (!problem)
            return std::nullopt;
        if (!first)
            first = std::move(problem);
    }
    return first;
}

} // namespace qta::cli
