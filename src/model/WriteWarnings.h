#pragma once

#include "Configuration.h"

#include <vector>

namespace qta {

// What a write would put into the device that it is unlikely to work with. Loaded
// values are kept as they come, so these are warnings the user may send anyway.
enum class WriteWarningKind {
    AddressNotIpv4, // an alarm-centre address that is set but is not a dotted IPv4 address
    PortOutOfRange, // an alarm-centre port outside 1..65535 (set, or its address is)
    NumbersTooLong, // a number list holding entries longer than a number slot takes
};

struct WriteWarning {
    WriteWarningKind kind;
    FieldId field; // the field concerned; for a list, its first entry that is too long
    int count = 1; // NumbersTooLong: how many entries of the list are too long
};

// The longest number a number slot of the device holds.
inline constexpr std::size_t kLongestNumber = 14;

// The warnings in the order of the alarm-centre fields, then of the lists.
std::vector<WriteWarning> writeWarnings(const Configuration& config);

// Four dot-separated decimal parts of 0..255, one to three digits each.
bool isIpv4Address(std::string_view text);

} // namespace qta
