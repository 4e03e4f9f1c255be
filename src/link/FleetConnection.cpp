#include "FleetConnection.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace qta::link {
namespace {

// Purging what came before the access code reads at most this much, so a peer
// that floods the connection cannot hold the loop there.
constexpr std::size_t kPurgeLimit = 64 * 1024;
constexpr std::size_t kReadChunk = 4096;

} // namespace

FleetConnection::FleetConnection(int socket, std::unique_ptr<FleetDevice> device, ManualClock& clock,
                                 const GprsOptions& gprs, const TransportProfile& profile,
                                 const SessionOptions& sessionOptions, char decimalSeparator)
    : socket_(socket), device_(std::move(device)), clock_(clock),
      reader_(gprs.bufferLimit, gprs.partialUnitDrop), session_(profile, state_, sessionOptions),
      host_(*device_, device_->readTarget(), clock, decimalSeparator,
            [this](SessionTimer timer) {
                step([timer](ProgrammerSession& s) { return s.timerExpired(timer); });
                pump();
            }),
      soon_(clock), resume_(clock), closeTimer_(clock) {}

FleetConnection::~FleetConnection() {
    host_.stopTimers();
    ::close(socket_);
}

void FleetConnection::start() {
    step([](ProgrammerSession& s) { return s.linkUp(); });
    if (!ended_)
        device_->started(*this);
}

void FleetConnection::readable() {
    std::array<std::uint8_t, kReadChunk> buffer{};
    while (!ended_ && reader_.room() > 0) {
        const ssize_t n =
            ::recv(socket_, buffer.data(), std::min(buffer.size(), reader_.room()), MSG_DONTWAIT);
        if (n > 0) {
            reader_.arrived(std::span(buffer.data(), static_cast<std::size_t>(n)),
                            std::chrono::steady_clock::now());
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            finish();
            return;
        }
        break;
    }
    pump();
}

void FleetConnection::writable() {
    sendBytes({});
    if (lost_)
        finish();
}

// Every whole unit the session expects, until it waits for more, for a pause
// or for the user.
void FleetConnection::pump() {
    while (!ended_ && !closing_ && !paused_) {
        std::optional<Millis> silenceLeft;
        const std::optional<Unit> unit =
            reader_.next(session_.expect(), std::chrono::steady_clock::now(), silenceLeft);
        if (!unit) {
            if (silenceLeft)
                resume_.start(*silenceLeft, [this] { pump(); });
            return;
        }
        step([&unit](ProgrammerSession& s) { return s.unitArrived(*unit); });
    }
}

void FleetConnection::step(const SessionTransport::Request& request) {
    if (ended_)
        return;
    const Actions actions = request(session_);
    if (!carryOutActions(actions, *this) && lost_)
        finish();
}

void FleetConnection::request(SessionTransport::Request request) {
    requests_.push_back(std::move(request));
    soon_.start(Millis(0), [this] { runRequests(); });
}

void FleetConnection::runRequests() {
    while (!requests_.empty() && !ended_) {
        const SessionTransport::Request next = std::move(requests_.front());
        requests_.pop_front();
        step(next);
    }
    pump();
}

// The session hears of the end first (a transfer that ran ends lost), then the job.
void FleetConnection::finish() {
    if (ended_)
        return;
    ::shutdown(socket_, SHUT_RDWR);
    for (const Action& action : session_.linkLost())
        host_.carryOut(action);
    ended_ = true;
    host_.stopTimers();
    soon_.stop();
    resume_.stop();
    closeTimer_.stop();
    requests_.clear();
    outbox_.clear();
    device_->ended();
}

// ---- what the session answers ----

// What the socket does not take now waits for it to drain.
bool FleetConnection::sendBytes(const Bytes& bytes) {
    outbox_.insert(outbox_.end(), bytes.begin(), bytes.end());
    std::size_t sent = 0;
    while (sent < outbox_.size()) {
        const ssize_t n =
            ::send(socket_, outbox_.data() + sent, outbox_.size() - sent, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        lost_ = n < 0 && errno != EAGAIN && errno != EWOULDBLOCK;
        break;
    }
    outbox_.erase(outbox_.begin(), outbox_.begin() + static_cast<std::ptrdiff_t>(sent));
    return !lost_;
}

void FleetConnection::purgeInput() {
    reader_.dropAll();
    std::array<std::uint8_t, kReadChunk> buffer{};
    for (std::size_t drained = 0; drained < kPurgeLimit;) {
        const ssize_t n = ::recv(socket_, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (n <= 0)
            break;
        drained += static_cast<std::size_t>(n);
    }
}

bool FleetConnection::pauseReading(Millis span) {
    paused_ = true;
    resume_.start(span, [this] {
        paused_ = false;
        pump();
    });
    return true;
}

void FleetConnection::closeAfter(Millis span) {
    closing_ = true;
    closeTimer_.start(span, [this] { finish(); });
}

void FleetConnection::forUser(const Action& action) {
    host_.carryOut(action);
}

} // namespace qta::link
