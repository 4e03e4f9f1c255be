#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

namespace qta::link {

using Bytes = std::vector<std::uint8_t>;
using Millis = std::chrono::milliseconds;

} // namespace qta::link
