// write --verify and --backup, diff and patch with the device, end to end:
// qta710-cli against qta710-sim on a pseudo-terminal, in one connection each.
#include "ChildProcess.h"
#include "CliRunner.h"
#include "DeviceRun.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qta::test {
namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Input 3's voice list holds 17 numbers, the last 0905123456.
Configuration seventeenNumbers() {
    Configuration config = Configuration::startup('.');
    for (int j = 1; j <= 16; ++j)
        config.setText(config.table().id("TNIN_V_", 3, j), "55501" + std::to_string(10 + j));
    config.setText(config.table().id("TNIN_V_3_17"), "0905123456");
    return config;
}

TEST(CliVerify, ACleanWriteVerifiesAndTheBackupKeepsWhatTheDeviceHeld) {
    TempDir dir;
    Configuration first = Configuration::startup('.');
    first.setText(first.table().id("TNLS_1"), "112");
    ASSERT_TRUE(pff::save(first, dir / "first.pff"));
    ASSERT_TRUE(pff::save(seventeenNumbers(), dir / "second.pff"));

    VirtualDevice device;
    const CliResult plain = runCli(join({{"write"}, device.usb("6173"), {dir / "first.pff"}}));
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    const CliResult checked = runCli(join(
        {{"write", "--verify", "--backup", dir / "backup.pff"}, device.usb("6173"), {dir / "second.pff"}}));
    ASSERT_EQ(checked.exitCode, 0) << checked.err;
    EXPECT_EQ(openPff(dir / "backup.pff").text(first.table().id("TNLS_1")), "112") << "read before the write";

    const CliResult same = runCli(join({{"diff"}, device.usb("6173"), {dir / "second.pff"}}));
    EXPECT_EQ(same.exitCode, 0) << same.out << same.err;
    EXPECT_EQ(same.out, "");
    const CliResult other = runCli(join({{"diff"}, device.usb("6173"), {dir / "first.pff"}}));
    EXPECT_EQ(other.exitCode, 1) << other.err;
    EXPECT_TRUE(contains(other.out, "TNIN_V_3_17: 0905123456 -> \n")) << other.out;
    EXPECT_TRUE(contains(other.out, "TNLS_1:  -> 112\n")) << other.out;

    const std::string kept = readFile(dir / "backup.pff");
    const CliResult again =
        runCli(join({{"write", "--backup", dir / "backup.pff"}, device.usb("6173"), {dir / "first.pff"}}));
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.err,
              "qta710-cli: " + (dir / "backup.pff") + " exists already; a backup is never replaced\n");
    EXPECT_EQ(readFile(dir / "backup.pff"), kept);
}

TEST(CliVerify, AByteTheDeviceChangedAfterTheWriteFailsTheVerifyByName) {
    TempDir dir;
    ASSERT_TRUE(pff::save(seventeenNumbers(), dir / "in.pff"));
    // TNIN_V_3_17's slot: 0x0000 + 2 * 512 + 16 * 16 = 0x0500, its first digit at 0x0501.
    VirtualDevice device({"--flip-after-write", "0x0501"});
    const CliResult verified = runCli(join({{"write", "--verify"}, device.usb("6173"), {dir / "in.pff"}}));
    EXPECT_EQ(verified.exitCode, 5) << verified.err;
    EXPECT_EQ(verified.err,
              "qta710-cli: verify: the device holds 1 setting otherwise than written (written -> "
              "read back):\nTNIN_V_3_17: 0905123456 -> 1905123456\n");
}

TEST(CliVerify, APatchOfTheDeviceChangesOnlyItsKeysAndIsVerified) {
    TempDir dir;
    ASSERT_TRUE(pff::save(seventeenNumbers(), dir / "in.pff"));
    writeFile(dir / "changes.pff", "[5A]\r\nTNLS_1=+421905000111\r\n");
    VirtualDevice device;
    ASSERT_EQ(runCli(join({{"write"}, device.usb("6173"), {dir / "in.pff"}})).exitCode, 0);
    const CliResult patched = runCli(join({{"patch"}, device.usb("6173"), {dir / "changes.pff"}}));
    ASSERT_EQ(patched.exitCode, 0) << patched.err;
    const CliResult read = runCli(join({{"read"}, device.usb("6173"), {"-o", dir / "out.pff"}}));
    ASSERT_EQ(read.exitCode, 0) << read.err;
    Configuration expected = seventeenNumbers();
    expected.setText(expected.table().id("TNLS_1"), "+421905000111");
    EXPECT_TRUE(openPff(dir / "out.pff") == expected);
}

} // namespace
} // namespace qta::test
