#include "DeviceLink.h"

#include "GprsLink.h"
#include "UsbLink.h"

namespace qta::link {

DeviceLink::DeviceLink(Configuration& config, LinkView& view, BridgeDriver& driver, Clock& clock,
                       transfer::Clock wallClock, LinkOptions options)
    : config_(config), view_(view), clock_(clock), wallClock_(std::move(wallClock)), options_(options),
      usb_(std::make_unique<UsbLink>(state_, view, config, driver, clock, wallClock_, options_)) {}

DeviceLink::~DeviceLink() = default;

void DeviceLink::start() {
    usb_->setActive(transport_ == Transport::Usb);
}

void DeviceLink::rdbUSBClick() {
    transport_ = Transport::Usb;
    if (gprs_)
        gprs_->stop();
    usb_->setActive(true);
    view_.showLinkUp(false);
    view_.showTransport(Transport::Usb);
}

void DeviceLink::rdbGPRSClick() {
    if (state_.usbOpen)
        return; // the transport does not change while a bridge is open
    transport_ = Transport::Gprs;
    usb_->setActive(false);
    state_.tickCount = 0;
    if (!gprs_)
        gprs_ = std::make_unique<GprsLink>(state_, view_, config_, clock_, wallClock_, options_);
    gprs_->start();
    view_.showLinkUp(false);
    view_.showTransport(Transport::Gprs);
}

std::uint16_t DeviceLink::gprsPort() const {
    return gprs_ ? gprs_->port() : 0;
}

bool DeviceLink::deviceConnected() {
    if (!state_.unlocked)
        view_.showMessage(LinkMessage::of(LinkMessage::Kind::NotConnected), [] {});
    return state_.unlocked;
}

void DeviceLink::request(TransferKind kind) {
    if (!deviceConnected())
        return;
    if (overGprs())
        gprs_->request(kind);
    else
        usb_->request(kind);
}

void DeviceLink::Odosla2Click() {
    request(TransferKind::Write);
}

void DeviceLink::Nata2Click() {
    request(TransferKind::Read);
}

void DeviceLink::Nata1Click() {
    request(TransferKind::EventLog);
}

// Ignored unless the device is unlocked and no other command waits to be sent.
bool DeviceLink::OutputClick(int command) {
    if (overGprs())
        return gprs_->OutputClick(command);
    if (!state_.unlocked || state_.pendingOutputCommand != 0 || command < 1 || command > 8)
        return false;
    state_.pendingOutputCommand = command;
    return true;
}

void DeviceLink::submitAccessCode(const std::string& code) {
    if (overGprs())
        gprs_->submitAccessCode(code);
    else
        usb_->submitAccessCode(code);
}

void DeviceLink::closeDialog() {
    if (overGprs())
        gprs_->closeDialog();
    else
        usb_->closeDialog();
}

void DeviceLink::cancelTransfer() {
    if (overGprs())
        gprs_->cancelTransfer();
    else
        usb_->cancelTransfer();
}

void DeviceLink::Image1Click() {
    if (overGprs())
        gprs_->Image1Click();
}

bool DeviceLink::FormCloseQuery(std::function<void()> closed) {
    return !overGprs() || gprs_->FormCloseQuery(std::move(closed));
}

bool DeviceLink::transferRunning() const {
    return overGprs() ? gprs_->transferRunning() : state_.anyRequest();
}

} // namespace qta::link
