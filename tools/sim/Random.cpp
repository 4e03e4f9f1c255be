#include "Random.h"

namespace qta::sim {

std::uint32_t Random::below(std::uint32_t n) {
    if (n == 0)
        return 0;
    return static_cast<std::uint32_t>(engine_() % n);
}

bool Random::chance(double p) {
    if (p <= 0.0)
        return false;
    if (p >= 1.0)
        return true;
    // 53 random bits as a fraction in [0, 1).
    const double unit = static_cast<double>(engine_() >> 11) / static_cast<double>(std::uint64_t{1} << 53);
    return unit < p;
}

Random randomFor(std::uint64_t seed, Stream stream) {
    return Random(seed * 0x9E3779B97F4A7C15ULL + static_cast<std::uint64_t>(stream));
}

} // namespace qta::sim
