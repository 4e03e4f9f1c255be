#include "FleetServer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace qta::link {
namespace {

constexpr int kBacklog = 256;
constexpr int kEventsPerWait = 64;
constexpr Millis kAcceptPause{100};

std::string peerText(const sockaddr* peer, socklen_t length) {
    char host[NI_MAXHOST] = "?";
    char service[NI_MAXSERV] = "?";
    ::getnameinfo(peer, length, host, sizeof host, service, sizeof service, NI_NUMERICHOST | NI_NUMERICSERV);
    std::string address = host;
    if (address.starts_with("::ffff:"))
        address = address.substr(7);
    return (address.find(':') != std::string::npos ? "[" + address + "]" : address) + ":" + service;
}

// A socket on every local address: IPv6 taking IPv4 too where the system has
// IPv6, else IPv4 alone.
int openListener(std::uint16_t port, std::string& error) {
    int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    const int off = 0;
    if (fd >= 0) {
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
        sockaddr_in6 any{};
        any.sin6_family = AF_INET6;
        any.sin6_port = htons(port);
        any.sin6_addr = in6addr_any;
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) == 0 &&
            ::listen(fd, kBacklog) == 0)
            return fd;
        error = std::strerror(errno);
        ::close(fd);
        if (errno == EADDRINUSE || errno == EACCES)
            return -1;
    }
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::strerror(errno);
        return -1;
    }
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(port);
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) == 0 && ::listen(fd, kBacklog) == 0)
        return fd;
    error = std::strerror(errno);
    ::close(fd);
    return -1;
}

std::uint16_t boundPort(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
}

} // namespace

FleetServer::FleetServer(FleetSettings settings, DeviceFactory factory, Refused refused)
    : settings_(std::move(settings)), factory_(std::move(factory)), refused_(std::move(refused)),
      profile_(gprsProfile(settings_.gprs.unlockLimit, settings_.gprs.transferEndPause,
                           settings_.gprs.closeDelay)),
      lastBound_(clock_), acceptPause_(clock_), origin_(std::chrono::steady_clock::now()) {
    epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
}

FleetServer::~FleetServer() {
    connections_.clear();
    if (listener_ >= 0)
        ::close(listener_);
    if (epoll_ >= 0)
        ::close(epoll_);
}

bool FleetServer::listen(std::string& error) {
    if (epoll_ < 0) {
        error = std::strerror(errno);
        return false;
    }
    listener_ = openListener(settings_.gprs.listenPort, error);
    if (listener_ < 0)
        return false;
    port_ = boundPort(listener_);
    watchListener();
    return true;
}

void FleetServer::watchListener() {
    if (listener_ < 0)
        return;
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = listener_;
    ::epoll_ctl(epoll_, EPOLL_CTL_ADD, listener_, &event);
}

FleetCounts FleetServer::counts() const {
    FleetCounts counts = counts_;
    counts.running = static_cast<int>(connections_.size());
    return counts;
}

void FleetServer::run(int interruptFd) {
    epoll_event stopEvent{};
    stopEvent.events = EPOLLIN;
    stopEvent.data.fd = interruptFd;
    if (interruptFd >= 0)
        ::epoll_ctl(epoll_, EPOLL_CTL_ADD, interruptFd, &stopEvent);
    std::vector<epoll_event> events(kEventsPerWait);
    while (taking_ || !connections_.empty()) {
        catchUp();
        sweep();
        if (!taking_ && connections_.empty())
            break;
        const int ready = ::epoll_wait(epoll_, events.data(), kEventsPerWait, waitMillis());
        catchUp();
        for (int i = 0; i < ready; ++i) {
            const int fd = events[static_cast<std::size_t>(i)].data.fd;
            const std::uint32_t what = events[static_cast<std::size_t>(i)].events;
            if (fd == interruptFd) {
                interrupted(interruptFd);
            } else if (fd == listener_) {
                accept();
            } else if (const auto found = connections_.find(fd); found != connections_.end()) {
                FleetConnection& connection = *found->second;
                if ((what & EPOLLOUT) != 0)
                    connection.writable();
                if ((what & (EPOLLIN | EPOLLHUP | EPOLLERR | EPOLLRDHUP)) != 0 && !connection.ended())
                    connection.readable();
            }
        }
    }
    if (interruptFd >= 0)
        ::epoll_ctl(epoll_, EPOLL_CTL_DEL, interruptFd, nullptr);
}

// The clock's timers run at their moments; the session's timers, the queued
// requests and the pauses are all on it.
void FleetServer::catchUp() {
    const auto real = std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - origin_);
    clock_.advance(std::max(real - clock_.now(), Millis(0)));
}

int FleetServer::waitMillis() const {
    const std::optional<Millis> due = clock_.nextDue();
    if (!due)
        return -1;
    const auto real = std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - origin_);
    return static_cast<int>(std::clamp<Millis::rep>((*due - real).count() + 1, 0, 60000));
}

void FleetServer::accept() {
    for (;;) {
        sockaddr_storage peer{};
        socklen_t length = sizeof peer;
        const int fd =
            ::accept4(listener_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0 && (errno == EMFILE || errno == ENFILE)) {
            // Out of descriptors: the listener would stay readable, so it is left
            // unwatched for a moment while the rest wait in the backlog.
            ::epoll_ctl(epoll_, EPOLL_CTL_DEL, listener_, nullptr);
            acceptPause_.start(kAcceptPause, [this] { watchListener(); });
            return;
        }
        if (fd < 0)
            return; // none left
        take(fd, reinterpret_cast<const sockaddr*>(&peer), length);
    }
}

void FleetServer::take(int socket, const sockaddr* peer, socklen_t length) {
    const std::string who = peerText(peer, length);
    const auto refuse = [&](int& count, const std::string& why) {
        ++count;
        ::close(socket);
        if (refused_)
            refused_(who, why);
    };
    if (settings_.allowed && !settings_.allowed->allows(peer, length))
        return refuse(counts_.refusedPeer, "outside the allowed networks");
    if (!taking_ || static_cast<int>(connections_.size()) >= settings_.maxSessions)
        return refuse(counts_.refusedFull, "all " + std::to_string(settings_.maxSessions) + " sessions busy");
    ++counts_.accepted;
    auto connection =
        std::make_unique<FleetConnection>(socket, factory_(who), clock_, settings_.gprs, profile_,
                                          settings_.session, settings_.decimalSeparator);
    FleetConnection& taken = *connection;
    connections_.emplace(socket, std::move(connection));
    taken.start();
    watch(taken);
}

void FleetServer::interrupted(int interruptFd) {
    char drained[64];
    [[maybe_unused]] const auto n = ::read(interruptFd, drained, sizeof drained);
    if (stopping_)
        closeAll();
    else
        stop();
}

void FleetServer::stopTaking() {
    if (!taking_)
        return;
    taking_ = false;
    acceptPause_.stop();
    if (listener_ >= 0) {
        ::epoll_ctl(epoll_, EPOLL_CTL_DEL, listener_, nullptr);
        ::close(listener_);
        listener_ = -1;
    }
    for (auto& [fd, connection] : connections_)
        connection->closeIfUnidentified();
}

void FleetServer::stop() {
    stopTaking();
    if (stopping_)
        return;
    stopping_ = true;
    for (auto& [fd, connection] : connections_)
        connection->interrupt();
    lastBound_.start(settings_.closeWait * 2, [this] { closeAll(); });
}

void FleetServer::closeAll() {
    for (auto& [fd, connection] : connections_)
        connection->abort();
}

// Ended connections go; the others are watched for what they wait for now.
void FleetServer::sweep() {
    for (auto it = connections_.begin(); it != connections_.end();) {
        if (it->second->ended()) {
            ::epoll_ctl(epoll_, EPOLL_CTL_DEL, it->first, nullptr);
            watched_.erase(it->first);
            it = connections_.erase(it);
        } else {
            watch(*it->second);
            ++it;
        }
    }
}

void FleetServer::watch(FleetConnection& connection) {
    const std::uint32_t wanted =
        EPOLLRDHUP | (connection.wantsRead() ? EPOLLIN : 0u) | (connection.wantsWrite() ? EPOLLOUT : 0u);
    const auto known = watched_.find(connection.socket());
    if (known != watched_.end() && known->second == wanted)
        return;
    epoll_event event{};
    event.events = wanted;
    event.data.fd = connection.socket();
    ::epoll_ctl(epoll_, known == watched_.end() ? EPOLL_CTL_ADD : EPOLL_CTL_MOD, connection.socket(), &event);
    watched_[connection.socket()] = wanted;
}

} // namespace qta::link
