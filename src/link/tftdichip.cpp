#include "tftdichip.h"

#include <iterator>

namespace qta::link {

bool tftdichip::isPresentByDescription(const std::string& description) {
    return driver_.openByDescription(description) != nullptr; // closed again as it goes
}

bool tftdichip::openDeviceByDescription(const std::string& description) {
    if (port_)
        throw FtdiError("tftdichip.openDeviceByDescription: Already open");
    port_ = driver_.openByDescription(description);
    return port_ != nullptr;
}

bool tftdichip::closeDevice() {
    if (!port_)
        throw FtdiError("tftdichip.closeDevice: Not open");
    port_.reset();
    return true;
}

BridgePort& tftdichip::port() {
    if (!port_)
        throw FtdiError("tftdichip: Not open");
    return *port_;
}

bool tftdichip::setBaudRate(int choice) {
    if (choice < 0 || choice >= static_cast<int>(std::size(kBaudRates)))
        throw FtdiError("tftdichip.setBaudRate: Invalid baud rate");
    return port().setBaudRate(kBaudRates[choice]);
}

bool tftdichip::setDataCharacteristics(int wordLength, int stopBits, int parity) {
    if (wordLength != 8 && wordLength != 7)
        throw FtdiError("tftdichip.setDataCharacteristics: Invalid wordLength");
    if (stopBits != 1 && stopBits != 2)
        throw FtdiError("tftdichip.setDataCharacteristics: Invalid stopBits");
    if (parity < 0 || parity > 4)
        throw FtdiError("tftdichip.setDataCharacteristics: Invalid parity");
    return port().setDataCharacteristics(wordLength == 8 ? WordLength::Bits8 : WordLength::Bits7,
                                         stopBits == 1 ? StopBits::One : StopBits::Two,
                                         static_cast<Parity>(parity));
}

bool tftdichip::setFlowControl(Flow mode, std::uint8_t xon, std::uint8_t xoff) {
    static constexpr FlowControl kCodes[] = {FlowControl::None, FlowControl::RtsCts, FlowControl::DtrDsr,
                                             FlowControl::XonXoff};
    const auto index = static_cast<std::size_t>(mode);
    if (index >= std::size(kCodes))
        throw FtdiError("tftdichip.setFlowControl: Invalid flowcontrol");
    return port().setFlowControl(kCodes[index], xon, xoff);
}

bool tftdichip::setTimeouts(int readMs, int writeMs) {
    return port().setTimeouts(Millis(readMs), Millis(writeMs));
}

bool tftdichip::resetDevice() {
    return port().resetDevice();
}

bool tftdichip::getDeviceInfo(DeviceInfo& info) {
    if (!port().getDeviceInfo(info))
        return false;
    // The chip types this wrapper knows keep their codes; any other is reported as 3.
    if (info.chipType != 0 && info.chipType != 1 && info.chipType != 2 && info.chipType != 4 &&
        info.chipType != 5)
        info.chipType = 3;
    return true;
}

void tftdichip::read(std::size_t count, BridgePort::ReadDone done) {
    port().read(count, std::move(done));
}

void tftdichip::cancelRead() {
    if (port_)
        port_->cancelRead();
}

std::size_t tftdichip::write(std::span<const std::uint8_t> bytes) {
    return port().write(bytes);
}

void tftdichip::purgeReceived() {
    port().purgeReceived();
}

void tftdichip::onFailure(BridgePort::Failed failed) {
    port().onFailure(std::move(failed));
}

} // namespace qta::link
