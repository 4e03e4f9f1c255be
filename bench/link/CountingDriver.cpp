#include "CountingDriver.h"

namespace qta::bench {
namespace {

class CountingPort : public link::BridgePort {
public:
    CountingPort(std::unique_ptr<link::BridgePort> inner, CountingDriver& counter)
        : inner_(std::move(inner)), counter_(counter) {}

    bool resetDevice() override { return inner_->resetDevice(); }
    bool setBaudRate(int baud) override { return inner_->setBaudRate(baud); }
    bool setDataCharacteristics(link::WordLength wordLength, link::StopBits stopBits,
                                link::Parity parity) override {
        return inner_->setDataCharacteristics(wordLength, stopBits, parity);
    }
    bool setFlowControl(link::FlowControl flow, std::uint8_t xon, std::uint8_t xoff) override {
        return inner_->setFlowControl(flow, xon, xoff);
    }
    bool setTimeouts(link::Millis read, link::Millis write) override {
        return inner_->setTimeouts(read, write);
    }
    bool getDeviceInfo(link::DeviceInfo& info) override { return inner_->getDeviceInfo(info); }
    void read(std::size_t count, ReadDone done) override {
        inner_->read(count, [this, done = std::move(done)](link::Bytes bytes) {
            counter_.note(false, bytes);
            done(std::move(bytes));
        });
    }
    void cancelRead() override { inner_->cancelRead(); }
    std::size_t write(std::span<const std::uint8_t> bytes) override {
        const std::size_t written = inner_->write(bytes);
        counter_.note(true, bytes.first(written));
        return written;
    }
    void purgeReceived() override { inner_->purgeReceived(); }
    void onFailure(Failed failed) override { inner_->onFailure(std::move(failed)); }

private:
    std::unique_ptr<link::BridgePort> inner_;
    CountingDriver& counter_;
};

} // namespace

std::unique_ptr<link::BridgePort> CountingDriver::openByDescription(const std::string& description) {
    std::unique_ptr<link::BridgePort> port = inner_.openByDescription(description);
    if (!port)
        return nullptr;
    return std::make_unique<CountingPort>(std::move(port), *this);
}

void CountingDriver::note(bool out, std::span<const std::uint8_t> bytes) {
    if (bytes.empty())
        return;
    traffic_.push_back({BenchClock::now(), out, bytes.size(), bytes.front()});
}

} // namespace qta::bench
