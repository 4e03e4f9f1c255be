#include "ConfigEncoder.h"

#include "FieldCodec.h"
#include "ImageMap.h"
#include "model/EventChoices.h"

#include <algorithm>

namespace qta::transfer {
namespace {

using namespace detail;

constexpr std::size_t kObjectCodeDigits = 4;
constexpr std::size_t kEventCodeDigits = 3;
constexpr std::size_t kPartitionDigits = 2;
constexpr std::size_t kZoneDigits = 3;

// Hands Frames to the sink until it reports an abort; after that it drops them.
class FrameWriter {
public:
    explicit FrameWriter(FrameSink& sink) : sink_(sink) {}

    bool aborted() const { return aborted_; }

    void SendString(std::uint16_t address, std::string_view payload, std::uint16_t progress) {
        if (!aborted_)
            aborted_ = !sink_.send(Frame::make(address, payload), progress);
    }

    // Collects four 16-byte entries into one Frame, addressed by its first entry.
    // Every list of entries starts a Frame and fills whole Frames.
    void SendTxString(std::uint16_t address, std::string entry) {
        Fill_0(entry, kEntrySize);
        if (pending_.empty())
            pendingAddress_ = address;
        pending_.append(entry, 0, kEntrySize);
        if (pending_.size() == kPayloadSize) {
            SendString(pendingAddress_, pending_, address);
            pending_.clear();
        }
    }

    // One text slot as its two Frames.
    void SendSmsString(std::uint16_t address, std::string slot) {
        Fill_0(slot, kTextSlotSize);
        const auto second = static_cast<std::uint16_t>(address + kPayloadSize);
        SendString(address, std::string_view(slot).substr(0, kPayloadSize), address);
        SendString(second, std::string_view(slot).substr(kPayloadSize, kPayloadSize), second);
    }

private:
    FrameSink& sink_;
    bool aborted_ = false;
    std::string pending_;
    std::uint16_t pendingAddress_ = 0;
};

class Encoder {
public:
    Encoder(const Configuration& config, const DeviceTexts& deviceTexts, FrameSink& sink)
        : config_(config), table_(config.table()), deviceTexts_(deviceTexts), writer_(sink) {}

    bool run() {
        for (const Region& region : imageMap()) {
            if (writer_.aborted())
                break;
            encode(region);
        }
        return !writer_.aborted();
    }

private:
    const std::string& text(Family family, int index = 0) const {
        return config_.text(table_.id(family, index));
    }
    bool flag(Family family, int index = 0) const { return config_.flag(table_.id(family, index)); }

    void encode(const Region& region) {
        const std::span<const FieldId> fields = members(region);
        const auto address = [&](std::size_t n, std::size_t size) {
            return static_cast<std::uint16_t>(region.start + n * size);
        };
        switch (region.kind) {
        case RegionKind::NumberSlots:
            for (std::size_t n = 0; n < fields.size(); ++n)
                writer_.SendTxString(address(n, kEntrySize),
                                     lengthPrefixed(config_.text(fields[n]), kEntrySize));
            break;
        case RegionKind::TextSlots:
            for (std::size_t n = 0; n < fields.size(); ++n)
                writer_.SendSmsString(address(n, kTextSlotSize),
                                      lengthPrefixed(config_.text(fields[n]), kTextSlotSize));
            break;
        case RegionKind::ObjectCodes:
            for (std::size_t n = 0; n < fields.size(); ++n)
                writer_.SendTxString(address(n, kEntrySize), objectCodeEntry(config_.text(fields[n])));
            break;
        case RegionKind::EventEntries:
            for (std::size_t n = 0; n < fields.size(); ++n)
                writer_.SendTxString(address(n, kEntrySize), eventEntry(static_cast<int>(n) + 1));
            break;
        case RegionKind::DeviceTexts:
            for (std::size_t n = 0; n < kDeviceTextFrames; ++n)
                writer_.SendString(address(n, kPayloadSize), deviceTextFrame(n), address(n, kPayloadSize));
            break;
        case RegionKind::Block:
        case RegionKind::ParameterBlock:
        case RegionKind::AlarmCentre1:
        case RegionKind::BlockingBlock:
        case RegionKind::Empty:
            writer_.SendString(region.start, block(region), region.start);
            break;
        }
    }

    static std::string objectCodeEntry(const std::string& code) {
        return code.empty() ? std::string() : zeroPadded(code, kObjectCodeDigits);
    }

    std::string eventEntry(int input) const {
        const int choice = config_.choice(table_.id(Family::EventCodeIN, input));
        const int code = choice >= 0 && choice < kEventChoiceCount ? kEventChoices[choice].contactIdCode : -1;
        std::string entry = code >= 0 ? zeroPadded(std::to_string(code), kEventCodeDigits)
                                      : std::string(kEventCodeDigits, '\0');
        entry += zeroPadded(text(Family::PartCodeIN, input), kPartitionDigits);
        entry += zeroPadded(text(Family::ZoneCodeIN, input), kZoneDigits);
        return entry;
    }

    std::string deviceTextFrame(std::size_t n) const {
        return lengthPrefixed(deviceTexts_[2 * n], 32) + lengthPrefixed(deviceTexts_[2 * n + 1], 32);
    }

    std::string block(const Region& region) const {
        std::string payload(kPayloadSize, '\0');
        for (const PlacedFamily& placed : region.fields)
            place(placed, payload);
        switch (region.kind) {
        case RegionKind::ParameterBlock:
            putCounts(parameterCountFamilies(), 0, payload);
            payload[kPolarityOffset] = static_cast<char>(polarityBits());
            payload[kFailureOffset] = static_cast<char>(failureBits());
            break;
        case RegionKind::AlarmCentre1:
            payload[kObjectMaskOffset] = static_cast<char>(distinctObjectCodes());
            break;
        case RegionKind::BlockingBlock:
            putCounts(blockingCountFamilies(), kBlockingCountOffset, payload);
            payload[kCheckOutOffset] = static_cast<char>(checkOutBits());
            break;
        default:
            break;
        }
        return payload;
    }

    void place(const PlacedFamily& placed, std::string& payload) const {
        const std::vector<FieldId>& placedFields = table_.family(placed.family);
        for (std::size_t m = 0; m < placedFields.size(); ++m) {
            const std::string& value = config_.text(placedFields[m]);
            const std::size_t offset = placed.offset + m * placed.stride;
            if (widthOf(placed.encoding) > 1)
                payload.replace(offset, widthOf(placed.encoding),
                                lengthPrefixed(value, widthOf(placed.encoding)));
            else
                payload[offset] =
                    static_cast<char>(encodeNumber(placed.encoding, table_[placedFields[m]], value));
        }
    }

    // One byte per list of each family: how many of its entries hold a number.
    void putCounts(std::span<const Family> families, std::size_t offset, std::string& payload) const {
        for (const Family family : families) {
            for (const NumberList& list : table_.lists()) {
                if (list.family != family)
                    continue;
                int count = 0;
                for (int j = 0; j < kListLength; ++j)
                    count += config_.text(static_cast<FieldId>(list.first + j)).empty() ? 0 : 1;
                payload[offset++] = static_cast<char>(count);
            }
        }
    }

    std::uint8_t polarityBits() const {
        unsigned bits = 0;
        for (int input = 1; input <= 8; ++input)
            bits |= flag(Family::NC_IN, input) ? 1u << (8 - input) : 0u;
        return static_cast<std::uint8_t>(bits);
    }

    std::uint8_t failureBits() const {
        unsigned bits = 0;
        const auto flags = failureFlags();
        for (std::size_t bit = 0; bit < flags.size(); ++bit)
            bits |= flag(flags[bit]) ? 0u : 1u << bit;
        return static_cast<std::uint8_t>(bits);
    }

    // Bit k-1: ObjCodeIN<k> is filled and differs from every earlier code, compared as typed.
    std::uint8_t distinctObjectCodes() const {
        const std::vector<FieldId>& codes = table_.family(Family::ObjCodeIN);
        unsigned bits = 0;
        for (std::size_t k = 0; k < codes.size(); ++k) {
            const std::string& code = config_.text(codes[k]);
            const bool repeated = std::any_of(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(k),
                                              [&](FieldId earlier) { return config_.text(earlier) == code; });
            bits |= !code.empty() && !repeated ? 1u << k : 0u;
        }
        return static_cast<std::uint8_t>(bits);
    }

    std::uint8_t checkOutBits() const {
        return static_cast<std::uint8_t>((flag(Family::CheckOut_, 1) ? 1 : 0) |
                                         (flag(Family::CheckOut_, 2) ? 2 : 0));
    }

    const Configuration& config_;
    const FieldTable& table_;
    const DeviceTexts& deviceTexts_;
    FrameWriter writer_;
};

} // namespace

bool SendDataFromForm(const Configuration& config, const DeviceTexts& deviceTexts, FrameSink& sink) {
    return Encoder(config, deviceTexts, sink).run();
}

ConfigImage encodeImage(const Configuration& config, const DeviceTexts& deviceTexts) {
    ConfigImage image;
    SendDataFromForm(config, deviceTexts, image);
    return image;
}

} // namespace qta::transfer
