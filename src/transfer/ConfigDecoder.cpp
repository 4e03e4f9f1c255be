#include "ConfigDecoder.h"

#include "FieldCodec.h"
#include "ImageMap.h"
#include "model/EventChoices.h"

#include <algorithm>

namespace qta::transfer {
namespace {

using namespace detail;

constexpr std::size_t kEntriesPerFrame = kPayloadSize / kEntrySize;
constexpr std::size_t kTextCapacity = kTextSlotSize - 1;
constexpr std::size_t kFirstHalfCapacity = kPayloadSize - 1;
constexpr std::size_t kObjectCodeBytes = 4;

// The reported event carrying this Contact ID code, or "None".
int eventChoiceOf(const std::string& code) {
    for (int index = 0; index < kEventChoiceCount; ++index) {
        const int known = kEventChoices[index].contactIdCode;
        if (known >= 0 && code == zeroPadded(std::to_string(known), 3))
            return index;
    }
    return kEventChoiceNoneIndex;
}

// Digits are kept; any other byte starts the text again as `fallback`.
std::string digitsOrFallback(std::span<const std::uint8_t> bytes, const std::string& fallback) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        if (byte >= '0' && byte <= '9')
            text += static_cast<char>(byte);
        else
            text = fallback;
    }
    return text;
}

} // namespace

// Each kind of region is read its own way; a Frame that carries nothing changes nothing.
void ConfigDecoder::ReadData(const Frame& frame) {
    const Region* region = regionAt(frame.address);
    if (!region)
        return;
    const std::size_t offset = frame.address - region->start;
    switch (region->kind) {
    case RegionKind::NumberSlots:
    case RegionKind::ObjectCodes:
    case RegionKind::EventEntries:
        readEntries(*region, offset, frame.payload);
        return;
    case RegionKind::TextSlots:
        readTextHalf(members(*region)[offset / kTextSlotSize], offset % kTextSlotSize, frame.payload);
        return;
    case RegionKind::DeviceTexts:
    case RegionKind::Empty:
        return;
    case RegionKind::Block:
    case RegionKind::ParameterBlock:
    case RegionKind::AlarmCentre1:
    case RegionKind::BlockingBlock:
        if (offset == 0)
            readBlock(*region, frame.payload);
        return;
    }
}

// The four 16-byte entries of the Frame, as far as the region has fields for them.
void ConfigDecoder::readEntries(const Region& region, std::size_t offset, const Payload& frame) {
    const std::span<const FieldId> fields = members(region);
    const std::span<const std::uint8_t> payload(frame);
    for (std::size_t m = 0; m < kEntriesPerFrame; ++m) {
        const std::size_t n = offset / kEntrySize + m;
        if (n >= fields.size())
            return;
        const std::span<const std::uint8_t> entry = payload.subspan(m * kEntrySize, kEntrySize);
        if (region.kind == RegionKind::NumberSlots)
            config_.setText(fields[n], readLengthPrefixed(entry));
        else if (region.kind == RegionKind::ObjectCodes)
            config_.setText(fields[n], digitsAmong(entry.first(kObjectCodeBytes)));
        else
            readEventEntry(static_cast<int>(n) + 1, entry);
    }
}

// A block of placed fields; the parameter block and the blocking block also carry flags.
void ConfigDecoder::readBlock(const Region& region, const Payload& frame) {
    const FieldTable& table = config_.table();
    const std::span<const std::uint8_t> payload(frame);
    for (const PlacedFamily& placed : region.fields) {
        const std::vector<FieldId>& placedFields = table.family(placed.family);
        const std::size_t width = widthOf(placed.encoding);
        for (std::size_t m = 0; m < placedFields.size(); ++m) {
            const std::size_t at = placed.offset + m * placed.stride;
            config_.setText(placedFields[m],
                            width > 1 ? readLengthPrefixed(payload.subspan(at, width))
                                      : decodeNumber(placed.encoding, payload[at], decimalSeparator_));
        }
    }
    if (region.kind == RegionKind::ParameterBlock)
        readParameterFlags(frame);
    else if (region.kind == RegionKind::BlockingBlock)
        readCheckOut(frame[kCheckOutOffset]);
}

void ConfigDecoder::readParameterFlags(const Payload& payload) {
    const FieldTable& table = config_.table();
    const std::uint8_t polarity = payload[kPolarityOffset];
    for (int input = 1; input <= 8; ++input) {
        const bool normallyClosed = (polarity >> (8 - input) & 1) != 0;
        config_.setFlag(table.id(normallyClosed ? Family::NC_IN : Family::NO_IN, input), true);
    }
    const auto flags = failureFlags();
    for (std::size_t bit = 0; bit < flags.size(); ++bit)
        config_.setFlag(table.id(flags[bit]), (payload[kFailureOffset] >> bit & 1) == 0);
}

// Any value beyond the two bits leaves the boxes as they are.
void ConfigDecoder::readCheckOut(std::uint8_t checkOut) {
    if (checkOut > 3)
        return;
    const FieldTable& table = config_.table();
    config_.setFlag(table.id(Family::CheckOut_, 1), (checkOut & 1) != 0);
    config_.setFlag(table.id(Family::CheckOut_, 2), (checkOut & 2) != 0);
}

void ConfigDecoder::readTextHalf(FieldId field, std::size_t offsetInSlot, const Payload& payload) {
    if (offsetInSlot == 0) {
        // A length beyond the slot comes from memory that was never written: no text.
        pendingLength_ = payload[0] <= kTextCapacity ? payload[0] : 0;
        const std::size_t firstPart = std::min(pendingLength_, kFirstHalfCapacity);
        accumulator_.assign(payload.begin() + 1,
                            payload.begin() + 1 + static_cast<std::ptrdiff_t>(firstPart));
        pendingField_ = field;
    } else if (offsetInSlot == kPayloadSize && pendingField_ == field) {
        // Only the second half of the slot whose first half came just before completes it.
        if (pendingLength_ > kFirstHalfCapacity)
            accumulator_.append(payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(
                                                                       pendingLength_ - kFirstHalfCapacity));
        config_.setText(field, accumulator_);
        pendingField_.reset();
    }
}

void ConfigDecoder::readEventEntry(int input, std::span<const std::uint8_t> entry) {
    const FieldTable& table = config_.table();
    config_.setChoice(table.id(Family::EventCodeIN, input), eventChoiceOf(digitsAmong(entry.first(3))));
    config_.setText(table.id(Family::PartCodeIN, input), digitsOrFallback(entry.subspan(3, 2), "00"));
    config_.setText(table.id(Family::ZoneCodeIN, input), digitsOrFallback(entry.subspan(5, 3), "000"));
}

void decodeImage(const ConfigImage& image, Configuration& config, char decimalSeparator) {
    ConfigDecoder decoder(config, decimalSeparator);
    for (std::size_t index = 0; index < kImageFrameCount; ++index)
        decoder.ReadData(image.frame(index));
}

} // namespace qta::transfer
