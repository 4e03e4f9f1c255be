#include "TracingBridge.h"

#include <cstdio>

namespace qta::link {
namespace {

class WatchedPort : public BridgePort {
public:
    WatchedPort(std::unique_ptr<BridgePort> inner, const WatchedDriver::Watch& watch)
        : inner_(std::move(inner)), watch_(watch) {}

    bool resetDevice() override { return inner_->resetDevice(); }
    bool setBaudRate(int baud) override { return inner_->setBaudRate(baud); }
    bool setDataCharacteristics(WordLength wordLength, StopBits stopBits, Parity parity) override {
        return inner_->setDataCharacteristics(wordLength, stopBits, parity);
    }
    bool setFlowControl(FlowControl flow, std::uint8_t xon, std::uint8_t xoff) override {
        return inner_->setFlowControl(flow, xon, xoff);
    }
    bool setTimeouts(Millis read, Millis write) override { return inner_->setTimeouts(read, write); }
    bool getDeviceInfo(DeviceInfo& info) override { return inner_->getDeviceInfo(info); }
    void read(std::size_t count, ReadDone done) override {
        inner_->read(count, [this, done = std::move(done)](Bytes bytes) {
            watch_(WatchedDriver::Direction::FromDevice, bytes);
            done(std::move(bytes));
        });
    }
    void cancelRead() override { inner_->cancelRead(); }
    std::size_t write(std::span<const std::uint8_t> bytes) override {
        const std::size_t written = inner_->write(bytes);
        watch_(WatchedDriver::Direction::ToDevice, bytes.first(written));
        return written;
    }
    void purgeReceived() override { inner_->purgeReceived(); }
    void onFailure(Failed failed) override { inner_->onFailure(std::move(failed)); }

private:
    std::unique_ptr<BridgePort> inner_;
    const WatchedDriver::Watch& watch_;
};

} // namespace

std::unique_ptr<BridgePort> WatchedDriver::openByDescription(const std::string& description) {
    std::unique_ptr<BridgePort> port = inner_.openByDescription(description);
    if (!port)
        return nullptr;
    return std::make_unique<WatchedPort>(std::move(port), watch_);
}

TracingDriver::TracingDriver(BridgeDriver& inner, Clock& clock, std::ostream& out)
    : WatchedDriver(inner,
                    [this](Direction direction, std::span<const std::uint8_t> bytes) {
                        trace(direction == Direction::ToDevice ? '>' : '<', bytes);
                    }),
      clock_(clock), out_(out), start_(clock.now()) {}

void TracingDriver::trace(char direction, std::span<const std::uint8_t> bytes) {
    if (bytes.empty())
        return;
    char stamp[32];
    const auto millis = (clock_.now() - start_).count();
    std::snprintf(stamp, sizeof stamp, "%8lld.%03lld %c", static_cast<long long>(millis / 1000),
                  static_cast<long long>(millis % 1000), direction);
    out_ << stamp;
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const std::uint8_t byte : bytes)
        out_ << ' ' << kHex[byte >> 4] << kHex[byte & 0x0F];
    out_ << '\n';
    out_.flush();
}

} // namespace qta::link
