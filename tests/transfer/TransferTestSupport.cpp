#include "TransferTestSupport.h"

#include "catalogue/DeviceTexts.h"

namespace qta::transfer::test {

Bytes bytes(std::initializer_list<ByteSpec> parts) {
    Bytes out;
    for (const ByteSpec& part : parts)
        out.insert(out.end(), part.bytes.begin(), part.bytes.end());
    return out;
}

Bytes zeros(std::size_t count) {
    return Bytes(count, 0);
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

Frame frameAt(std::uint16_t address, const Bytes& payload) {
    Frame frame;
    frame.address = address;
    std::copy(payload.begin(),
              payload.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(payload.size(), 64)),
              frame.payload.begin());
    return frame;
}

bool RecordingSink::send(const Frame& frame, std::uint16_t progress) {
    if (offered++ >= abortAt)
        return false;
    sent.push_back({frame, progress});
    return true;
}

Configuration startupConfig(char decimalSeparator) {
    return Configuration::startup(decimalSeparator);
}

void set(Configuration& config, std::string_view field, std::string value) {
    config.setText(config.table().id(field), std::move(value));
}

void setFlag(Configuration& config, std::string_view field, bool value) {
    config.setFlag(config.table().id(field), value);
}

const std::string& text(const Configuration& config, std::string_view field) {
    return config.text(config.table().id(field));
}

DeviceTexts englishDeviceTexts() {
    return catalogue::imageDeviceTexts(Language::EN);
}

Bytes imageBytes(const ConfigImage& image, std::size_t address, std::size_t count) {
    const auto first = image.bytes().begin() + static_cast<std::ptrdiff_t>(address);
    return Bytes(first, first + static_cast<std::ptrdiff_t>(count));
}

} // namespace qta::transfer::test
