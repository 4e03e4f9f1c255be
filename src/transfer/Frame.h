#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qta::transfer {

inline constexpr std::size_t kPayloadSize = 64;
inline constexpr std::size_t kFrameSize = 66;

using Payload = std::array<std::uint8_t, kPayloadSize>;
using WireFrame = std::array<std::uint8_t, kFrameSize>;

// The packet of every configuration transfer: a 16-bit block address and the
// 64 bytes stored at that address in the device.
struct Frame {
    std::uint16_t address = 0;
    Payload payload{};

    // Up to 64 bytes of `bytes` at `address`, padded with 0x00.
    static Frame make(std::uint16_t address, std::string_view bytes);

    // The 66 bytes on the link: address high byte, low byte, then the payload.
    WireFrame toWire() const;
    static Frame fromWire(std::span<const std::uint8_t, kFrameSize> wire);

    bool operator==(const Frame&) const = default;
};

// Appends 0x00 to `bytes` until it is `length` long; a longer string stays as it is.
void Fill_0(std::string& bytes, std::size_t length);

} // namespace qta::transfer
