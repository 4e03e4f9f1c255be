#include "ImageMap.h"

#include "ConfigImage.h"
#include "model/FieldTable.h"

#include <array>
#include <stdexcept>

namespace qta::transfer::detail {
namespace {

using E = Encoding;
using K = RegionKind;

constexpr std::array kParameterFields = {
    PlacedFamily{30, 1, E::Byte, "Auto_1"},     PlacedFamily{31, 1, E::BcdHour, "Auto_2"},
    PlacedFamily{32, 1, E::Byte, "DELAY_IN"},   PlacedFamily{40, 1, E::Byte, "DELAY_OUT"},
    PlacedFamily{44, 1, E::Byte, "DELAY_AIN"},  PlacedFamily{46, 2, E::Tenths, "UMAX_AIN"},
    PlacedFamily{47, 2, E::Tenths, "UMIN_AIN"},
};
constexpr std::array kAccessFields = {
    PlacedFamily{0, 32, E::Text32, "editAPN"},
    PlacedFamily{32, 32, E::Text32, "Pass"},
};
constexpr std::array kAlarmCentre1Fields = {
    PlacedFamily{0, 16, E::Text16, "IP_PCO"},
    PlacedFamily{16, 16, E::Text16, "Port_PCO"},
    PlacedFamily{32, 16, E::Byte, "TestPCO"},
};
constexpr std::array kAlarmCentre2Fields = {
    PlacedFamily{0, 16, E::Text16, "IP_PCO2"},
    PlacedFamily{16, 16, E::Text16, "Port_PCO2"},
    PlacedFamily{32, 16, E::Text16, "SMS_PCO"},
};
constexpr std::array kDtmfBlockFields = {
    PlacedFamily{0, 16, E::Text16, "DTMF_BLOCK"},
};

constexpr std::array kRegions = {
    Region{0x0000, K::NumberSlots, "TNIN_V_"},
    Region{0x1000, K::NumberSlots, "TNIN_S_"},
    Region{0x2000, K::TextSlots, "T_SMS_IN"},
    Region{0x2400, K::TextSlots, "T_SMS_RIN"},
    // The analog inputs keep their SMS list before the voice list.
    Region{0x2800, K::NumberSlots, "TNAIN_S_"},
    Region{0x2C00, K::NumberSlots, "TNAIN_V_"},
    Region{0x3000, K::TextSlots, "T_SMS_AIN"},
    Region{0x3100, K::TextSlots, "T_SMS_RAIN"},
    Region{0x3200, K::NumberSlots, "TNOUT_V_"},
    Region{0x3A00, K::NumberSlots, "TNOUT_S_"},
    Region{0x4200, K::NumberSlots, "TNSSMS_"},
    Region{0x4400, K::NumberSlots, "TNLS_"},
    Region{0x4600, K::NumberSlots, "DTMF_OUT_ON_"},
    Region{0x4640, K::NumberSlots, "DTMF_OUT_OFF_"},
    Region{0x4680, K::ParameterBlock, {}, kParameterFields},
    Region{0x46C0, K::Block, {}, kAccessFields},
    Region{0x4700, K::TextSlots, "T_SMS_OUT_ON_"},
    Region{0x4900, K::TextSlots, "T_SMS_OUT_OFF_"},
    Region{0x4B00, K::DeviceTexts},
    Region{0x4CC0, K::Empty},
    Region{0x4D00, K::ObjectCodes, "ObjCodeIN"},
    Region{0x4D80, K::AlarmCentre1, {}, kAlarmCentre1Fields},
    Region{0x4DC0, K::Block, {}, kAlarmCentre2Fields},
    Region{0x4E00, K::EventEntries, "EventCodeIN"},
    Region{0x4E80, K::Block, {}, kDtmfBlockFields},
    Region{0x4EC0, K::BlockingBlock},
    Region{0x4F00, K::TextSlots, "MemoBlock_"},
    Region{0x5000, K::NumberSlots, "TNBLK_V_"},
    Region{0x5200, K::NumberSlots, "TNBLK_S_"},
};

constexpr std::array<std::string_view, 8> kParameterCountFamilies = {
    "TNIN_V_", "TNIN_S_", "TNAIN_V_", "TNAIN_S_", "TNOUT_V_", "TNOUT_S_", "TNSSMS_", "TNLS_",
};
constexpr std::array<std::string_view, 2> kBlockingCountFamilies = {"TNBLK_V_", "TNBLK_S_"};
constexpr std::array<std::string_view, 3> kFailureFlags = {"CheckBox230V", "CheckBoxAku", "CheckBoxJam"};

std::size_t computedSize(const Region& region) {
    const auto members = [&] {
        return FieldTable::instance().family(region.family).size();
    };
    switch (region.kind) {
    case K::NumberSlots:
    case K::ObjectCodes:
    case K::EventEntries:
        return kEntrySize * members();
    case K::TextSlots:
        return kTextSlotSize * members();
    case K::DeviceTexts:
        return kDeviceTextFrames * kPayloadSize;
    case K::Block:
    case K::ParameterBlock:
    case K::AlarmCentre1:
    case K::BlockingBlock:
    case K::Empty:
        return kPayloadSize;
    }
    return kPayloadSize;
}

// The sizes, worked out once. The table is written by hand: a gap or an overlap
// would shift every later field, so it is checked to tile the image exactly.
const std::array<std::size_t, kRegions.size()>& regionSizes() {
    static const auto sizes = [] {
        std::array<std::size_t, kRegions.size()> result{};
        std::size_t next = 0;
        for (std::size_t i = 0; i < kRegions.size(); ++i) {
            if (kRegions[i].start != next)
                throw std::logic_error("the image map has a gap or an overlap");
            result[i] = computedSize(kRegions[i]);
            next += result[i];
        }
        if (next != kImageSize)
            throw std::logic_error("the image map does not end with the ConfigImage");
        return result;
    }();
    return sizes;
}

} // namespace

std::size_t widthOf(Encoding encoding) {
    switch (encoding) {
    case E::Text16:
        return 16;
    case E::Text32:
        return 32;
    case E::Byte:
    case E::BcdHour:
    case E::Tenths:
        return 1;
    }
    return 1;
}

std::size_t regionSize(const Region& region) {
    return regionSizes()[static_cast<std::size_t>(&region - kRegions.data())];
}

std::span<const Region> imageMap() {
    regionSizes();
    return kRegions;
}

const Region* regionAt(std::uint16_t address) {
    const auto& sizes = regionSizes();
    for (std::size_t i = 0; i < kRegions.size(); ++i) {
        if (address >= kRegions[i].start && address < kRegions[i].start + sizes[i])
            return &kRegions[i];
    }
    return nullptr;
}

std::span<const std::string_view> parameterCountFamilies() {
    return kParameterCountFamilies;
}
std::span<const std::string_view> blockingCountFamilies() {
    return kBlockingCountFamilies;
}
std::span<const std::string_view> failureFlags() {
    return kFailureFlags;
}

} // namespace qta::transfer::detail
