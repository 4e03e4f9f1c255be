#pragma once

#include "FrameSink.h"

#include <optional>
#include <vector>

namespace qta::transfer {

inline constexpr std::size_t kImageSize = 21504; // addresses 0x0000 to 0x53FF
inline constexpr std::size_t kImageFrameCount = kImageSize / kPayloadSize;
inline constexpr std::uint16_t kLastFrameAddress = 0x53C0;

// The device's configuration memory as plain bytes, address = offset.
class ConfigImage : public FrameSink {
public:
    ConfigImage() : bytes_(kImageSize, 0) {}

    // Nullopt unless `bytes` is exactly one image long.
    static std::optional<ConfigImage> fromBytes(std::span<const std::uint8_t> bytes);

    // Stores the payload at the Frame's address; Frames outside the image are ignored.
    bool send(const Frame& frame, std::uint16_t progress) override;

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    // The Frame with index 0..335, at address 64 * index.
    Frame frame(std::size_t index) const;

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace qta::transfer
