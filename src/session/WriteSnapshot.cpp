#include "WriteSnapshot.h"

#include "catalogue/DeviceTexts.h"
#include "transfer/ConfigEncoder.h"
#include "transfer/GprsSlots.h"

namespace qta::link {
namespace {

class FrameCollector : public transfer::FrameSink {
public:
    explicit FrameCollector(WriteSnapshot& out) : out_(out) {}
    bool send(const transfer::Frame& frame, std::uint16_t progress) override {
        out_.push_back({frame, progress});
        return true;
    }

private:
    WriteSnapshot& out_;
};

WriteSnapshot fromSlots(const transfer::GprsSlots& slots) {
    WriteSnapshot frames;
    for (int slot = 1; slot < transfer::GprsSlots::kTimeFrameSlot; ++slot) {
        if (const std::optional<transfer::Frame>& frame = slots.slot(slot))
            frames.push_back({*frame, slot});
    }
    return frames;
}

} // namespace

WriteSnapshot takeWriteSnapshot(const Configuration& config, Language language, Transport transport) {
    // A copy, so that nothing the encoding does can reach the window's observers.
    const Configuration snapshot = config;
    const auto texts = catalogue::imageDeviceTexts(language);
    if (transport == Transport::Gprs) {
        transfer::GprsSlots slots;
        transfer::SendDataFromForm(snapshot, texts, slots);
        return fromSlots(slots);
    }
    WriteSnapshot frames;
    FrameCollector collector(frames);
    transfer::SendDataFromForm(snapshot, texts, collector);
    return frames;
}

} // namespace qta::link
