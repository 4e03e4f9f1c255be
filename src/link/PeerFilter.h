#pragma once

#include <sys/socket.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qta::link {

// The networks a peer may connect from, each an IPv4 or IPv6 address with an
// optional prefix length ("192.168.1.0/24", "2001:db8::/32"); a bare address is a
// single host. An IPv4 peer reached through an IPv6 socket (::ffff:a.b.c.d)
// matches the IPv4 networks. No networks at all allows every peer.
class PeerFilter {
public:
    // The filter of `networks`, or nothing with `why` naming the first value that
    // is not an address or network.
    static std::optional<PeerFilter> parse(const std::vector<std::string>& networks, std::string& why);

    // Whether `text` is one numeric IPv4 or IPv6 address, as a server may listen on.
    static bool isAddress(const std::string& text);

    bool allowsAll() const { return networks_.empty(); }
    // Whether the peer at `peer` (an accepted socket's address) may stay connected.
    // An address of another family than IPv4 or IPv6 is refused unless all are allowed.
    bool allows(const sockaddr* peer, socklen_t length) const;

private:
    // Every address is kept as IPv6, IPv4 ones mapped, so one comparison serves both.
    using Address = std::array<std::uint8_t, 16>;
    struct Network {
        Address address;
        int prefix; // leading bits that must match, 0 to 128
    };

    static std::optional<Network> parseNetwork(const std::string& text);
    static bool within(const Address& address, const Network& network);

    std::vector<Network> networks_;
};

} // namespace qta::link
