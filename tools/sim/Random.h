#pragma once

#include <cstdint>
#include <random>

namespace qta::sim {

// A seeded source of chance. The engine's output sequence is fixed by the
// standard, and the helpers below use it directly, so a seed gives the same run
// with every standard library.
class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}

    // 0 .. n-1; 0 when n is 0.
    std::uint32_t below(std::uint32_t n);
    // True with probability p (0 never, 1 always).
    bool chance(double p);
    std::uint8_t byte() { return static_cast<std::uint8_t>(engine_() & 0xFF); }

private:
    std::mt19937_64 engine_;
};

// Streams for separate purposes, so that, for example, the faults of a run do
// not depend on how many StatusReports happened to go out before them.
enum class Stream : std::uint64_t { Status = 1, Faults = 2, Noise = 3, EventLog = 4, Network = 5 };
Random randomFor(std::uint64_t seed, Stream stream);

} // namespace qta::sim
