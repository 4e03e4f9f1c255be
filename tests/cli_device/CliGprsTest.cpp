// read, write, log and watch over GPRS, end to end: qta710-cli listens on a free
// loopback port and qta710-sim dials in as the device's modem, with the
// network's faults and the device's.
#include "ChildProcess.h"
#include "CliRunner.h"
#include "DeviceRun.h"

#include "model/Configuration.h"
#include "model/PffFile.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>

namespace qta::test {
namespace {

using namespace std::chrono_literals;

// The virtual device dialling in to a port on loopback, quick to identify and
// report, unpaced unless told otherwise, dialling again 50 ms after each end.
class DialingDevice {
public:
    explicit DialingDevice(const Args& extra = {})
        : port_(freePort()), process_(QTA_SIM_PATH, arguments(extra)) {}

    // The link options of a command that this device dials into, with `code`.
    Args gprs(const std::string& code, const std::string& timeout = "5") const {
        return {"--gprs", "--listen", std::to_string(port_), "--code", code, "--timeout", timeout};
    }
    std::uint16_t port() const { return port_; }

private:
    Args arguments(const Args& extra) const {
        Args args{"--connect",
                  "127.0.0.1:" + std::to_string(port_),
                  "--baud",
                  "0",
                  "--ident-period",
                  "100",
                  "--report-period",
                  "20",
                  "--relock-after",
                  "300",
                  "--reconnect-pause",
                  "50"};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }
    std::uint16_t port_;
    ChildProcess process_;
};

// A connection to the port on loopback; -1 when it was not taken.
int connectTo(std::uint16_t port) {
    const int caller = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(caller, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return caller;
    ::close(caller);
    return -1;
}

// One more device dialling in: true when the server took the connection and
// closed it again at once.
bool refusedAtOnce(std::uint16_t port) {
    const int caller = connectTo(port);
    bool refused = false;
    if (caller >= 0) {
        pollfd watched{caller, POLLIN, 0};
        char byte = 0;
        refused = ::poll(&watched, 1, 200) == 1 && ::recv(caller, &byte, 1, 0) <= 0;
        ::close(caller);
    }
    return refused;
}

// A bare connection from anyone on the network, closed again at once.
void poke(std::uint16_t port) {
    if (const int caller = connectTo(port); caller >= 0)
        ::close(caller);
}

TEST(CliGprs, ConnectionsThatComeAndGoDoNotStretchTheTimeout) {
    TempDir dir;
    const std::uint16_t port = freePort();
    const auto start = std::chrono::steady_clock::now();
    auto reading = std::async(std::launch::async, [&] {
        return runCli(
            join({{"read", "--gprs", "--listen", std::to_string(port), "--code", "6173", "--timeout", "2"},
                  {"-o", dir / "out.pff"}}));
    });
    while (reading.wait_for(300ms) == std::future_status::timeout && secondsSince(start) < 6.0)
        poke(port);
    const CliResult read = reading.get();
    EXPECT_EQ(read.exitCode, 4) << read.err;
    EXPECT_LT(secondsSince(start), 4.0) << "the whole wait is bounded";
    EXPECT_NE(read.err.find("no device unlocked within 2 s ("), std::string::npos) << read.err;
    EXPECT_NE(read.err.find(" connections came and went)"), std::string::npos) << read.err;
}

TEST(CliGprs, WhatIsWrittenIsReadBackOverAConnectionThatJoinsUnits) {
    TempDir dir;
    Configuration config = Configuration::startup('.');
    const auto& table = config.table();
    config.setText(table.id("TNIN_V_3_1"), "5550100");
    config.setText(table.id("T_SMS_IN1"), "Fire in the hall");
    config.setText(table.id("UMAX_AIN1"), "12.3");
    config.setText(table.id("editAPN"), "apn.example");
    config.setText(table.id("Pass"), "2468");
    ASSERT_TRUE(pff::save(config, dir / "in.pff"));

    DialingDevice device({"--join"});
    const CliResult written = runCli(join({{"write"}, device.gprs("6173"), {dir / "in.pff"}}));
    ASSERT_EQ(written.exitCode, 0) << written.err;
    const CliResult refused = runCli(join({{"read"}, device.gprs("6173"), {"-o", dir / "old.pff"}}));
    EXPECT_EQ(refused.exitCode, 3) << "the old code no longer unlocks: " << refused.err;
    const CliResult read = runCli(join({{"read"}, device.gprs("2468"), {"-o", dir / "out.pff"}}));
    ASSERT_EQ(read.exitCode, 0) << read.err;
    EXPECT_TRUE(openPff(dir / "out.pff") == openPff(dir / "in.pff")) << "every field read back as written";
}

TEST(CliGprs, ReportsAndTheIdentificationSplitIntoPiecesAndTheEventLogJoined) {
    TempDir dir;
    {
        DialingDevice split({"--split", "--garbage"});
        const CliResult watched =
            runCli(join({{"watch"}, split.gprs("6173"), {"--count", "3", "--switch", "6"}}));
        EXPECT_EQ(watched.exitCode, 0) << watched.err;
        std::size_t reports = 0;
        for (std::size_t at = watched.out.find("inputs="); at != std::string::npos;
             at = watched.out.find("inputs=", at + 1))
            ++reports;
        EXPECT_EQ(reports, 3u) << watched.out;
    }
    std::string records(256 * 32, '\xFF');
    records.replace(0, 32, std::string("0712261430Door") + std::string(17, '\0') + '\x4C'); // code 76
    records.replace(32, 32, std::string("0812260905") + std::string(21, '\0') + '\0');      // code 0
    writeFile(dir / "events.bin", records);
    DialingDevice joined({"--join", "--events", dir / "events.bin"});
    const CliResult log = runCli(join({{"log"}, joined.gprs("6173"), {"-o", dir / "log.txt"}}));
    ASSERT_EQ(log.exitCode, 0) << log.err;
    EXPECT_EQ(readFile(dir / "log.txt"), "07.12.2026   14:30   -  Door  -  Restart\r\n"
                                         "08.12.2026   09:05 GSM jammer detected !\r\n");
}

TEST(CliGprs, ASecondDeviceIsRefusedAtOnceWhileTheFirstFinishesItsTransfer) {
    TempDir dir;
    DialingDevice device({"--baud", "115200"}); // a read of about two seconds
    auto reading = std::async(std::launch::async, [&] {
        return runCli(join({{"read"}, device.gprs("6173"), {"-o", dir / "out.pff"}}));
    });
    int refusals = 0;
    while (reading.wait_for(20ms) == std::future_status::timeout)
        refusals += refusedAtOnce(device.port());
    const CliResult read = reading.get();
    EXPECT_EQ(read.exitCode, 0) << read.err;
    EXPECT_GT(refusals, 10);
    EXPECT_TRUE(openPff(dir / "out.pff") == Configuration::startup('.'));
}

TEST(CliGprs, ASilentOrVanishedDeviceEndsTheRunAndAPortInUseIsNamed) {
    TempDir dir;
    {
        DialingDevice silent({"--silent-after", "20"});
        const auto start = std::chrono::steady_clock::now();
        const CliResult read = runCli(join({{"read"}, silent.gprs("6173", "1"), {"-o", dir / "out.pff"}}));
        EXPECT_EQ(read.exitCode, 4) << read.err;
        EXPECT_NE(read.err.find("The device stopped answering."), std::string::npos) << read.err;
        EXPECT_LT(secondsSince(start), 5.0);
        EXPECT_FALSE(std::filesystem::exists(dir / "out.pff")) << "an incomplete read is not saved";
    }
    {
        DialingDevice vanishing({"--drop-after", "20"});
        const CliResult log = runCli(join({{"log"}, vanishing.gprs("6173"), {"-o", dir / "log.txt"}}));
        EXPECT_EQ(log.exitCode, 1) << log.err;
        EXPECT_NE(log.err.find("The connection to the device was lost."), std::string::npos) << log.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "log.txt"));
    }
    {
        DialingDevice device;
        const int holder = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(device.port());
        ::bind(holder, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(holder, 1);
        const CliResult busy = runCli(join({{"watch"}, device.gprs("6173"), {"--count", "1"}}));
        ::close(holder);
        EXPECT_EQ(busy.exitCode, 1);
        EXPECT_NE(busy.err.find("in use"), std::string::npos) << busy.err;
    }
    EXPECT_EQ(runCli({"read", "--gprs", "--port", "/dev/null", "--code", "1", "-o", dir / "x.pff"}).exitCode,
              2);
    EXPECT_EQ(runCli({"read", "--usb", "--listen", "48006", "--code", "1", "-o", dir / "x.pff"}).exitCode, 2);
    EXPECT_EQ(runCli({"read", "--usb", "--gprs", "--code", "1", "-o", dir / "x.pff"}).exitCode, 2);
}

} // namespace
} // namespace qta::test
