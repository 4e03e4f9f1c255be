#pragma once

#include "FrameSink.h"
#include "TimeFrame.h"

#include <array>
#include <optional>

namespace qta::transfer {

// The Frames of a configuration write over GPRS, stored before anything is sent:
// slots 1 to 336 hold the image in address order, slot 337 the TimeFrame.
class GprsSlots : public FrameSink {
public:
    static constexpr int kSlotCount = 337;
    static constexpr int kTimeFrameSlot = 337;

    // Address / 64 + 1 for an image Frame, 337 for the TimeFrame; throws
    // std::out_of_range for any other address.
    static int slotOf(std::uint16_t address);

    // Stores the Frame in its slot; nothing is sent.
    bool send(const Frame& frame, std::uint16_t progress) override;
    void storeTimeFrame(const DateTime& now) { store(TimeFrame(now)); }

    // Slot 1..337; empty until something was stored there.
    const std::optional<Frame>& slot(int number) const;
    void clear() { slots_.fill(std::nullopt); }

private:
    void store(const Frame& frame);

    std::array<std::optional<Frame>, kSlotCount> slots_;
};

} // namespace qta::transfer
