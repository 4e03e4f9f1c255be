#pragma once

#include "ConfigImage.h"
#include "Frame.h"
#include "model/Configuration.h"

#include <optional>
#include <string>

namespace qta::transfer {

namespace detail {
struct Region;
}

// Puts the fields of received Frames back into a Configuration, through its
// setters, so a number list read from the device obeys the list rule. A text
// slot spans two Frames; the decoder keeps the first half until the second comes.
class ConfigDecoder {
public:
    // Voltages are written with `decimalSeparator`.
    ConfigDecoder(Configuration& config, char decimalSeparator)
        : config_(config), decimalSeparator_(decimalSeparator) {}

    // One Frame, chosen by its address alone. Frames that carry nothing (device
    // texts, the empty Frame, addresses outside the image) change nothing.
    void ReadData(const Frame& frame);

private:
    void readEntries(const detail::Region& region, std::size_t offset, const Payload& payload);
    void readBlock(const detail::Region& region, const Payload& payload);
    void readParameterFlags(const Payload& payload);
    void readCheckOut(std::uint8_t checkOut);
    void readTextHalf(FieldId field, std::size_t offsetInSlot, const Payload& payload);
    void readEventEntry(int input, std::span<const std::uint8_t> entry);

    Configuration& config_;
    char decimalSeparator_;
    std::string accumulator_;
    std::size_t pendingLength_ = 0;
    std::optional<FieldId> pendingField_; // the text slot whose first half was read
};

// Feeds the 336 Frames of `image` to a decoder in ascending address order.
void decodeImage(const ConfigImage& image, Configuration& config, char decimalSeparator);

} // namespace qta::transfer
