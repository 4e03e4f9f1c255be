#include "VirtualBridgePort.h"

#include <algorithm>

namespace qta::sim {
namespace {

constexpr std::uint16_t kBridgeVendor = 0x0403;

struct BridgeModel {
    const char* description;
    int chipType;
    std::uint16_t productId;
};

// Chip type codes as the driver reports them: 5 for the 232R, 3 for every type
// it has no code of its own for.
constexpr BridgeModel kModels[] = {
    {"FT232R USB UART", 5, 0x6001},
    {"FT230X Basic UART", 3, 0x6015},
};

} // namespace

VirtualBridgePort::VirtualBridgePort(std::shared_ptr<BridgeWire> wire)
    : wire_(std::move(wire)), readTimer_(wire_->clock()), readReady_(wire_->clock()),
      failureTimer_(wire_->clock()) {
    wire_->attach(this);
}

VirtualBridgePort::~VirtualBridgePort() {
    wire_->detach(this);
}

bool VirtualBridgePort::resetDevice() {
    received_.clear();
    return !failure_;
}

bool VirtualBridgePort::setBaudRate(int baud) {
    baud_ = baud;
    return !failure_;
}

bool VirtualBridgePort::setDataCharacteristics(link::WordLength, link::StopBits, link::Parity) {
    return !failure_;
}

bool VirtualBridgePort::setFlowControl(link::FlowControl, std::uint8_t, std::uint8_t) {
    return !failure_;
}

bool VirtualBridgePort::setTimeouts(link::Millis read, link::Millis /*write*/) {
    readTimeout_ = read;
    return !failure_;
}

bool VirtualBridgePort::getDeviceInfo(link::DeviceInfo& info) {
    if (failure_)
        return false;
    const std::string& description = wire_->options().description;
    info = {};
    info.vendorId = kBridgeVendor;
    info.description = description;
    info.serialNumber = "QTA710SIM";
    for (const BridgeModel& model : kModels) {
        if (description == model.description) {
            info.chipType = model.chipType;
            info.productId = model.productId;
        }
    }
    return true;
}

void VirtualBridgePort::read(std::size_t count, ReadDone done) {
    cancelRead();
    readCount_ = count;
    readDone_ = std::move(done);
    if (failure_ || received_.size() >= count)
        readReady_.start(link::Millis(0), [this] { finishRead(); });
    else
        readTimer_.start(readTimeout_, [this] { finishRead(); });
}

void VirtualBridgePort::cancelRead() {
    readTimer_.stop();
    readReady_.stop();
    readCount_.reset();
    readDone_ = nullptr;
}

void VirtualBridgePort::finishRead() {
    if (!readCount_)
        return;
    const std::size_t count = std::min(*readCount_, received_.size());
    link::Bytes bytes(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(count));
    received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(count));
    ReadDone done = std::move(readDone_);
    cancelRead();
    if (done)
        done(std::move(bytes));
}

std::size_t VirtualBridgePort::write(std::span<const std::uint8_t> bytes) {
    if (failure_)
        return 0;
    wire_->fromHost(bytes);
    return bytes.size();
}

void VirtualBridgePort::purgeReceived() {
    received_.clear();
}

void VirtualBridgePort::onFailure(Failed failed) {
    failed_ = std::move(failed);
    if (failure_ && !failureReported_)
        failureTimer_.start(link::Millis(0), [this] { reportFailure(); });
}

void VirtualBridgePort::arrived(std::span<const std::uint8_t> bytes) {
    received_.insert(received_.end(), bytes.begin(), bytes.end());
    if (readCount_ && received_.size() >= *readCount_ && !readReady_.active())
        readReady_.start(link::Millis(0), [this] { finishRead(); });
}

void VirtualBridgePort::fail(const std::string& reason) {
    if (failure_)
        return;
    failure_ = reason;
    received_.clear();
    if (readCount_) {
        readTimer_.stop();
        readReady_.start(link::Millis(0), [this] { finishRead(); });
    }
    failureTimer_.start(link::Millis(0), [this] { reportFailure(); });
}

void VirtualBridgePort::reportFailure() {
    if (failureReported_ || !failed_)
        return;
    failureReported_ = true;
    Failed failed = failed_;
    failed(*failure_);
}

} // namespace qta::sim
