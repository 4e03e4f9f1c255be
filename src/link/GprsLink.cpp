#include "GprsLink.h"

#include "GprsServer.h"

#include <QHostAddress>

#include <sys/socket.h>
#include <unistd.h>

#include <utility>

namespace qta::link {
namespace {

// A second device is turned away at once (a reset, not a connection that hangs).
void refuse(int socket) {
    const linger reset{1, 0};
    setsockopt(socket, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    ::close(socket);
}

bool peerAllowed(int socket, const PeerFilter& peers) {
    if (peers.allowsAll())
        return true;
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    return ::getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &length) == 0 &&
           peers.allows(reinterpret_cast<const sockaddr*>(&peer), length);
}

QHostAddress listenAddressOf(const GprsAccess& access) {
    if (access.listenAddress.empty())
        return QHostAddress(QHostAddress::Any);
    return QHostAddress(QString::fromStdString(access.listenAddress));
}

} // namespace

GprsLink::GprsLink(LinkView& view, Configuration& config, Clock& clock, const SessionOptions& sessionOptions,
                   const GprsOptions& options, char decimalSeparator)
    : options_(options), access_(options.access), sessionOptions_(sessionOptions),
      profile_(gprsProfile(options.unlockLimit, options.transferEndPause, options.closeDelay)),
      mailbox_(
          shared_, [this](const PostedAction& posted) { carry(posted); },
          [this] { IdTCPServer1Disconnect(); }),
      host_(view, config, clock, decimalSeparator, [this](SessionTimer timer) {
          mailbox_.expired(timer, timerStarts_[static_cast<std::size_t>(timer)]);
      }) {}

GprsLink::~GprsLink() {
    connection_.reset(); // joins the thread: nothing of it runs after this
    host_.stopTimers();
    server_.reset();
}

void GprsLink::setActive(bool active) {
    if (active)
        start();
    else
        stop();
}

void GprsLink::start() {
    if (server_)
        return;
    server_ = std::make_unique<GprsServer>([this](int socket) { IdTCPServer1Connect(socket); });
    if (!server_->listen(listenAddressOf(access_), options_.listenPort)) {
        const std::string text = server_->errorString().toStdString();
        server_.reset();
        host_.view().showMessage(LinkMessage::error(text), [] {});
    }
}

// The connection's end is carried out before this returns, so nothing of GPRS is
// left to happen once another transport takes over.
void GprsLink::stop() {
    server_.reset();
    if (!connection_)
        return;
    connection_->close();
    connection_->join();
    mailbox_.deliver(); // ends with the connection's end
}

// A connection that is up stays; the next one meets the new rules.
void GprsLink::setAccess(const GprsAccess& access) {
    access_ = access;
    if (!server_)
        return;
    server_.reset();
    start();
}

std::uint16_t GprsLink::port() const {
    return server_ ? server_->serverPort() : 0;
}

void GprsLink::run(Request request) {
    if (connection_)
        mailbox_.send(std::move(request));
}

bool GprsLink::switchOutput(int command) {
    return connection_ && connection_->switchOutput(command);
}

LinkState GprsLink::state() const {
    auto shared = shared_.lock();
    return shared->link;
}

// A peer outside the allowed networks goes before a byte of it is read.
void GprsLink::IdTCPServer1Connect(int socket) {
    if (connection_ || !peerAllowed(socket, access_.peers)) {
        refuse(socket);
        return;
    }
    {
        auto shared = shared_.lock();
        *shared = GprsShared{};
        shared->link.gprsConnected = true;
    }
    timerStarts_.fill(0);
    connection_ = std::make_unique<GprsConnection>(
        socket, shared_, [this] { mailbox_.ring(); }, options_, profile_, sessionOptions_);
}

// The connection has ended, whoever ended it; its session's end has been carried out.
void GprsLink::IdTCPServer1Disconnect() {
    connection_.reset(); // its thread has returned
    host_.stopTimers();
    {
        auto shared = shared_.lock();
        shared->link.gprsConnected = false;
    }
    if (closed_) // a fresh event, so the window may go away without us on the stack
        QMetaObject::invokeMethod(this, std::exchange(closed_, nullptr), Qt::QueuedConnection);
}

void GprsLink::carry(const PostedAction& posted) {
    const Action& action = posted.action;
    if (action.kind == Action::Kind::StartTimer || action.kind == Action::Kind::StopTimer)
        timerStarts_[static_cast<std::size_t>(action.timer)] = posted.timerStart;
    host_.carryOut(action);
}

bool GprsLink::FormCloseQuery(std::function<void()> closed) {
    if (!connection_)
        return true;
    const bool asked = static_cast<bool>(closed_);
    closed_ = std::move(closed);
    if (!asked) { // already on its way: the wait is not started anew
        const Millis closeWait = options_.closeWait;
        run([closeWait](ProgrammerSession& s) { return s.closeForWindow(closeWait); });
    }
    return false;
}

GprsLink::Activity GprsLink::activity() {
    auto shared = shared_.lock();
    Activity activity;
    activity.connected = connection_ != nullptr;
    activity.settled = !activity.connected || (shared->threadWaiting && shared->uiWork.empty() &&
                                               shared->requests.empty() && shared->expired.empty());
    activity.bytesIn = shared->bytesIn;
    activity.bytesOut = shared->bytesOut;
    activity.bytesDropped = shared->bytesDropped;
    return activity;
}

} // namespace qta::link
