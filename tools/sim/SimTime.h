#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

namespace qta::sim {

// The virtual device keeps time in microseconds: at 9600 baud a byte takes
// 1041.67 us, so milliseconds would not add up over a Frame.
using Micros = std::chrono::microseconds;
using Bytes = std::vector<std::uint8_t>;

// Nothing is due.
inline constexpr Micros kNever = Micros::max();

} // namespace qta::sim
