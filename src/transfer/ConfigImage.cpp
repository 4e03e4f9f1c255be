#include "ConfigImage.h"

#include <algorithm>
#include <stdexcept>

namespace qta::transfer {

std::optional<ConfigImage> ConfigImage::fromBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kImageSize)
        return std::nullopt;
    ConfigImage image;
    std::copy(bytes.begin(), bytes.end(), image.bytes_.begin());
    return image;
}

bool ConfigImage::send(const Frame& frame, std::uint16_t /*progress*/) {
    if (frame.address % kPayloadSize == 0 && frame.address < kImageSize)
        std::copy(frame.payload.begin(), frame.payload.end(), bytes_.begin() + frame.address);
    return true;
}

Frame ConfigImage::frame(std::size_t index) const {
    if (index >= kImageFrameCount)
        throw std::out_of_range("no image Frame with index " + std::to_string(index));
    Frame frame;
    frame.address = static_cast<std::uint16_t>(index * kPayloadSize);
    const auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(frame.address);
    std::copy(first, first + kPayloadSize, frame.payload.begin());
    return frame;
}

} // namespace qta::transfer
