#include "GprsConnection.h"

#include "Commands.h"

#include "log/EventRecord.h"
#include "transfer/ConfigImage.h"
#include "transfer/GprsSlots.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace qta::link {
namespace {

constexpr int kEventRecords = 256;
constexpr int kLastSlot = transfer::GprsSlots::kTimeFrameSlot;
constexpr std::size_t kReadBlock = 4096;
// Purging what came before the access code reads at most this much, so a peer
// that floods the connection cannot keep the thread there.
constexpr std::size_t kPurgeLimit = 64 * 1024;

void setOption(int socket, int level, int name, int value) {
    // A refused option leaves the connection usable without it.
    [[maybe_unused]] const int result = setsockopt(socket, level, name, &value, sizeof value);
}

// Non-blocking, answers without delay (the exchange is single bytes each way),
// and keep-alive probes so that a device that vanished without closing is noticed.
void prepareSocket(int socket, const GprsOptions& options) {
    const int flags = fcntl(socket, F_GETFL, 0);
    if (flags >= 0)
        fcntl(socket, F_SETFL, flags | O_NONBLOCK);
    setOption(socket, IPPROTO_TCP, TCP_NODELAY, 1);
    setOption(socket, SOL_SOCKET, SO_KEEPALIVE, 1);
    setOption(socket, IPPROTO_TCP, TCP_KEEPIDLE, static_cast<int>(options.keepAliveIdle.count()));
    setOption(socket, IPPROTO_TCP, TCP_KEEPINTVL, static_cast<int>(options.keepAliveInterval.count()));
    setOption(socket, IPPROTO_TCP, TCP_KEEPCNT, options.keepAliveProbes);
}

int pollTimeout(std::optional<Millis> limit) {
    if (!limit)
        return -1;
    return static_cast<int>(std::clamp<Millis::rep>(limit->count(), 1, 60 * 60 * 1000));
}

} // namespace

GprsConnection::GprsConnection(int socket, SharedLinkState& shared, ConnectionEvents& events,
                               const GprsOptions& options, int resendLimit, transfer::Clock wallClock)
    : socket_(socket), shared_(shared), events_(events), options_(options), resendLimit_(resendLimit),
      wallClock_(std::move(wallClock)), cutter_(options.bufferLimit) {
    prepareSocket(socket_, options_);
    thread_ = std::thread([this] { IdTCPServer1Execute(); });
}

GprsConnection::~GprsConnection() {
    close();
    join();
    ::close(socket_);
}

void GprsConnection::join() {
    if (thread_.joinable())
        thread_.join();
}

void GprsConnection::close() {
    {
        auto shared = shared_.lock();
        shared->closing = true;
        shared.notify();
    }
    // The socket stays open (and its number taken) until the destructor, so this
    // never reaches another connection's socket.
    ::shutdown(socket_, SHUT_RDWR);
}

// ---- the passes ----

void GprsConnection::IdTCPServer1Execute() {
    while (const std::optional<Cut> cut = nextUnit()) {
        if (!handle(*cut))
            break;
    }
    ::shutdown(socket_, SHUT_RDWR);
    events_.connectionEnded();
}

// The next whole unit for what the connection expects now, reading from the
// socket as needed. Nothing when the connection ends.
std::optional<GprsConnection::Cut> GprsConnection::nextUnit() {
    for (;;) {
        shared_.clearDoorbell();
        Expect expect;
        {
            auto shared = shared_.lock();
            if (shared->closing)
                return std::nullopt;
            expect = expectation(*shared);
        }
        std::optional<Unit> unit = cutter_.next(expect);
        noteDropped();
        if (unit)
            return Cut{expect, std::move(*unit)};
        std::optional<Millis> silenceLeft;
        if (cutter_.buffered() > 0) {
            const auto silent =
                std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - lastArrival_);
            if (silent >= options_.partialUnitDrop) {
                cutter_.dropAll(); // an incomplete unit must not join the next one
                noteDropped();
                continue;
            }
            silenceLeft = options_.partialUnitDrop - silent;
        }
        if (!await(silenceLeft))
            return std::nullopt;
    }
}

// What comes next, from the transfer that runs, the access code sent, the end
// command sent, and whether the device is unlocked.
Expect GprsConnection::expectation(const GprsShared& shared) {
    const std::optional<TransferKind> kind = shared.transferRequested();
    if (!kind) {
        transfer_.reset();
        if (codeSent_)
            return Expect::CodeAnswer;
        if (!shared.unlocked)
            return Expect::Identification;
        return endSent_ ? Expect::EndAnswer : Expect::Reports;
    }
    if (!transfer_ || transfer_->kind != *kind)
        transfer_ = Transfer{*kind, shared.frames};
    if (!transfer_->accepted)
        return *kind == TransferKind::Write ? Expect::WriteAcceptance : Expect::SendAcceptance;
    switch (*kind) {
    case TransferKind::Write:
        return Expect::Echoes;
    case TransferKind::Read:
        return Expect::Frames;
    case TransferKind::EventLog:
        break;
    }
    return Expect::Records;
}

bool GprsConnection::handle(const Cut& cut) {
    if (cut.expect == Expect::CodeAnswer)
        codeSent_ = false;
    if (cut.expect == Expect::EndAnswer && cut.unit.kind == UnitKind::Answer)
        return deviceEnded();
    if (transfer_)
        return transferStep(cut.unit);
    return exchange(cut.unit);
}

// ---- the exchange outside transfers: Timer2 decides ----

bool GprsConnection::exchange(const Unit& unit) {
    {
        auto shared = shared_.lock();
        shared->received = unit.bytes;
        shared->outgoing.clear();
    }
    const bool report = unit.kind == UnitKind::StatusReport;
    if (!waitForDecision() || !sendDecision(false, report))
        return false;
    if (unit.kind == UnitKind::Identification) {
        // The identification was acknowledged; now the access code, or a release
        // when the prompt closes without one. (`outgoing` is not cleared here: the
        // code may be there already.)
        {
            auto shared = shared_.lock();
            shared->received.clear();
        }
        if (!waitForDecision() || !sendDecision(true, false))
            return false;
    }
    auto shared = shared_.lock();
    shared->stopWaiting = false;
    shared->tickCount = 0;
    return true;
}

bool GprsConnection::sendDecision(bool accessCode, bool answersReport) {
    Bytes out;
    {
        auto shared = shared_.lock();
        if (!shared->stopWaiting)
            out = shared->outgoing;
        shared->outgoing.clear();
    }
    if (answersReport)
        endSent_ = out == Bytes{kEndCommand};
    if (out.empty())
        return true;
    // What came before the access code, a transfer's command or the end cannot be
    // the device's answer to it (an identification sent before the device saw our
    // acknowledgement, a report sent before it saw the command).
    const bool command = answersReport && (transferOfCommand(out.front()) || endSent_);
    if (accessCode || command)
        purgeInput();
    codeSent_ = codeSent_ || accessCode;
    return send(out);
}

// ---- transfers: the thread runs them and has the UI thread show them ----

bool GprsConnection::transferStep(const Unit& unit) {
    Transfer& transfer = *transfer_;
    switch (unit.kind) {
    case UnitKind::StatusReport: // the device has not taken the command: it is sent again
        return send(std::array{commandByte(transfer.kind)});
    case UnitKind::Acceptance:
        transfer.accepted = true;
        events_.transferAccepted(transfer.kind);
        if (transfer.kind != TransferKind::Write)
            return true;
        transfer.slot = 1;
        transfer.sends = 0;
        return sendSlot();
    case UnitKind::Frame:
        return takeFrame(unit);
    case UnitKind::Record:
        return takeRecord(unit);
    case UnitKind::Echo:
        return takeEcho(unit);
    case UnitKind::Identification:
    case UnitKind::Answer:
        break; // the cutter gives a transfer only its own units
    }
    return true;
}

bool GprsConnection::takeFrame(const Unit& unit) {
    const transfer::Frame frame = transfer::Frame::fromWire(
        std::span<const std::uint8_t, transfer::kFrameSize>(unit.bytes.data(), transfer::kFrameSize));
    const std::uint64_t ticket = ++tickets_;
    events_.frameArrived(frame, ticket);
    if (!waitApplied(ticket) || !send(std::array{kAcknowledge}))
        return false;
    if (frame.address >= transfer::kLastFrameAddress)
        return finish(TransferKind::Read);
    return true;
}

// Empty slots are counted and acknowledged, but have no line to wait for.
bool GprsConnection::takeRecord(const Unit& unit) {
    EventRecord record{};
    std::copy(unit.bytes.begin(), unit.bytes.end(), record.begin());
    int count = 0;
    {
        auto shared = shared_.lock();
        count = ++shared->eventCount;
    }
    std::optional<std::uint64_t> ticket;
    if (!log::isEmptySlot(record))
        ticket = ++tickets_;
    events_.recordArrived(record, count, ticket);
    if ((ticket && !waitApplied(*ticket)) || !send(std::array{kAcknowledge}))
        return false;
    if (count >= kEventRecords)
        return finish(TransferKind::EventLog);
    return true;
}

// An echo that matches moves on to the next slot, the TimeFrame in slot 337 dated
// as it goes out; one that differs has the same slot sent again, within the limit.
bool GprsConnection::takeEcho(const Unit& unit) {
    Transfer& transfer = *transfer_;
    if (transfer.failed)
        return true;
    const std::optional<transfer::Frame>& sent = transfer.frames->slot(transfer.slot);
    const bool matches = sent && std::equal(unit.bytes.begin(), unit.bytes.end(), sent->payload.begin());
    if (matches) {
        ++transfer.slot;
        transfer.sends = 0;
        if (transfer.slot > kLastSlot)
            return finish(TransferKind::Write);
    } else if (transfer.sends >= resendLimit_) {
        giveUpWrite();
        return true;
    }
    if (transfer.slot == kLastSlot)
        transfer.frames->storeTimeFrame(wallClock_());
    if (!sendSlot())
        return false;
    events_.slotSent(transfer.slot);
    return true;
}

bool GprsConnection::sendSlot() {
    Transfer& transfer = *transfer_;
    const std::optional<transfer::Frame>& frame =
        transfer.frames ? transfer.frames->slot(transfer.slot) : std::optional<transfer::Frame>{};
    if (!frame) {
        giveUpWrite(); // nothing was prepared for this slot
        return true;
    }
    ++transfer.sends;
    return send(frame->toWire());
}

void GprsConnection::giveUpWrite() {
    transfer_->failed = true;
    events_.echoRefused();
}

// The dialog stays up until Timer2 takes the next StatusReport.
bool GprsConnection::finish(TransferKind kind) {
    {
        auto shared = shared_.lock();
        shared->requestFlag(kind) = false;
        if (kind == TransferKind::Write)
            shared->frames.reset();
        shared->transferDone = true;
        shared->received.clear();
        shared->tickCount = 0;
    }
    transfer_.reset();
    events_.transferFinished(kind);
    return pause(options_.transferEndPause);
}

// The device's 0x04 after ours: the display is reset, and after a pause the
// connection closes.
bool GprsConnection::deviceEnded() {
    events_.deviceEnded();
    pause(options_.closeDelay);
    auto shared = shared_.lock();
    shared->unlocked = false;
    shared->stopWaiting = false;
    shared->clearRequests();
    shared->transferDone = false;
    shared->tickCount = 0;
    return false;
}

// ---- waiting ----

// Waits until the socket has something (which it reads), the doorbell rings, or
// `silenceLeft` has passed. False when the connection has ended.
bool GprsConnection::await(std::optional<Millis> silenceLeft) {
    {
        auto shared = shared_.lock();
        if (shared->closing)
            return false;
        shared->threadWaiting = true;
    }
    // With a full buffer the socket is watched only for its end; the device then
    // waits, as TCP holds back what it sends.
    const bool reading = cutter_.room() > 0;
    std::array<pollfd, 2> watched{
        pollfd{socket_, static_cast<short>(reading ? POLLIN | POLLRDHUP : POLLRDHUP), 0},
        pollfd{shared_.doorbell(), POLLIN, 0}};
    const int ready = ::poll(watched.data(), watched.size(), pollTimeout(silenceLeft));
    {
        auto shared = shared_.lock();
        shared->threadWaiting = false;
    }
    if (ready < 0)
        return errno == EINTR;
    const short events = watched[0].revents;
    if (events & POLLNVAL)
        return false;
    if (events & POLLIN)
        return receive();
    if (events & (POLLRDHUP | POLLHUP | POLLERR))
        return reading && receive();
    return true;
}

bool GprsConnection::awaitWritable() {
    shared_.clearDoorbell();
    {
        auto shared = shared_.lock();
        if (shared->closing)
            return false;
    }
    std::array<pollfd, 2> watched{pollfd{socket_, POLLOUT, 0}, pollfd{shared_.doorbell(), POLLIN, 0}};
    if (::poll(watched.data(), watched.size(), -1) < 0)
        return errno == EINTR;
    return (watched[0].revents & (POLLERR | POLLHUP | POLLNVAL)) == 0;
}

// Until Timer2 has decided (`outgoing` or `stopWaiting`); the socket is read
// meanwhile, so a device that leaves is noticed at once.
bool GprsConnection::waitForDecision() {
    for (;;) {
        shared_.clearDoorbell();
        {
            auto shared = shared_.lock();
            if (shared->closing)
                return false;
            if (!shared->outgoing.empty() || shared->stopWaiting)
                return true;
        }
        if (!await(std::nullopt))
            return false;
    }
}

bool GprsConnection::waitApplied(std::uint64_t ticket) {
    auto shared = shared_.lock();
    shared.wait([&] { return shared->applied >= ticket || shared->closing; });
    return !shared->closing;
}

bool GprsConnection::pause(Millis span) {
    auto shared = shared_.lock();
    shared.waitFor(span, [&] { return shared->closing; });
    return !shared->closing;
}

// ---- the socket ----

bool GprsConnection::receive() {
    std::array<std::uint8_t, kReadBlock> block;
    const std::size_t wanted = std::min(block.size(), cutter_.room());
    if (wanted == 0)
        return false;
    const ssize_t got = ::recv(socket_, block.data(), wanted, MSG_DONTWAIT);
    if (got == 0)
        return false; // the device closed the connection
    if (got < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    cutter_.append(std::span(block.data(), static_cast<std::size_t>(got)));
    lastArrival_ = std::chrono::steady_clock::now();
    auto shared = shared_.lock();
    shared->bytesIn += static_cast<std::uint64_t>(got);
    return true;
}

bool GprsConnection::send(std::span<const std::uint8_t> bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t written =
            ::send(socket_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (written > 0) {
            sent += static_cast<std::size_t>(written);
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!awaitWritable())
                return false;
        } else {
            return false;
        }
    }
    auto shared = shared_.lock();
    shared->bytesOut += bytes.size();
    return true;
}

void GprsConnection::purgeInput() {
    cutter_.dropAll();
    std::array<std::uint8_t, kReadBlock> block;
    std::size_t purged = 0;
    while (purged < kPurgeLimit) {
        const ssize_t got = ::recv(socket_, block.data(), block.size(), MSG_DONTWAIT);
        if (got <= 0)
            break;
        purged += static_cast<std::size_t>(got);
    }
    purged_ += purged;
    auto shared = shared_.lock();
    shared->bytesIn += purged;
    shared->bytesDropped = cutter_.dropped() + purged_;
}

void GprsConnection::noteDropped() {
    auto shared = shared_.lock();
    shared->bytesDropped = cutter_.dropped() + purged_;
}

} // namespace qta::link
