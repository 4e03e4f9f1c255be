#include "PtyLink.h"

#include "HostTime.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace qta::sim {
namespace {

constexpr int kStaleLimit = 1024;

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

} // namespace

PtyLink::PtyLink(VirtualDevice& device, int baud, const SimLog& log)
    : device_(device), paced_(device, baud), log_(log) {
    paced_.onDelivered([this](std::span<const std::uint8_t> bytes) { writeToHost(bytes); });
    device_.onVanish([this] { vanished_ = true; });
}

PtyLink::~PtyLink() {
    close();
}

bool PtyLink::open(std::string& error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error = systemError("cannot create a pseudo-terminal");
        return false;
    }
    std::array<char, 256> name{};
    if (::ptsname_r(master_, name.data(), name.size()) != 0) {
        error = systemError("cannot name the pseudo-terminal");
        return false;
    }
    slavePath_ = name.data();
    slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (slave_ < 0 || ::tcgetattr(slave_, &raw) != 0) {
        error = systemError("cannot open " + slavePath_);
        return false;
    }
    ::cfmakeraw(&raw);
    ::cfsetispeed(&raw, B9600);
    ::cfsetospeed(&raw, B9600);
    ::tcsetattr(slave_, TCSANOW, &raw);
    // Nobody may be reading the slave: what the device sends then is lost, as on
    // a wire, rather than blocking the device.
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    return true;
}

bool PtyLink::makeLink(const std::string& path, std::string& error) {
    ::unlink(path.c_str());
    if (::symlink(slavePath_.c_str(), path.c_str()) != 0) {
        error = systemError("cannot link " + path);
        return false;
    }
    linkPath_ = path;
    return true;
}

void PtyLink::run(int stopFd) {
    device_.start(hostNow());
    while (!vanished_) {
        paced_.advanceTo(hostNow());
        if (vanished_)
            break;
        std::array<pollfd, 2> fds{{{master_, POLLIN, 0}, {stopFd, POLLIN, 0}}};
        const timespec wait = pollTimeout(paced_.nextDue(), hostNow());
        const int ready = ::ppoll(fds.data(), fds.size(), &wait, nullptr);
        if (ready < 0 && errno != EINTR)
            break;
        if (fds[1].revents != 0)
            break;
        if ((fds[0].revents & POLLIN) != 0)
            readFromHost();
    }
    if (vanished_) {
        log_("the device vanished: pseudo-terminal closed");
        close();
    }
}

void PtyLink::readFromHost() {
    std::array<std::uint8_t, 4096> buffer{};
    const ssize_t n = ::read(master_, buffer.data(), buffer.size());
    if (n > 0)
        paced_.fromHost(std::span(buffer.data(), static_cast<std::size_t>(n)), hostNow());
}

void PtyLink::writeToHost(std::span<const std::uint8_t> bytes) {
    // More than a second of output unread: nobody has the port open. A wire
    // without a listener keeps nothing, so neither does the pty.
    int queued = 0;
    if (::ioctl(slave_, FIONREAD, &queued) == 0 && queued + static_cast<int>(bytes.size()) > kStaleLimit)
        ::tcflush(slave_, TCIFLUSH);
    const ssize_t n = ::write(master_, bytes.data(), bytes.size());
    if (n < static_cast<ssize_t>(bytes.size()))
        log_("pseudo-terminal full: output dropped");
}

void PtyLink::close() {
    if (!linkPath_.empty())
        ::unlink(linkPath_.c_str());
    linkPath_.clear();
    for (int* fd : {&slave_, &master_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

} // namespace qta::sim
