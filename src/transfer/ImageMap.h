#pragma once

// Where each field lives in the ConfigImage; shared by the encoder and the decoder.
#include "model/FieldTable.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qta::transfer::detail {

inline constexpr std::size_t kEntrySize = 16;     // number slot, object code, event entry
inline constexpr std::size_t kTextSlotSize = 128; // two Frames
inline constexpr std::size_t kDeviceTextFrames = 7;

// How one value sits in a block.
enum class Encoding {
    Text16, // length byte, up to 15 characters, fill
    Text32, // length byte, up to 31 characters, fill
    Byte,   // whole number 0..255
    BcdHour,
    Tenths, // volts in tenths, 0..255
};

std::size_t widthOf(Encoding encoding);

// A family of fields placed in one block: member m at offset + m * stride.
struct PlacedFamily {
    std::size_t offset;
    std::size_t stride;
    Encoding encoding;
    Family family;
};

enum class RegionKind {
    NumberSlots,    // 16 bytes per field of `family`
    TextSlots,      // 128 bytes per field of `family`
    ObjectCodes,    // 16 bytes per field of `family` (ObjCodeIN)
    EventEntries,   // 16 bytes per field of `family` (EventCodeIN) with its PartCodeIN and ZoneCodeIN
    Block,          // one Frame of placed fields
    ParameterBlock, // placed fields, list counts, polarity and failure bits
    AlarmCentre1,   // placed fields and the distinct-object-code mask
    BlockingBlock,  // blocking counts and the CheckOut bits
    DeviceTexts,    // seven Frames written, never read
    Empty,          // one Frame of 0x00
};

struct Region {
    std::uint16_t start;
    RegionKind kind;
    std::optional<Family> family = {}; // the regions of slots and entries
    std::span<const PlacedFamily> fields = {};
};

// The regions in ascending address order; together they cover 0x0000..0x53FF.
std::span<const Region> imageMap();
// The region holding `address`, or nullptr outside the image.
const Region* regionAt(std::uint16_t address);
// `region` must be one of imageMap()'s.
std::size_t regionSize(const Region& region);
// The fields of the region's family, one per slot or entry; none for a block.
std::span<const FieldId> members(const Region& region);

// The families whose fields the region carries. Over the whole map every field
// is carried once, except NO_IN<k>: an input's polarity is one bit, NC_IN<k>,
// and NO_IN<k> is only its other choice.
std::vector<Family> carriedFamilies(const Region& region);

// Parameter block bytes 0..29 and blocking block bytes 0..1: one count per list
// of these families, in this order.
std::span<const Family> parameterCountFamilies();
std::span<const Family> blockingCountFamilies();

inline constexpr std::size_t kPolarityOffset = 50;   // bit 8-k: NC_IN<k>
inline constexpr std::size_t kFailureOffset = 51;    // bit set: check box NOT checked
inline constexpr std::size_t kObjectMaskOffset = 48; // in the first alarm-centre block
inline constexpr std::size_t kCheckOutOffset = 2;    // in the blocking block
inline constexpr std::size_t kBlockingCountOffset = 0;

// The failure check boxes by bit number.
std::span<const Family> failureFlags();

} // namespace qta::transfer::detail
