#pragma once

#include "sim/VirtualDevice.h"

#include <string>
#include <vector>

namespace qta::sim::test {

using namespace std::chrono_literals;

// What the device sent, one unit per entry, with the moment it was sent.
struct Sent {
    Micros at;
    Bytes bytes;
};

Bytes bytesOf(const std::string& text);
// A length byte, the code, 0x0D.
Bytes accessCodeMessage(const std::string& code);
bool isReport(const Bytes& unit);

// Options with steady report values, so that reports can be compared byte by byte.
DeviceOptions steadyOptions();

// A device driven by hand: time moves only when told, every unit it sends is kept.
class DeviceHarness {
public:
    explicit DeviceHarness(DeviceOptions options = steadyOptions());

    void runTo(Micros at) { device.advanceTo(at); }
    void wait(Micros span) { device.advanceTo(device.now() + span); }
    void input(const Bytes& bytes) { device.receive(bytes); }
    // The units sent since the last call.
    std::vector<Sent> fresh();
    // Moves time until the device sends something, at most `limit`; the unit, or empty.
    Bytes next(Micros limit = 5s);
    // Identification, 0x1F, the code "6173", accepted; the first report is then due.
    void unlock();
    // Waits for the next report and answers it.
    void answerReport(std::uint8_t answer);

    VirtualDevice device;
    std::vector<Sent> sent;

private:
    std::size_t seen_ = 0;
};

} // namespace qta::sim::test
