#include "DeviceHarness.h"

#include <gtest/gtest.h>

namespace qta::sim::test {

Bytes bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

Bytes accessCodeMessage(const std::string& code) {
    return bytesOf(static_cast<char>(code.size()) + code + '\r');
}

bool isReport(const Bytes& unit) {
    return unit.size() == 21 && unit[19] == 0x1C && unit[20] == 0x2C;
}

DeviceOptions steadyOptions() {
    DeviceOptions options;
    options.varyStatus = false;
    return options;
}

DeviceHarness::DeviceHarness(DeviceOptions options) : device(options) {
    device.onOutput([this](std::span<const std::uint8_t> unit) {
        sent.push_back({device.now(), Bytes(unit.begin(), unit.end())});
    });
}

std::vector<Sent> DeviceHarness::fresh() {
    std::vector<Sent> out(sent.begin() + static_cast<std::ptrdiff_t>(seen_), sent.end());
    seen_ = sent.size();
    return out;
}

Bytes DeviceHarness::next(Micros limit) {
    const Micros until = device.now() + limit;
    while (seen_ == sent.size() && device.nextDue() <= until)
        device.advanceTo(device.nextDue());
    if (seen_ == sent.size()) {
        device.advanceTo(until);
        return {};
    }
    return sent[seen_++].bytes;
}

void DeviceHarness::unlock() {
    ASSERT_EQ(next(), bytesOf("QTA71P"));
    input({0x1F});
    input(accessCodeMessage("6173"));
    ASSERT_EQ(next(), Bytes{0x06});
}

void DeviceHarness::answerReport(std::uint8_t answer) {
    ASSERT_TRUE(isReport(next()));
    input({answer});
}

} // namespace qta::sim::test
