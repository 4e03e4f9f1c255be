#include "GprsSlots.h"

#include "ConfigImage.h"

#include <stdexcept>

namespace qta::transfer {

int GprsSlots::slotOf(std::uint16_t address) {
    if (address == kTimeFrameAddress)
        return kTimeFrameSlot;
    if (address >= kImageSize)
        throw std::out_of_range("no GPRS slot for address " + std::to_string(address));
    return address / static_cast<int>(kPayloadSize) + 1;
}

bool GprsSlots::send(const Frame& frame, std::uint16_t /*progress*/) {
    store(frame);
    return true;
}

void GprsSlots::store(const Frame& frame) {
    slots_[static_cast<std::size_t>(slotOf(frame.address) - 1)] = frame;
}

const std::optional<Frame>& GprsSlots::slot(int number) const {
    if (number < 1 || number > kSlotCount)
        throw std::out_of_range("no GPRS slot " + std::to_string(number));
    return slots_[static_cast<std::size_t>(number - 1)];
}

} // namespace qta::transfer
