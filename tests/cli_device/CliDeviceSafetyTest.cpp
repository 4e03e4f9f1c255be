// What stops a device command before it reaches the device, against qta710-sim on
// a pseudo-terminal: a code the device cannot take, an output file that cannot be
// written, a tty held by another program or not the user's; and a closed terminal
// (SIGHUP) cancelling a run as Ctrl+C does.
#include "CliRunner.h"
#include "DeviceRun.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace qta::test {
namespace {

const std::string kRefusedCode = "qta710-cli: The new access password (Pass) must be 1 to 31 printable ASCII "
                                 "characters: letters without accents, digits, signs or spaces. Nothing was "
                                 "sent.\n";

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CliDeviceSafety, AWriteOfACodeTheDeviceCannotTakeSendsNothingAndOneOfPrintableAsciiIsWritten) {
    TempDir dir;
    VirtualDevice device;
    for (const std::string& code : {std::string("61\0"
                                                "73",
                                                5),
                                    std::string("61\x1B"
                                                "73"),
                                    std::string("6\xE8"
                                                "73"),
                                    std::string(32, '7'), std::string()}) {
        writeFile(dir / "in.pff", "[7A]\r\nPass=" + code + "\r\n");
        const CliResult written = runCli(join({{"write"}, device.usb("6173"), {dir / "in.pff"}}));
        EXPECT_EQ(written.exitCode, 1) << code.size();
        EXPECT_EQ(written.err, kRefusedCode) << code.size();
    }
    const CliResult slovak = runCli(join({{"--lang", "SK", "write"}, device.usb("6173"), {dir / "in.pff"}}));
    EXPECT_EQ(slovak.err,
              "qta710-cli: Nový prístupový kód (Pass) musí mať 1 až 31 tlačiteľných znakov ASCII: "
              "písmená bez diakritiky, číslice, znaky alebo medzery. Nič sa neodoslalo.\n");

    const std::string longest = "~!" + std::string(29, 'x'); // 31 characters
    writeFile(dir / "in.pff", "[7A]\r\nPass=" + longest + "\r\n");
    const CliResult written = runCli(join({{"write"}, device.usb("6173"), {dir / "in.pff"}}));
    ASSERT_EQ(written.exitCode, 0) << "the old code still unlocked the device: " << written.err;
    const CliResult read = runCli(join({{"read"}, device.usb(longest), {"-o", dir / "out.pff"}}));
    EXPECT_EQ(read.exitCode, 0) << "the longest code unlocks: " << read.err;
}

TEST(CliDeviceSafety, AnOutputFileThatCannotBeWrittenStopsAReadOrALogBeforeTheTransfer) {
    TempDir dir;
    VirtualDevice device;
    for (const std::string command : {"read", "log"}) {
        const std::string output = dir / "no-such-folder/out";
        const CliResult result =
            runCli(join({{command}, device.usb("6173"), {"--trace", dir / "trace.txt", "-o", output}}));
        EXPECT_EQ(result.exitCode, 1) << command;
        EXPECT_EQ(result.err, "qta710-cli: Unable to write to " + output + "\n") << command;
        EXPECT_FALSE(contains(readFile(dir / "trace.txt"), " > "))
            << command << ": nothing went to the device";
    }
}

TEST(CliDeviceSafety, ATtyMissingHeldByAnotherProgramOrNotTheUsersEndsTheRunAtOnceWithTheReason) {
    {
        TempDir dir;
        const auto start = std::chrono::steady_clock::now();
        const CliResult missing = runCli(
            {"read", "--usb", "--port", "/nonexistent/ttyQTA", "--code", "6173", "-o", dir / "out.pff"});
        EXPECT_EQ(missing.exitCode, 1) << missing.err;
        EXPECT_EQ(missing.err,
                  "qta710-cli: The USB adapter /nonexistent/ttyQTA cannot be opened: No such file "
                  "or directory\n");
        EXPECT_LT(secondsSince(start), 4.0) << "not after the time-out";
    }
    VirtualDevice device;
    {
        ChildProcess holder(QTA_CLI_PATH, join({{"watch"}, device.usb("6173", "10"), {"--count", "100000"}}));
        ASSERT_TRUE(holder.firstLine().starts_with("inputs=")) << "the first run has the tty";
        const auto start = std::chrono::steady_clock::now();
        const CliResult busy = runCli(join({{"watch"}, device.usb("6173", "5"), {"--count", "1"}}));
        EXPECT_EQ(busy.exitCode, 1) << busy.err;
        EXPECT_EQ(busy.err, "qta710-cli: The USB adapter " + device.tty() +
                                " cannot be opened: it is in use by another program\n");
        EXPECT_LT(secondsSince(start), 4.0) << "not after the time-out";
    }
    if (::geteuid() != 0)
        return; // the pseudo-terminal is this user's own
    const CliResult forbidden = runCli(join({{"watch"}, device.usb("6173", "5"), {"--count", "1"}}), {}, [] {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(100);
    });
    EXPECT_EQ(forbidden.exitCode, 1) << forbidden.err;
    EXPECT_TRUE(forbidden.err.starts_with("qta710-cli: The USB adapter " + device.tty() +
                                          " cannot be opened: it belongs to the user "))
        << forbidden.err;
}

TEST(CliDeviceSafety, AClosedTerminalCancelsARunAsCtrlCDoes) {
    VirtualDevice device;
    ChildProcess watcher(QTA_CLI_PATH, join({{"watch"}, device.usb("6173", "10"), {"--count", "100000"}}));
    ASSERT_TRUE(watcher.firstLine().starts_with("inputs="));
    EXPECT_EQ(watcher.terminate(SIGHUP), 4) << "ended through the cancel, not by the signal";
}

} // namespace
} // namespace qta::test
