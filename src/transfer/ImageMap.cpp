#include "ImageMap.h"

#include "ConfigImage.h"
#include "model/FieldTable.h"

#include <array>
#include <stdexcept>

namespace qta::transfer::detail {
namespace {

using E = Encoding;
using K = RegionKind;
using F = Family;

constexpr std::array kParameterFields = {
    PlacedFamily{30, 1, E::Byte, F::Auto_1},     PlacedFamily{31, 1, E::BcdHour, F::Auto_2},
    PlacedFamily{32, 1, E::Byte, F::DELAY_IN},   PlacedFamily{40, 1, E::Byte, F::DELAY_OUT},
    PlacedFamily{44, 1, E::Byte, F::DELAY_AIN},  PlacedFamily{46, 2, E::Tenths, F::UMAX_AIN},
    PlacedFamily{47, 2, E::Tenths, F::UMIN_AIN},
};
constexpr std::array kAccessFields = {
    PlacedFamily{0, 32, E::Text32, F::editAPN},
    PlacedFamily{32, 32, E::Text32, F::Pass},
};
constexpr std::array kAlarmCentre1Fields = {
    PlacedFamily{0, 16, E::Text16, F::IP_PCO},
    PlacedFamily{16, 16, E::Text16, F::Port_PCO},
    PlacedFamily{32, 16, E::Byte, F::TestPCO},
};
constexpr std::array kAlarmCentre2Fields = {
    PlacedFamily{0, 16, E::Text16, F::IP_PCO2},
    PlacedFamily{16, 16, E::Text16, F::Port_PCO2},
    PlacedFamily{32, 16, E::Text16, F::SMS_PCO},
};
constexpr std::array kDtmfBlockFields = {
    PlacedFamily{0, 16, E::Text16, F::DTMF_BLOCK},
};

constexpr std::array kRegions = {
    Region{0x0000, K::NumberSlots, F::TNIN_V_},
    Region{0x1000, K::NumberSlots, F::TNIN_S_},
    Region{0x2000, K::TextSlots, F::T_SMS_IN},
    Region{0x2400, K::TextSlots, F::T_SMS_RIN},
    // The analog inputs keep their SMS list before the voice list.
    Region{0x2800, K::NumberSlots, F::TNAIN_S_},
    Region{0x2C00, K::NumberSlots, F::TNAIN_V_},
    Region{0x3000, K::TextSlots, F::T_SMS_AIN},
    Region{0x3100, K::TextSlots, F::T_SMS_RAIN},
    Region{0x3200, K::NumberSlots, F::TNOUT_V_},
    Region{0x3A00, K::NumberSlots, F::TNOUT_S_},
    Region{0x4200, K::NumberSlots, F::TNSSMS_},
    Region{0x4400, K::NumberSlots, F::TNLS_},
    Region{0x4600, K::NumberSlots, F::DTMF_OUT_ON_},
    Region{0x4640, K::NumberSlots, F::DTMF_OUT_OFF_},
    Region{0x4680, K::ParameterBlock, {}, kParameterFields},
    Region{0x46C0, K::Block, {}, kAccessFields},
    Region{0x4700, K::TextSlots, F::T_SMS_OUT_ON_},
    Region{0x4900, K::TextSlots, F::T_SMS_OUT_OFF_},
    Region{0x4B00, K::DeviceTexts},
    Region{0x4CC0, K::Empty},
    Region{0x4D00, K::ObjectCodes, F::ObjCodeIN},
    Region{0x4D80, K::AlarmCentre1, {}, kAlarmCentre1Fields},
    Region{0x4DC0, K::Block, {}, kAlarmCentre2Fields},
    Region{0x4E00, K::EventEntries, F::EventCodeIN},
    Region{0x4E80, K::Block, {}, kDtmfBlockFields},
    Region{0x4EC0, K::BlockingBlock},
    Region{0x4F00, K::TextSlots, F::MemoBlock_},
    Region{0x5000, K::NumberSlots, F::TNBLK_V_},
    Region{0x5200, K::NumberSlots, F::TNBLK_S_},
};

constexpr std::array kParameterCountFamilies = {
    F::TNIN_V_, F::TNIN_S_, F::TNAIN_V_, F::TNAIN_S_, F::TNOUT_V_, F::TNOUT_S_, F::TNSSMS_, F::TNLS_,
};
constexpr std::array kBlockingCountFamilies = {F::TNBLK_V_, F::TNBLK_S_};
constexpr std::array kFailureFlags = {F::CheckBox230V, F::CheckBoxAku, F::CheckBoxJam};

std::size_t computedSize(const Region& region) {
    switch (region.kind) {
    case K::NumberSlots:
    case K::ObjectCodes:
    case K::EventEntries:
        return kEntrySize * members(region).size();
    case K::TextSlots:
        return kTextSlotSize * members(region).size();
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

std::span<const FieldId> members(const Region& region) {
    if (!region.family)
        return {};
    return FieldTable::instance().family(*region.family);
}

std::vector<Family> carriedFamilies(const Region& region) {
    std::vector<Family> families;
    if (region.family)
        families.push_back(*region.family);
    for (const PlacedFamily& placed : region.fields)
        families.push_back(placed.family);
    switch (region.kind) {
    case K::EventEntries:
        families.insert(families.end(), {F::PartCodeIN, F::ZoneCodeIN});
        break;
    case K::ParameterBlock:
        families.push_back(F::NC_IN);
        families.insert(families.end(), kFailureFlags.begin(), kFailureFlags.end());
        break;
    case K::BlockingBlock:
        families.push_back(F::CheckOut_);
        break;
    default:
        break;
    }
    return families;
}

std::span<const Family> parameterCountFamilies() {
    return kParameterCountFamilies;
}
std::span<const Family> blockingCountFamilies() {
    return kBlockingCountFamilies;
}
std::span<const Family> failureFlags() {
    return kFailureFlags;
}

} // namespace qta::transfer::detail
