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

bool allowsIpv4(const PeerFilter& filter, const char* text) {
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(40000);
    EXPECT_EQ(inet_pton(AF_INET, text, &peer.sin_addr), 1) << text;
    return filter.allows(reinterpret_cast<const sockaddr*>(&peer), sizeof peer);
}

bool allowsIpv6(const PeerFilter& filter, const char* text) {
    sockaddr_in6 peer{};
    peer.sin6_family = AF_INET6;
    EXPECT_EQ(inet_pton(AF_INET6, text, &peer.sin6_addr), 1) << text;
    return filter.allows(reinterpret_cast<const sockaddr*>(&peer), sizeof peer);
}

TEST(PeerFilter, NoNetworksAllowsEveryPeer) {
    const PeerFilter filter = filterOf({});
    EXPECT_TRUE(filter.allowsAll());
    EXPECT_TRUE(allowsIpv4(filter, "203.0.113.9"));
    EXPECT_TRUE(allowsIpv6(filter, "2001:db8::1"));
}

TEST(PeerFilter, Ipv4NetworksAndHostsMatchByPrefix) {
    const PeerFilter filter = filterOf({"192.168.4.0/22", "10.0.0.7", "172.16.0.0/12"});
    EXPECT_FALSE(filter.allowsAll());
    EXPECT_TRUE(allowsIpv4(filter, "192.168.4.0"));
    EXPECT_TRUE(allowsIpv4(filter, "192.168.7.255"));
    EXPECT_FALSE(allowsIpv4(filter, "192.168.8.0"));
    EXPECT_FALSE(allowsIpv4(filter, "192.168.3.255"));
    EXPECT_TRUE(allowsIpv4(filter, "10.0.0.7"));
    EXPECT_FALSE(allowsIpv4(filter, "10.0.0.8"));
    EXPECT_TRUE(allowsIpv4(filter, "172.31.255.1"));
    EXPECT_FALSE(allowsIpv4(filter, "172.32.0.1"));
}

TEST(PeerFilter, MappedIpv6PeersMatchIpv4NetworksButPlainIpv6DoesNot) {
    const PeerFilter filter = filterOf({"198.51.100.0/24"});
    EXPECT_TRUE(allowsIpv6(filter, "::ffff:198.51.100.20"));
    EXPECT_FALSE(allowsIpv6(filter, "::ffff:198.51.101.20"));
    // The same 32 bits outside the mapped range are another address.
    EXPECT_FALSE(allowsIpv6(filter, "::198.51.100.20"));
    EXPECT_FALSE(allowsIpv6(filter, "2001:db8::1"));
}

TEST(PeerFilter, Ipv6NetworksMatchByPrefixAndNeverAnIpv4Peer) {
    const PeerFilter filter = filterOf({"2001:db8:aa80::/41", "::1"});
    EXPECT_TRUE(allowsIpv6(filter, "2001:db8:aa80::5"));
    EXPECT_TRUE(allowsIpv6(filter, "2001:db8:aaff:ffff::1"));
    EXPECT_FALSE(allowsIpv6(filter, "2001:db8:ab00::1"));
    EXPECT_TRUE(allowsIpv6(filter, "::1"));
    EXPECT_FALSE(allowsIpv6(filter, "::2"));
    EXPECT_FALSE(allowsIpv4(filter, "127.0.0.1"));
}

TEST(PeerFilter, ZeroPrefixesAllowTheirWholeFamily) {
    const PeerFilter ipv4 = filterOf({"0.0.0.0/0"});
    EXPECT_TRUE(allowsIpv4(ipv4, "255.255.255.255"));
    EXPECT_TRUE(allowsIpv6(ipv4, "::ffff:1.2.3.4"));
    EXPECT_FALSE(allowsIpv6(ipv4, "2001:db8::1"));
    const PeerFilter any = filterOf({"::/0"});
    EXPECT_TRUE(allowsIpv6(any, "2001:db8::1"));
    EXPECT_TRUE(allowsIpv4(any, "8.8.8.8"));
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

} // namespace
} // namespace qta::link
