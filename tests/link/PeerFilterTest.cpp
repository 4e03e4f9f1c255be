#include "link/PeerFilter.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/un.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qta::link {
namespace {

PeerFilter filterOf(const std::vector<std::string>& networks) {
    std::string why;
    const auto filter = PeerFilter::parse(networks, why);
    EXPECT_TRUE(filter.has_value()) << why;
    return filter.value_or(PeerFilter{});
}

// The peer at `text`, an IPv4 or an IPv6 address, as accept() gives it.
bool allowsPeer(const PeerFilter& filter, const std::string& text) {
    sockaddr_in ipv4{};
    ipv4.sin_family = AF_INET;
    ipv4.sin_port = htons(40000);
    if (inet_pton(AF_INET, text.c_str(), &ipv4.sin_addr) == 1)
        return filter.allows(reinterpret_cast<const sockaddr*>(&ipv4), sizeof ipv4);
    sockaddr_in6 ipv6{};
    ipv6.sin6_family = AF_INET6;
    EXPECT_EQ(inet_pton(AF_INET6, text.c_str(), &ipv6.sin6_addr), 1) << text;
    return filter.allows(reinterpret_cast<const sockaddr*>(&ipv6), sizeof ipv6);
}

struct Case {
    std::vector<std::string> networks;
    std::vector<std::string> allowed;
    std::vector<std::string> refused;
};

const Case kCases[] = {
    // No networks: every peer.
    {{}, {"203.0.113.9", "2001:db8::1", "::ffff:10.1.2.3"}, {}},
    // IPv4 networks and a host, at their edges.
    {{"192.168.4.0/22", "10.0.0.7", "172.16.0.0/12"},
     {"192.168.4.0", "192.168.7.255", "10.0.0.7", "172.31.255.1"},
     {"192.168.8.0", "192.168.3.255", "10.0.0.8", "172.32.0.1"}},
    // An IPv4 peer reached through an IPv6 socket matches; the same 32 bits elsewhere in IPv6 do not.
    {{"198.51.100.0/24"},
     {"198.51.100.20", "::ffff:198.51.100.20"},
     {"::ffff:198.51.101.20", "::198.51.100.20", "2001:db8::1"}},
    // IPv6 networks by prefix, never an IPv4 peer.
    {{"2001:db8:aa80::/41", "::1"},
     {"2001:db8:aa80::5", "2001:db8:aaff:ffff::1", "::1"},
     {"2001:db8:ab00::1", "::2", "127.0.0.1"}},
    // Zero prefixes: a whole family.
    {{"0.0.0.0/0"}, {"255.255.255.255", "::ffff:1.2.3.4"}, {"2001:db8::1"}},
    {{"::/0"}, {"2001:db8::1", "8.8.8.8"}, {}},
};

TEST(PeerFilter, APeerIsAllowedExactlyWhenItIsInOneOfTheNetworks) {
    for (const Case& c : kCases) {
        const PeerFilter filter = filterOf(c.networks);
        EXPECT_EQ(filter.allowsAll(), c.networks.empty());
        for (const std::string& peer : c.allowed)
            EXPECT_TRUE(allowsPeer(filter, peer)) << peer << " in " << testing::PrintToString(c.networks);
        for (const std::string& peer : c.refused)
            EXPECT_FALSE(allowsPeer(filter, peer))
                << peer << " outside " << testing::PrintToString(c.networks);
    }
}

TEST(PeerFilter, OtherFamiliesAndShortAddressesAreRefused) {
    const PeerFilter filter = filterOf({"0.0.0.0/0", "::/0"});
    sockaddr_un local{};
    local.sun_family = AF_UNIX;
    EXPECT_FALSE(filter.allows(reinterpret_cast<const sockaddr*>(&local), sizeof local));
    sockaddr_in6 peer{};
    peer.sin6_family = AF_INET6;
    EXPECT_FALSE(filter.allows(reinterpret_cast<const sockaddr*>(&peer), sizeof(sockaddr_in)));
    EXPECT_FALSE(filter.allows(nullptr, 0));
}

TEST(PeerFilter, ValuesThatAreNoNetworkAreRefusedByName) {
    const std::vector<std::string> wrong = {"",
                                            "example.org",
                                            "192.168.1.0/33",
                                            "10.0.0.0/",
                                            "10.0.0.0/+8",
                                            "10.0.0.0/ 8",
                                            "10.0.0.0/8/8",
                                            "::/129",
                                            "1.2.3",
                                            "fe80::1%eth0",
                                            "256.1.1.1",
                                            std::string("10.0.0.1\0x", 10)};
    for (const std::string& value : wrong) {
        std::string why;
        EXPECT_FALSE(PeerFilter::parse({"10.0.0.0/8", value}, why).has_value()) << value;
        EXPECT_EQ(why, "not an IPv4 or IPv6 address or network: \"" + value + "\"");
    }
}

TEST(PeerFilter, AListeningAddressIsOneAddressWithoutAPrefix) {
    for (const std::string address : {"127.0.0.1", "0.0.0.0", "::1", "2001:db8::7", "::ffff:10.0.0.1"})
        EXPECT_TRUE(PeerFilter::isAddress(address)) << address;
    for (const std::string wrong : {"", "10.0.0.0/8", "::1/128", "localhost", "10.0.0.1 ", "10.0.0.1:48006"})
        EXPECT_FALSE(PeerFilter::isAddress(wrong)) << wrong;
}

} // namespace
} // namespace qta::link
