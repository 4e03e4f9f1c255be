// Feeds arbitrary bytes, cut into 66-byte Frames as the link delivers them, to
// the decoder, then encodes and saves what came out: whatever the device sends,
// nothing may crash or read out of bounds, the number lists stay filled from
// the front, and the values read back are safe for every later user.
#include "model/PffFile.h"
#include "transfer/ConfigDecoder.h"
#include "transfer/ConfigEncoder.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {

bool listsFilledFromTheFront(const qta::Configuration& config) {
    for (const qta::NumberList& list : config.table().lists()) {
        bool emptySeen = false;
        for (int j = 0; j < qta::kListLength; ++j) {
            const bool empty = config.text(static_cast<qta::FieldId>(list.first + j)).empty();
            if (emptySeen && !empty)
                return false;
            emptySeen = emptySeen || empty;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qta::Configuration config = qta::Configuration::startup(',');
    qta::transfer::ConfigDecoder decoder(config, ',');
    const std::span<const std::uint8_t> bytes(data, size);
    for (std::size_t at = 0; at + qta::transfer::kFrameSize <= bytes.size();
         at += qta::transfer::kFrameSize) {
        const auto wire = bytes.subspan(at).first<qta::transfer::kFrameSize>();
        decoder.ReadData(qta::transfer::Frame::fromWire(wire));
    }
    if (!listsFilledFromTheFront(config))
        __builtin_trap();
    qta::transfer::encodeImage(config, qta::transfer::DeviceTexts{});
    qta::ProfileDocument doc;
    qta::pff::write(config, doc);
    return 0;
}
