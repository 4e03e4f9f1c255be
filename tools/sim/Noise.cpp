#include "Noise.h"

namespace qta::sim {
namespace {

constexpr std::uint8_t kIdentLastByte = 'P';
constexpr std::uint8_t kReportLastByte = 0x2C;
constexpr std::uint32_t kMaxBurst = 12;

bool allowed(std::uint8_t byte) {
    return byte != kIdentLastByte && byte != kReportLastByte;
}

} // namespace

Bytes makeNoise(Random& random) {
    Bytes noise(1 + random.below(kMaxBurst));
    for (auto& byte : noise) {
        do
            byte = random.byte();
        while (!allowed(byte));
    }
    return noise;
}

} // namespace qta::sim
