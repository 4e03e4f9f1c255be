#include "StopSignal.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace qta::sim {
namespace {

volatile std::sig_atomic_t gWriteFd = -1;

extern "C" void onStopSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    if (gWriteFd >= 0)
        (void)!::write(gWriteFd, &byte, 1);
    errno = savedErrno;
}

} // namespace

StopSignal::StopSignal() {
    if (::pipe(pipe_) != 0)
        return;
    for (const int fd : pipe_) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    gWriteFd = pipe_[1];
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    // A peer that went away must end a write with an error, not the program.
    std::signal(SIGPIPE, SIG_IGN);
}

StopSignal::~StopSignal() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    gWriteFd = -1;
    for (const int fd : pipe_) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool StopSignal::requested() const {
    pollfd pfd{pipe_[0], POLLIN, 0};
    return ::poll(&pfd, 1, 0) > 0;
}

} // namespace qta::sim
