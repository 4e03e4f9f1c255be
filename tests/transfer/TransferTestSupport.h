#pragma once

#include "model/Configuration.h"
#include "transfer/ConfigEncoder.h"
#include "transfer/FrameSink.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace qta::transfer::test {

using Bytes = std::vector<std::uint8_t>;

// Bytes written out by hand: numbers are bytes, strings their characters.
struct ByteSpec {
    ByteSpec(int byte) : bytes{static_cast<std::uint8_t>(byte)} {}
    ByteSpec(const char* text) : bytes(text, text + std::string_view(text).size()) {}
    Bytes bytes;
};
Bytes bytes(std::initializer_list<ByteSpec> parts);
Bytes zeros(std::size_t count);
Bytes concat(std::initializer_list<Bytes> parts);

// A Frame from up to 64 hand-written bytes, padded with 0x00.
Frame frameAt(std::uint16_t address, const Bytes& payload);

struct SentFrame {
    Frame frame;
    std::uint16_t progress;
};

// Records what the encoder sends; refuses from the Frame with index `abortAt` on.
class RecordingSink : public FrameSink {
public:
    bool send(const Frame& frame, std::uint16_t progress) override;
    std::vector<SentFrame> sent;
    std::size_t abortAt = SIZE_MAX;
    std::size_t offered = 0;
};

Configuration startupConfig(char decimalSeparator = '.');
void set(Configuration& config, std::string_view field, std::string value);
void setFlag(Configuration& config, std::string_view field, bool value);
const std::string& text(const Configuration& config, std::string_view field);
DeviceTexts englishDeviceTexts();

// `count` bytes of the image from `address`.
Bytes imageBytes(const ConfigImage& image, std::size_t address, std::size_t count);

} // namespace qta::transfer::test
