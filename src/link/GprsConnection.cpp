#include "GprsConnection.h"

#include <algorithm>

namespace qta::link {
namespace {

// Purging what came before the access code reads at most this much, so a peer
// that floods the connection cannot keep the thread there.
constexpr std::size_t kPurgeLimit = 64 * 1024;
// The user-interface thread is woken for queued work at most this often (what
// must land first excepted): a transfer's progress then costs it a wake-up per
// few milliseconds rather than one per Frame, and the window still moves smoothly.
constexpr Millis kRingInterval{5};

} // namespace

GprsConnection::GprsConnection(int socket, SharedLinkState& shared, std::function<void()> ringUi,
                               const GprsOptions& options, TransportProfile profile,
                               const SessionOptions& sessionOptions)
    : shared_(shared), ringUi_(std::move(ringUi)), options_(options),
      session_(std::move(profile), shared.lock()->link, sessionOptions), socket_(socket, options),
      reader_(options.bufferLimit, options.partialUnitDrop) {
    thread_ = std::thread([this] { IdTCPServer1Execute(); });
}

GprsConnection::~GprsConnection() {
    close();
    join();
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
    socket_.shutdown();
}

bool GprsConnection::switchOutput(int command) {
    auto shared = shared_.lock();
    return session_.switchOutput(command);
}

// ---- the thread ----

// The session's end is queued for the user-interface thread like all its work,
// then the connection's own end.
void GprsConnection::IdTCPServer1Execute() {
    serve();
    socket_.shutdown();
    step([](ProgrammerSession& s) { return s.linkLost(); });
    flush(false);
    {
        auto shared = shared_.lock();
        shared->ended = true;
        shared->uiRung = true;
    }
    ringUi_();
}

// Requests first, then the next unit the session expects, reading as needed.
// False once the connection is over.
bool GprsConnection::serve() {
    if (!step([](ProgrammerSession& s) { return s.linkUp(); }))
        return false;
    for (;;) {
        shared_.clearDoorbell();
        if (!takeRequests())
            return false;
        std::optional<Millis> silenceLeft;
        if (const std::optional<Unit> unit = nextUnit(silenceLeft)) {
            if (!step([&unit](ProgrammerSession& s) { return s.unitArrived(*unit); }))
                return false;
            continue;
        }
        if (!awaitMore(silenceLeft))
            return false;
    }
}

bool GprsConnection::takeRequests() {
    std::vector<SessionRequest> requests;
    std::vector<std::pair<SessionTimer, std::uint64_t>> expired;
    {
        auto shared = shared_.lock();
        if (shared->closing)
            return false;
        requests.swap(shared->requests);
        expired.swap(shared->expired);
    }
    for (const auto& [timer, start] : expired) {
        // A timer started or stopped again since is not the one that ran out.
        if (start == timerStarts_[static_cast<std::size_t>(timer)] &&
            !step([timer = timer](ProgrammerSession& s) { return s.timerExpired(timer); }))
            return false;
    }
    for (const SessionRequest& request : requests) {
        if (!step(request))
            return false;
    }
    return true;
}

bool GprsConnection::step(const SessionRequest& request) {
    Actions actions;
    {
        auto shared = shared_.lock();
        actions = request(session_);
    }
    return carryOut(actions);
}

std::optional<Unit> GprsConnection::nextUnit(std::optional<Millis>& silenceLeft) {
    std::optional<Expect> expect;
    {
        auto shared = shared_.lock();
        expect = session_.expect();
    }
    std::optional<Unit> unit = reader_.next(expect, std::chrono::steady_clock::now(), silenceLeft);
    noteDropped();
    return unit;
}

// With a full buffer the socket is watched only for its end; the device then
// waits, as TCP holds back what it sends.
bool GprsConnection::awaitMore(std::optional<Millis> silenceLeft) {
    {
        auto shared = shared_.lock();
        if (shared->closing)
            return false;
        shared->threadWaiting = true;
    }
    const GprsSocket::Ready ready =
        socket_.await(shared_.doorbell(), reader_.room() > 0, sooner(silenceLeft));
    ringIfDue();
    {
        auto shared = shared_.lock();
        shared->threadWaiting = false;
    }
    if (ready == GprsSocket::Ready::Closed)
        return false;
    if (ready != GprsSocket::Ready::Readable)
        return true;
    const std::optional<Bytes> bytes = socket_.receive(reader_.room());
    if (!bytes)
        return false;
    if (bytes->empty())
        return true;
    reader_.arrived(*bytes, std::chrono::steady_clock::now());
    auto shared = shared_.lock();
    shared->bytesIn += bytes->size();
    return true;
}

// ---- what the session answers ----

bool GprsConnection::carryOut(const Actions& actions) {
    return carryOutActions(actions, *this) && flush(false);
}

// The bytes go first, so that the device works on its answer while the
// user-interface thread shows what came; only what must land first is waited for.
bool GprsConnection::sendBytes(const Bytes& bytes) {
    return (!mustLand_ || flush(true)) && send(bytes);
}

bool GprsConnection::pauseReading(Millis span) {
    return flush(false) && pause(span);
}

void GprsConnection::closeAfter(Millis span) {
    flush(false);
    pause(span);
}

void GprsConnection::forUser(const Action& action) {
    PostedAction posted{action};
    if (action.kind == Action::Kind::StartTimer || action.kind == Action::Kind::StopTimer)
        posted.timerStart = ++timerStarts_[static_cast<std::size_t>(action.timer)];
    mustLand_ = mustLand_ || action.kind == Action::Kind::ApplyFrame || action.landsFirst;
    batch_.push_back(std::move(posted));
}

// Queues the batch for the user-interface thread; with `waitApplied`, returns once
// that thread has carried it out. False when the connection is closing.
bool GprsConnection::flush(bool waitApplied) {
    mustLand_ = false;
    if (batch_.empty())
        return !closing();
    auto shared = shared_.lock();
    for (PostedAction& posted : batch_)
        shared->uiWork.push_back(std::move(posted));
    batch_.clear();
    const std::uint64_t batch = ++shared->posted;
    if (waitApplied || std::chrono::steady_clock::now() - lastRing_ >= kRingInterval)
        ring(*shared);
    else if (!shared->uiRung && !ringDue_)
        ringDue_ = lastRing_ + kRingInterval;
    if (waitApplied)
        shared.wait([&] { return shared->applied >= batch || shared->closing; });
    return !shared->closing;
}

// Rings unless the user-interface thread was rung already and has not taken its work yet.
void GprsConnection::ring(GprsShared& shared) {
    ringDue_.reset();
    lastRing_ = std::chrono::steady_clock::now();
    if (!std::exchange(shared.uiRung, true))
        ringUi_();
}

void GprsConnection::ringIfDue() {
    if (ringDue_ && std::chrono::steady_clock::now() >= *ringDue_) {
        auto shared = shared_.lock();
        ring(*shared);
    }
}

// A wait ends in time for queued work to be rung.
std::optional<Millis> GprsConnection::sooner(std::optional<Millis> limit) const {
    if (!ringDue_)
        return limit;
    const auto left = std::chrono::duration_cast<Millis>(*ringDue_ - std::chrono::steady_clock::now());
    const Millis due = std::max(left, Millis(0));
    return limit ? std::min(*limit, due) : due;
}

bool GprsConnection::send(const Bytes& bytes) {
    const bool sent = socket_.send(bytes, shared_.doorbell(), [this] {
        shared_.clearDoorbell();
        return closing();
    });
    if (!sent)
        return false;
    auto shared = shared_.lock();
    shared->bytesOut += bytes.size();
    return true;
}

void GprsConnection::purgeInput() {
    reader_.dropAll();
    const std::size_t purged = socket_.drain(kPurgeLimit);
    purged_ += purged;
    auto shared = shared_.lock();
    shared->bytesIn += purged;
    shared->bytesDropped = reader_.dropped() + purged_;
}

bool GprsConnection::pause(Millis span) {
    auto shared = shared_.lock();
    if (ringDue_)
        ring(*shared);
    shared.waitFor(span, [&] { return shared->closing; });
    return !shared->closing;
}

bool GprsConnection::closing() {
    auto shared = shared_.lock();
    return shared->closing;
}

void GprsConnection::noteDropped() {
    auto shared = shared_.lock();
    shared->bytesDropped = reader_.dropped() + purged_;
}

} // namespace qta::link
