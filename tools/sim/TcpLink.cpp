#include "TcpLink.h"

#include "HostTime.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qta::sim {

TcpLink::TcpLink(VirtualDevice& device, Options options, const SimLog& log)
    : device_(device), options_(std::move(options)),
      paced_(device, options_.baud, PacedLine::Delivery::WholeUnits),
      shaper_(options_.shaping, options_.seed), toServer_(options_.latency), fromServer_(options_.latency),
      log_(log) {
    paced_.onDelivered([this](std::span<const std::uint8_t> unit) {
        shaper_.push(unit, device_.now(), device_.nextOutputDue());
    });
    device_.onVanish([this] { vanished_ = true; });
    device_.onHangUp([this] { hungUp_ = true; });
}

TcpLink::~TcpLink() {
    if (socket_ >= 0)
        ::close(socket_);
}

void TcpLink::startConnect(Micros now) {
    const std::string port = std::to_string(options_.port);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(options_.host.c_str(), port.c_str(), &hints, &found) != 0 || found == nullptr) {
        log_("cannot resolve " + options_.host);
        connectAt_ = now + options_.reconnectPause;
        return;
    }
    socket_ =
        ::socket(found->ai_family, found->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, found->ai_protocol);
    const int result = socket_ < 0 ? -1 : ::connect(socket_, found->ai_addr, found->ai_addrlen);
    const int connectErrno = errno;
    ::freeaddrinfo(found);
    if (result == 0) {
        connected(now);
    } else if (socket_ >= 0 && connectErrno == EINPROGRESS) {
        state_ = State::Connecting;
    } else {
        disconnect(now, std::string("cannot connect: ") + std::strerror(connectErrno));
    }
}

void TcpLink::finishConnect(Micros now) {
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(socket_, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
        disconnect(now, std::string("cannot connect: ") + std::strerror(error));
        return;
    }
    connected(now);
}

void TcpLink::connected(Micros now) {
    // Each chunk leaves in its own segment, so the server sees the units (or
    // the faults' pieces) as the device sent them.
    const int on = 1;
    ::setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    state_ = State::Connected;
    hungUp_ = false;
    hangUpDeadline_ = kNever;
    vanished_ = false;
    log_("connected to " + options_.host + ":" + std::to_string(options_.port));
    device_.start(now);
}

void TcpLink::disconnect(Micros now, const std::string& why, bool abort) {
    log_(why + "; connecting again in " +
         std::to_string(
             std::chrono::duration_cast<std::chrono::milliseconds>(options_.reconnectPause).count()) +
         " ms");
    if (socket_ >= 0 && abort) {
        // A vanished modem says no goodbye: the server sees the connection reset.
        const linger reset{1, 0};
        ::setsockopt(socket_, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    }
    if (socket_ >= 0)
        ::close(socket_);
    socket_ = -1;
    state_ = State::Waiting;
    connectAt_ = now + options_.reconnectPause;
    paced_.clear();
    shaper_.clear();
    toServer_.clear();
    fromServer_.clear();
    outbox_.clear();
    hungUp_ = false;
    hangUpDeadline_ = kNever;
}

void TcpLink::readFromServer(Micros now) {
    std::array<std::uint8_t, 4096> buffer{};
    const ssize_t n = ::recv(socket_, buffer.data(), buffer.size(), 0);
    if (n > 0) {
        fromServer_.push(std::span(buffer.data(), static_cast<std::size_t>(n)), now);
    } else if (n == 0) {
        disconnect(now, "the server closed the connection");
    } else if (errno != EAGAIN && errno != EINTR) {
        disconnect(now, std::string("connection lost: ") + std::strerror(errno));
    }
}

void TcpLink::sendDue(Micros now) {
    for (const Bytes& chunk : shaper_.take(now))
        toServer_.push(chunk, now);
    for (const DelayLine::Chunk& chunk : toServer_.take(now)) {
        outbox_.insert(outbox_.end(), chunk.bytes.begin(), chunk.bytes.end());
        flushOutbox();
    }
}

// What the server sent reaches the device once the network has carried it.
void TcpLink::deliverFromServer(Micros now) {
    for (const DelayLine::Chunk& chunk : fromServer_.take(now)) {
        paced_.advanceTo(chunk.due);
        paced_.fromHost(chunk.bytes, chunk.due);
    }
}

void TcpLink::flushOutbox() {
    while (!outbox_.empty() && socket_ >= 0) {
        const ssize_t n = ::send(socket_, outbox_.data(), outbox_.size(), MSG_NOSIGNAL);
        if (n <= 0)
            return; // the socket is full; POLLOUT brings the rest
        outbox_.erase(outbox_.begin(), outbox_.begin() + n);
    }
}

Micros TcpLink::nextDue() const {
    switch (state_) {
    case State::Waiting:
        return connectAt_;
    case State::Connecting:
        return kNever;
    case State::Connected:
        return std::min({paced_.nextDue(), shaper_.nextDue(), toServer_.nextDue(), fromServer_.nextDue(),
                         hangUpDeadline_});
    }
    return kNever;
}

void TcpLink::service(Micros now) {
    if (state_ == State::Waiting && now >= connectAt_)
        startConnect(now);
    if (state_ != State::Connected)
        return;
    deliverFromServer(now);
    paced_.advanceTo(now);
    sendDue(now);
    if (vanished_) {
        disconnect(now, "the device vanished: connection dropped", true);
        return;
    }
    const bool drained = paced_.nextDue() == kNever && shaper_.nextDue() == kNever &&
                         toServer_.nextDue() == kNever && outbox_.empty();
    if (hungUp_ && drained && hangUpDeadline_ == kNever)
        hangUpDeadline_ = now + options_.hangUpLinger;
    if (now >= hangUpDeadline_)
        disconnect(now, "connection ended after 0x04");
}

pollfd TcpLink::pollEntry() const {
    pollfd entry{socket_, 0, 0};
    if (state_ == State::Connecting)
        entry.events = POLLOUT;
    else if (state_ == State::Connected)
        entry.events = static_cast<short>(POLLIN | (outbox_.empty() ? 0 : POLLOUT));
    else
        entry.fd = -1;
    return entry;
}

void TcpLink::handle(short revents, Micros now) {
    if (state_ == State::Connecting && revents != 0)
        finishConnect(now);
    else if (state_ == State::Connected && (revents & (POLLIN | POLLHUP | POLLERR)) != 0)
        readFromServer(now);
    if (state_ == State::Connected && (revents & POLLOUT) != 0)
        flushOutbox();
}

void TcpLink::run(int stopFd) {
    TcpLink* const self = this;
    runTcpLinks(std::span(&self, 1), stopFd);
}

void runTcpLinks(std::span<TcpLink* const> links, int stopFd) {
    const Micros start = hostNow();
    for (TcpLink* link : links)
        link->begin(start);
    std::vector<pollfd> fds(links.size() + 1);
    for (;;) {
        Micros due = kNever;
        for (TcpLink* link : links) {
            link->service(hostNow());
            due = std::min(due, link->nextDue());
        }
        fds[0] = {stopFd, POLLIN, 0};
        for (std::size_t i = 0; i < links.size(); ++i)
            fds[i + 1] = links[i]->pollEntry();
        const timespec wait = pollTimeout(due, hostNow());
        const int ready = ::ppoll(fds.data(), fds.size(), &wait, nullptr);
        if (ready < 0 && errno != EINTR)
            return;
        if (fds[0].revents != 0)
            return;
        const Micros now = hostNow();
        for (std::size_t i = 0; i < links.size(); ++i) {
            if (fds[i + 1].fd >= 0)
                links[i]->handle(fds[i + 1].revents, now);
        }
    }
}

} // namespace qta::sim
