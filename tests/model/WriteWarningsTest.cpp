#include "model/WriteWarnings.h"

#include <gtest/gtest.h>

namespace qta {
namespace {

struct Shown {
    WriteWarningKind kind;
    std::string field;
    int count;
    bool operator==(const Shown&) const = default;
};

std::vector<Shown> shown(const Configuration& config) {
    std::vector<Shown> out;
    for (const WriteWarning& warning : writeWarnings(config))
        out.push_back({warning.kind, config.table()[warning.field].name, warning.count});
    return out;
}

TEST(WriteWarnings, TheStartUpAndNewConfigurationsWarnOfNothing) {
    Configuration config = Configuration::startup('.');
    EXPECT_TRUE(writeWarnings(config).empty());
    config.applyNew();
    EXPECT_TRUE(writeWarnings(config).empty());
}

TEST(WriteWarnings, AlarmCentreAddressesAndPortsAndLongNumbersAreNamedInTheirOrder) {
    Configuration config = Configuration::startup('.');
    const FieldTable& table = config.table();
    config.setText(table.id("IP_PCO"), "192.168.1.300");
    config.setText(table.id("Port_PCO"), "65536");
    config.setText(table.id("IP_PCO2"), "10.0.0.1");
    config.setText(table.id("Port_PCO2"), "");                 // an address without its port
    config.setText(table.id("TNIN_V_3_1"), "123456789012345"); // 15 characters, as a file may hold
    config.setText(table.id("TNIN_V_3_2"), "12345678901234");  // 14: fits
    config.setText(table.id("TNIN_V_3_3"), "+4219001234567890");
    config.setText(table.id("TNBLK_S_1"), "000000000000000");
    using K = WriteWarningKind;
    EXPECT_EQ(shown(config), (std::vector<Shown>{{K::AddressNotIpv4, "IP_PCO", 1},
                                                 {K::PortOutOfRange, "Port_PCO", 1},
                                                 {K::PortOutOfRange, "Port_PCO2", 1},
                                                 {K::NumbersTooLong, "TNIN_V_3_1", 2},
                                                 {K::NumbersTooLong, "TNBLK_S_1", 1}}));

    // Nothing is changed by the check: the values go as they are if the user wants.
    EXPECT_EQ(config.text(table.id("IP_PCO")), "192.168.1.300");
    config.setText(table.id("IP_PCO"), "");
    config.setText(table.id("Port_PCO"), ""); // an unused centre
    EXPECT_EQ(shown(config).front().field, "Port_PCO2");
}

TEST(WriteWarnings, Ipv4IsFourDottedDecimalsUpTo255) {
    for (const char* good : {"0.0.0.0", "192.168.1.1", "255.255.255.255", "010.001.000.009"})
        EXPECT_TRUE(isIpv4Address(good)) << good;
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "1.2.3.256", "1..3.4", "1.2.3.4.", ".1.2.3", "a.b.c.d",
                            "1.2.3.-4", "1.2.3.+4", "1.2.3.1000", "pco.example.com", " 1.2.3.4", "1.2.3.4 "})
        EXPECT_FALSE(isIpv4Address(bad)) << bad;
}

} // namespace
} // namespace qta
