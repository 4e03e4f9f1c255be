// Parses arbitrary --allow values and matches arbitrary peers against what
// parsed: a value is either refused with a reason or kept, a filter that kept
// values never allows all, and each value that parsed lets its own address in.
//
// Input: values separated by newlines; the last 16 bytes (when there are that
// many) are also tried as an IPv6 peer and their first 4 as an IPv4 peer.
#include "link/PeerFilter.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using qta::link::PeerFilter;

std::vector<std::string> split(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> values(1);
    for (std::size_t at = 0; at < size; ++at) {
        if (data[at] == '\n')
            values.emplace_back();
        else
            values.back() += static_cast<char>(data[at]);
    }
    return values;
}

// The value's own address (before any '/') as a peer, when it is one.
bool admitsItsAddress(const PeerFilter& filter, const std::string& value) {
    const std::string host = value.substr(0, value.find('/'));
    sockaddr_in ipv4{};
    ipv4.sin_family = AF_INET;
    if (inet_pton(AF_INET, host.c_str(), &ipv4.sin_addr) == 1)
        return filter.allows(reinterpret_cast<const sockaddr*>(&ipv4), sizeof ipv4);
    sockaddr_in6 ipv6{};
    ipv6.sin6_family = AF_INET6;
    if (inet_pton(AF_INET6, host.c_str(), &ipv6.sin6_addr) == 1)
        return filter.allows(reinterpret_cast<const sockaddr*>(&ipv6), sizeof ipv6);
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> values = split(data, size);
    std::string why;
    const auto filter = PeerFilter::parse(values, why);
    if (!filter) {
        if (why.empty())
            __builtin_trap();
        return 0;
    }
    if (filter->allowsAll())
        __builtin_trap();
    for (const std::string& value : values)
        if (!admitsItsAddress(*filter, value))
            __builtin_trap();
    if (size >= 16) {
        sockaddr_in6 ipv6{};
        ipv6.sin6_family = AF_INET6;
        std::memcpy(&ipv6.sin6_addr, data + size - 16, 16);
        filter->allows(reinterpret_cast<const sockaddr*>(&ipv6), sizeof ipv6);
        sockaddr_in ipv4{};
        ipv4.sin_family = AF_INET;
        std::memcpy(&ipv4.sin_addr, data + size - 16, 4);
        filter->allows(reinterpret_cast<const sockaddr*>(&ipv4), sizeof ipv4);
        // A length too short for its family is refused, never read past.
        filter->allows(reinterpret_cast<const sockaddr*>(&ipv6), sizeof ipv4);
    }
    return 0;
}
