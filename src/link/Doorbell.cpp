#include "Doorbell.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace qta::link {

Doorbell::Doorbell() : fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (fd_ < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
}

Doorbell::~Doorbell() {
    ::close(fd_);
}

void Doorbell::ring() {
    // Only a full counter fails, and then the doorbell is rung already.
    [[maybe_unused]] const int written = eventfd_write(fd_, 1);
}

void Doorbell::clear() {
    eventfd_t count = 0;
    [[maybe_unused]] const int read = eventfd_read(fd_, &count); // EAGAIN when not rung
}

} // namespace qta::link
