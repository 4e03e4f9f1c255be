#include "sim/SimOptions.h"
#include "sim/SimFleet.h"

#include <set>

#include <gtest/gtest.h>

namespace qta::sim::test {
namespace {

std::optional<SimOptions> parse(std::vector<std::string> args, std::string* error = nullptr) {
    std::string message;
    auto options = parseSimOptions(args, message);
    if (error != nullptr)
        *error = message;
    return options;
}

TEST(SimOptions, TakeEveryOptionAndRefuseWhatDoesNotFit) {
    // clang-format off
    const auto all = parse({"--connect", "localhost:48006", "--ident-period", "120", "--report-period", "300",
                            "--relock-after", "2500", "--memory", "m.bin", "--events", "e.bin", "--baud", "0",
                            "--corrupt-echo", "0.25", "--silent-after", "12", "--drop-after", "0", "--garbage",
                            "--split", "--join", "--seed", "99", "--reconnect-pause", "500",
                            "--lock-failure-options", "--verbose"});
    // clang-format on
    ASSERT_TRUE(all);
    EXPECT_EQ(all->mode, SimOptions::Mode::Connect);
    EXPECT_EQ(all->device.transport, Transport::Network);
    EXPECT_EQ(all->host, "localhost");
    EXPECT_EQ(all->port, 48006);
    EXPECT_EQ(all->device.identPeriod, Micros(120000));
    EXPECT_EQ(all->device.reportPeriod, Micros(300000));
    EXPECT_EQ(all->device.relockAfter, Micros(2500000));
    EXPECT_EQ(all->memoryFile, "m.bin");
    EXPECT_EQ(all->eventsFile, "e.bin");
    EXPECT_EQ(all->baud, 0);
    EXPECT_EQ(all->device.faults.corruptEcho, 0.25);
    EXPECT_EQ(all->device.faults.silentAfter, 12u);
    EXPECT_EQ(all->device.faults.dropAfter, 0u);
    EXPECT_TRUE(all->device.faults.garbage && all->split && all->join && all->verbose);
    EXPECT_FALSE(all->device.optionBoxesFree);
    EXPECT_EQ(all->device.seed, 99u);
    EXPECT_EQ(all->reconnectPause, Micros(500000));

    const auto pty = parse({"--pty", "--link", "/tmp/ttyQTA"});
    ASSERT_TRUE(pty);
    EXPECT_EQ(pty->device.transport, Transport::Serial);
    EXPECT_EQ(pty->baud, 9600);
    EXPECT_EQ(pty->linkPath, "/tmp/ttyQTA");

    std::string error;
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {},                                  // no link
             {"--pty", "--connect", "h:1"},       // two links
             {"--pty", "--split"},                // a network fault on the pty
             {"--connect", "h:1", "--link", "x"}, // a pty option on the network
             {"--connect", "nohost"},             // no port
             {"--connect", "h:0"},                // port 0
             {"--pty", "--baud", "-1"},           // negative baud
             {"--pty", "--corrupt-echo", "1.5"},  // not a chance
             {"--pty", "--ident-period", "0"},    // no period
             {"--pty", "--silent-after"},         // missing value
             {"--pty", "--frobnicate"},           // unknown
         }) {
        EXPECT_FALSE(parse(wrong, &error)) << testing::PrintToString(wrong);
        EXPECT_FALSE(error.empty());
    }
}

TEST(SimOptions, AFleetImitatesGprsAndGivesItsFaultsToAShareSpreadOverIt) {
    const auto options =
        parse({"--connect", "127.0.0.1:48006", "--fleet", "20", "--spread", "30", "--latency", "300",
               "--rate", "1200", "--faulty", "0.2", "--drop-after", "100", "--seed", "7"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->fleet, 20);
    EXPECT_EQ(options->spread, std::chrono::seconds(30));
    EXPECT_EQ(options->latency, std::chrono::milliseconds(300));
    EXPECT_EQ(options->rate, 1200);
    std::string error;
    EXPECT_FALSE(parse({"--pty", "--fleet", "2"}, &error));
    EXPECT_EQ(error, "--fleet, --latency and --rate imitate GPRS: use them with --connect");
    EXPECT_FALSE(parse({"--connect", "h:1", "--fleet", "2", "--memory", "m.bin"}));
    EXPECT_FALSE(parse({"--connect", "h:1", "--fleet", "0"}));
    EXPECT_FALSE(parse({"--connect", "h:1", "--faulty", "1.5"}));

    const auto members = fleetMembers(options->device, options->fleet, options->faulty, false);
    ASSERT_EQ(members.size(), 20u);
    std::set<std::string> accounts;
    std::set<std::string> numbers;
    std::vector<std::size_t> faulty;
    for (std::size_t i = 0; i < members.size(); ++i) {
        accounts.insert(members[i].account);
        numbers.insert(members[i].listeningNumber);
        EXPECT_EQ(members[i].account.size(), 4u);
        if (members[i].faulty) {
            faulty.push_back(i);
            EXPECT_EQ(members[i].device.faults.dropAfter, 100u);
        } else {
            EXPECT_FALSE(members[i].device.faults.dropAfter) << "the others run clean";
        }
        // Each device's memory is its own (what it holds is read back end to end).
        if (i > 0) {
            EXPECT_NE(members[i].memory.bytes(), members[i - 1].memory.bytes());
        }
    }
    EXPECT_EQ(accounts.size(), 20u);
    EXPECT_EQ(numbers.size(), 20u);
    EXPECT_EQ(faulty, (std::vector<std::size_t>{4, 9, 14, 19}));
    EXPECT_EQ(fleetMembers(options->device, 20, 0.2, false)[3].account, members[3].account)
        << "from the seed";
}

} // namespace
} // namespace qta::sim::test
