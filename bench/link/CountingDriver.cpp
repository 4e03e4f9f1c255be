#include "CountingDriver.h"

namespace qta::bench {

CountingDriver::CountingDriver(link::BridgeDriver& inner)
    : WatchedDriver(inner, [this](Direction direction, std::span<const std::uint8_t> bytes) {
          note(direction == Direction::ToDevice, bytes);
      }) {}

void CountingDriver::note(bool out, std::span<const std::uint8_t> bytes) {
    if (bytes.empty())
        return;
    traffic_.push_back({BenchClock::now(), out, bytes.size(), bytes.front()});
}

} // namespace qta::bench
