#include "Frame.h"

#include <algorithm>

namespace qta::transfer {

Frame Frame::make(std::uint16_t address, std::string_view bytes) {
    Frame frame;
    frame.address = address;
    const std::size_t count = std::min(bytes.size(), kPayloadSize);
    std::transform(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count), frame.payload.begin(),
                   [](char c) { return static_cast<std::uint8_t>(c); });
    return frame;
}

WireFrame Frame::toWire() const {
    WireFrame wire{};
    wire[0] = static_cast<std::uint8_t>(address >> 8);
    wire[1] = static_cast<std::uint8_t>(address & 0xFF);
    std::copy(payload.begin(), payload.end(), wire.begin() + 2);
    return wire;
}

Frame Frame::fromWire(std::span<const std::uint8_t, kFrameSize> wire) {
    Frame frame;
    frame.address = static_cast<std::uint16_t>(wire[0] << 8 | wire[1]);
    std::copy(wire.begin() + 2, wire.end(), frame.payload.begin());
    return frame;
}

void Fill_0(std::string& bytes, std::size_t length) {
    if (bytes.size() < length)
        bytes.append(length - bytes.size(), '\0');
}

} // namespace qta::transfer
