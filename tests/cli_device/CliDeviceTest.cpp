// read, write, log and watch over USB, end to end: qta710-cli against qta710-sim
// on a pseudo-terminal, with the device's faults.
#include "ChildProcess.h"
#include "CliRunner.h"
#include "DeviceRun.h"

#include "model/Configuration.h"
#include "model/PffFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

namespace qta::test {
namespace {

// The addresses of the Frames the trace shows going to the device, in order.
std::vector<std::string> framesSent(const std::string& trace) {
    std::vector<std::string> addresses;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        const auto arrow = line.find(" > ");
        if (arrow != std::string::npos && line.size() - arrow - 2 == 66 * 3)
            addresses.push_back(line.substr(arrow + 3, 5));
    }
    return addresses;
}

TEST(CliDevice, WhatIsWrittenIsReadBackAndTheNewAccessCodeUnlocksIt) {
    TempDir dir;
    Configuration config = Configuration::startup('.');
    const auto& table = config.table();
    config.setText(table.id("TNIN_V_3_1"), "5550100");
    config.setText(table.id("T_SMS_IN1"), "Fire in the hall\r\nCall 112");
    config.setText(table.id("UMAX_AIN1"), "12.3");
    config.setText(table.id("editAPN"), "apn.example");
    config.setText(table.id("Pass"), "2468");
    config.setFlag(table.id("NC_IN8"), true);
    config.setText(table.id("IP_PCO"), "pco.example"); // warned about, and written as it is
    ASSERT_TRUE(pff::save(config, dir / "in.pff"));

    VirtualDevice device;
    const CliResult written = runCli(join({{"write"}, device.usb("6173"), {dir / "in.pff"}}));
    ASSERT_EQ(written.exitCode, 0) << written.err;
    EXPECT_EQ(written.err, "qta710-cli: warning: IP_PCO: \"pco.example\" is not an IPv4 address.\n");

    const CliResult refused = runCli(join({{"read"}, device.usb("6173"), {"-o", dir / "old.pff"}}));
    EXPECT_EQ(refused.exitCode, 3) << "the old code no longer unlocks: " << refused.err;

    const CliResult read = runCli(join({{"read"}, device.usb("2468"), {"-o", dir / "out.pff"}}));
    ASSERT_EQ(read.exitCode, 0) << read.err;
    // (The file holds the SMS text's line break as a blank, and so does the device.)
    EXPECT_TRUE(openPff(dir / "out.pff") == openPff(dir / "in.pff")) << "every field read back as written";
}

TEST(CliDevice, TheEventLogIsWrittenAsTheWindowSavesIt) {
    TempDir dir;
    std::string records(256 * 32, '\xFF');
    records.replace(0, 32, std::string("0712261430Door") + std::string(17, '\0') + '\x4C'); // code 76
    records.replace(32, 32, std::string("0812260905") + std::string(21, '\0') + '\0');      // code 0
    writeFile(dir / "events.bin", records);

    VirtualDevice device({"--events", dir / "events.bin", "--garbage"}); // noise around every report
    const CliResult log = runCli(join({{"log"}, device.usb("6173"), {"-o", dir / "log.txt"}}));
    ASSERT_EQ(log.exitCode, 0) << log.err;
    EXPECT_EQ(readFile(dir / "log.txt"), "07.12.2026   14:30   -  Door  -  Restart\r\n"
                                         "08.12.2026   09:05 GSM jammer detected !\r\n");
}

TEST(CliDevice, AChangedEchoIsResentAndTheWriteStillSucceeds) {
    TempDir dir;
    ASSERT_TRUE(pff::save(Configuration::startup('.'), dir / "in.pff"));
    VirtualDevice device({"--corrupt-echo", "0.05", "--seed", "7"});
    const CliResult written =
        runCli(join({{"write"}, device.usb("6173"), {"--trace", dir / "trace.txt"}, {dir / "in.pff"}}));
    ASSERT_EQ(written.exitCode, 0) << written.err;
    const std::vector<std::string> frames = framesSent(readFile(dir / "trace.txt"));
    EXPECT_GT(frames.size(), 337u) << "some Frames went twice";
    int resentAtOnce = 0;
    for (std::size_t i = 1; i < frames.size(); ++i)
        resentAtOnce += frames[i] == frames[i - 1];
    EXPECT_EQ(static_cast<std::size_t>(resentAtOnce), frames.size() - 337);
}

TEST(CliDevice, ARefusedCodeASilentAndAVanishedDeviceEachEndTheRun) {
    TempDir dir;
    {
        VirtualDevice device;
        EXPECT_EQ(runCli(join({{"watch"}, device.usb("9999"), {"--count", "1"}})).exitCode, 3);
        const CliResult watched =
            runCli(join({{"watch"}, device.usb("6173"), {"--count", "2", "--switch", "6"}}));
        EXPECT_EQ(watched.exitCode, 0) << watched.err;
        EXPECT_NE(watched.out.find("\n\ninputs="), std::string::npos) << "a blank line between reports";
    }
    {
        VirtualDevice silent({"--silent-after", "20"});
        const auto start = std::chrono::steady_clock::now();
        const CliResult read = runCli(join({{"read"}, silent.usb("6173", "1"), {"-o", dir / "out.pff"}}));
        EXPECT_EQ(read.exitCode, 4) << read.err;
        EXPECT_LT(secondsSince(start), 5.0);
        EXPECT_FALSE(std::filesystem::exists(dir / "out.pff")) << "an incomplete read is not saved";
    }
    {
        VirtualDevice vanishing({"--drop-after", "20"});
        const CliResult log = runCli(join({{"log"}, vanishing.usb("6173", "2"), {"-o", dir / "log.txt"}}));
        EXPECT_TRUE(log.exitCode == 1 || log.exitCode == 4) << log.exitCode << log.err;
    }
}

} // namespace
} // namespace qta::test
