#include "PeerFilter.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstring>

namespace qta::link {

namespace {

constexpr int kMappedPrefix = 96; // the ::ffff:0:0/96 that holds IPv4 in IPv6

std::array<std::uint8_t, 16> mapped(const in_addr& ipv4) {
    std::array<std::uint8_t, 16> address{};
    address[10] = 0xFF;
    address[11] = 0xFF;
    std::memcpy(address.data() + 12, &ipv4, 4);
    return address;
}

std::array<std::uint8_t, 16> fromIpv6(const in6_addr& ipv6) {
    std::array<std::uint8_t, 16> address{};
    std::memcpy(address.data(), &ipv6, 16);
    return address;
}

// A prefix length of plain decimal digits no greater than `most`.
std::optional<int> parsePrefix(const std::string& text, int most) {
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int prefix = std::stoi(text);
    if (prefix > most)
        return std::nullopt;
    return prefix;
}

} // namespace

std::optional<PeerFilter::Network> PeerFilter::parseNetwork(const std::string& text) {
    const auto slash = text.find('/');
    const std::string host = text.substr(0, slash);
    in_addr ipv4{};
    in6_addr ipv6{};
    Network network{};
    int most = 128;
    if (inet_pton(AF_INET, host.c_str(), &ipv4) == 1) {
        network.address = mapped(ipv4);
        most = 32;
    } else if (inet_pton(AF_INET6, host.c_str(), &ipv6) == 1) {
        network.address = fromIpv6(ipv6);
    } else {
        return std::nullopt;
    }
    network.prefix = 128;
    if (slash != std::string::npos) {
        const auto prefix = parsePrefix(text.substr(slash + 1), most);
        if (!prefix)
            return std::nullopt;
        network.prefix = *prefix + (most == 32 ? kMappedPrefix : 0);
    }
    return network;
}

std::optional<PeerFilter> PeerFilter::parse(const std::vector<std::string>& networks, std::string& why) {
    PeerFilter filter;
    for (const std::string& text : networks) {
        // inet_pton stops at an embedded NUL; such a value must not pass as its head.
        const auto network = text.find('\0') == std::string::npos ? parseNetwork(text) : std::nullopt;
        if (!network) {
            why = "not an IPv4 or IPv6 address or network: \"" + text + "\"";
            return std::nullopt;
        }
        filter.networks_.push_back(*network);
    }
    return filter;
}

bool PeerFilter::isAddress(const std::string& text) {
    return text.find('/') == std::string::npos && text.find('\0') == std::string::npos &&
           parseNetwork(text).has_value();
}

bool PeerFilter::within(const Address& address, const Network& network) {
    const int whole = network.prefix / 8;
    if (!std::equal(address.begin(), address.begin() + whole, network.address.begin()))
        return false;
    const int rest = network.prefix % 8;
    if (rest == 0)
        return true;
    const auto mask = static_cast<std::uint8_t>(0xFF << (8 - rest));
    return (address[whole] & mask) == (network.address[whole] & mask);
}

bool PeerFilter::allows(const sockaddr* peer, socklen_t length) const {
    if (allowsAll())
        return true;
    if (peer == nullptr || length < static_cast<socklen_t>(sizeof(sa_family_t)))
        return false;
    Address address{};
    if (peer->sa_family == AF_INET && length >= static_cast<socklen_t>(sizeof(sockaddr_in))) {
        sockaddr_in ipv4{};
        std::memcpy(&ipv4, peer, sizeof ipv4);
        address = mapped(ipv4.sin_addr);
    } else if (peer->sa_family == AF_INET6 && length >= static_cast<socklen_t>(sizeof(sockaddr_in6))) {
        sockaddr_in6 ipv6{};
        std::memcpy(&ipv6, peer, sizeof ipv6);
        address = fromIpv6(ipv6.sin6_addr);
    } else {
        return false;
    }
    return std::any_of(networks_.begin(), networks_.end(),
                       [&](const Network& network) { return within(address, network); });
}

} // namespace qta::link
