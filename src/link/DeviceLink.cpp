#include "DeviceLink.h"

#include "GprsLink.h"
#include "UsbLink.h"

#include "session/WriteSnapshot.h"

namespace qta::link {
namespace {

SessionOptions sessionOptionsOf(const LinkOptions& options, transfer::Clock wallClock) {
    SessionOptions session;
    session.stallLimit = options.stallLimit;
    session.resendLimit = options.resendLimit;
    session.unlockAnswerLimit = options.unlockAnswerLimit;
    session.wallClock = std::move(wallClock);
    return session;
}

} // namespace

DeviceLink::DeviceLink(Configuration& config, LinkView& view, BridgeDriver& driver, Clock& clock,
                       transfer::Clock wallClock, LinkOptions options)
    : config_(config), view_(view), clock_(clock), options_(options),
      sessionOptions_(sessionOptionsOf(options, std::move(wallClock))),
      usb_(std::make_unique<UsbLink>(usbState_, view, config, driver, clock, sessionOptions_,
                                     options.decimalSeparator)) {}

DeviceLink::~DeviceLink() = default;

void DeviceLink::start() {
    usb_->setActive(transport_ == Transport::Usb);
}

SessionTransport& DeviceLink::inUse() const {
    if (transport_ == Transport::Gprs && gprs_)
        return *gprs_;
    return *usb_;
}

void DeviceLink::rdbUSBClick() {
    transport_ = Transport::Usb;
    if (gprs_)
        gprs_->setActive(false);
    usb_->setActive(true);
    view_.showLinkUp(false);
    view_.showTransport(Transport::Usb);
}

void DeviceLink::rdbGPRSClick() {
    if (usb_->attached())
        return; // the transport does not change while a bridge is open
    transport_ = Transport::Gprs;
    usb_->setActive(false);
    if (!gprs_)
        gprs_ = std::make_unique<GprsLink>(view_, config_, clock_, sessionOptions_, options_.gprs,
                                           options_.decimalSeparator);
    gprs_->setAside(aside_);
    gprs_->setActive(true);
    view_.showLinkUp(false);
    view_.showTransport(Transport::Gprs);
}

void DeviceLink::setGprsAccess(const GprsAccess& access) {
    options_.gprs.access = access;
    if (gprs_)
        gprs_->setAccess(access);
}

std::uint16_t DeviceLink::gprsPort() const {
    return gprs_ ? gprs_->port() : 0;
}

bool DeviceLink::unlockedOrSaid() {
    if (inUse().state().unlocked)
        return true;
    view_.showMessage(LinkMessage::of(LinkMessage::Kind::NotConnected), [] {});
    return false;
}

void DeviceLink::requestTransfer(TransferKind kind) {
    if (!unlockedOrSaid())
        return;
    WriteSnapshot frames;
    if (kind == TransferKind::Write)
        frames = takeWriteSnapshot(config_, view_.language(), transport_);
    inUse().run([kind, frames = std::move(frames)](ProgrammerSession& s) mutable {
        return s.requestTransfer(kind, std::move(frames));
    });
}

void DeviceLink::requestReadInto(Configuration& into) {
    if (!unlockedOrSaid())
        return;
    aside_ = &into;
    inUse().setAside(aside_);
    inUse().run(
        [](ProgrammerSession& s) { return s.requestTransfer(TransferKind::Read, {}, ReadInto::Aside); });
}

// Ignored unless the device is unlocked and no other command waits to be sent.
bool DeviceLink::switchOutput(int command) {
    return inUse().switchOutput(command);
}

void DeviceLink::submitAccessCode(const std::string& code) {
    inUse().run([code](ProgrammerSession& s) { return s.submitAccessCode(code); });
}

void DeviceLink::closeDialog() {
    inUse().run([](ProgrammerSession& s) { return s.closeDialog(); });
}

void DeviceLink::cancelTransfer() {
    inUse().run([](ProgrammerSession& s) { return s.cancelTransfer(); });
}

void DeviceLink::endConnection() {
    inUse().run([](ProgrammerSession& s) { return s.endConnection(); });
}

bool DeviceLink::closeWindow(std::function<void()> closed) {
    return transport_ != Transport::Gprs || !gprs_ || gprs_->FormCloseQuery(std::move(closed));
}

bool DeviceLink::transferRunning() const {
    return inUse().state().anyRequest();
}

LinkState DeviceLink::state() const {
    return inUse().state();
}

} // namespace qta::link
