#include "DeviceLink.h"

#include "UsbLink.h"

namespace qta::link {

DeviceLink::DeviceLink(Configuration& config, LinkView& view, BridgeDriver& driver, Clock& clock,
                       transfer::Clock wallClock, LinkOptions options)
    : view_(view), options_(options),
      usb_(std::make_unique<UsbLink>(state_, view, config, driver, clock, std::move(wallClock), options_)) {}

DeviceLink::~DeviceLink() = default;

void DeviceLink::start() {
    usb_->setActive(transport_ == Transport::Usb);
}

void DeviceLink::rdbUSBClick() {
    transport_ = Transport::Usb;
    usb_->setActive(true);
    view_.showLinkUp(false);
    view_.showTransport(Transport::Usb);
}

bool DeviceLink::deviceConnected() {
    if (!state_.unlocked)
        view_.showMessage(LinkMessage::of(LinkMessage::Kind::NotConnected), [] {});
    return state_.unlocked;
}

void DeviceLink::request(TransferKind kind) {
    if (!deviceConnected())
        return;
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
    if (!state_.unlocked || state_.pendingOutputCommand != 0 || command < 1 || command > 8)
        return false;
    state_.pendingOutputCommand = command;
    return true;
}

void DeviceLink::submitAccessCode(const std::string& code) {
    usb_->submitAccessCode(code);
}

void DeviceLink::closeDialog() {
    usb_->closeDialog();
}

void DeviceLink::cancelTransfer() {
    usb_->cancelTransfer();
}

} // namespace qta::link
