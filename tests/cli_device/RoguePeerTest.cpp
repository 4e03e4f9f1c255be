// qta710-cli's GPRS server against peers that are not the device, as an attacker
// on the same network would be one: each speaks the device's protocol by hand
// over loopback, from an address of its own in 127.0.0.0/8. A peer outside
// --allow is closed before it is read and never sees the code; connections that
// come and go do not stretch --timeout; resent Frames are no progress; a read
// with a Frame missing is no read; and a signal ends the wait for a device that
// never answers the end of the connection.
#include "ChildProcess.h"
#include "CliRunner.h"
#include "DeviceRun.h"
#include "ProtocolBytes.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>

namespace qta::test {
namespace {

using namespace std::chrono_literals;
using link::Bytes;
using link::test::bytesOf;
using link::test::statusReport;
using link::test::operator+;

const Bytes kIdentification = bytesOf("QTA71P");
// 0x1F for the identification, then the code 6173 as its length, its characters and 0x0D.
const Bytes kCodeFor6173 = {0x1F, 4, '6', '1', '7', '3', 0x0D};

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// One peer's end of a connection to the CLI's server on 127.0.0.1.
class RoguePeer {
public:
    // Connects from `from`, trying again while the CLI is not listening yet (a
    // few seconds at most).
    RoguePeer(std::uint16_t port, const char* from = "127.0.0.1") {
        const auto start = std::chrono::steady_clock::now();
        while ((socket_ = connectTo(port, from)) < 0 && secondsSince(start) < 5.0)
            ::usleep(20000);
    }
    ~RoguePeer() {
        if (socket_ >= 0)
            ::close(socket_);
    }
    RoguePeer(const RoguePeer&) = delete;
    RoguePeer& operator=(const RoguePeer&) = delete;

    bool connected() const { return socket_ >= 0; }
    void send(const Bytes& bytes) const { ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
    // What arrives until `count` bytes are there, the server closes, or `wait` has passed.
    Bytes receive(std::size_t count, std::chrono::milliseconds wait = 3000ms) {
        Bytes got;
        const auto start = std::chrono::steady_clock::now();
        while (got.size() < count && !closed_ && std::chrono::steady_clock::now() - start < wait) {
            pollfd ready{socket_, POLLIN, 0};
            if (::poll(&ready, 1, 20) <= 0)
                continue;
            std::uint8_t buffer[256];
            const ssize_t n = ::recv(socket_, buffer, std::min(sizeof buffer, count - got.size()), 0);
            if (n <= 0)
                closed_ = true;
            else
                got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }
    bool closed() const { return closed_; }
    // Goes without a word.
    void drop() {
        ::close(socket_);
        socket_ = -1;
        closed_ = true;
    }
    // Says it is the device, is sent the code, and takes it.
    bool unlock() {
        send(kIdentification);
        if (receive(kCodeFor6173.size()) != kCodeFor6173)
            return false;
        send({0x06});
        return true;
    }
    // Reports, each 50 ms after the answer to the one before (a device waits
    // longer), until the server answers with `command`; false when it did not
    // within 20 reports.
    bool reportUntil(std::uint8_t command) {
        for (int report = 0; report < 20 && !closed_; ++report) {
            send(statusReport());
            const Bytes answer = receive(1, 1000ms);
            if (answer == Bytes{command})
                return true;
            ::usleep(50000);
        }
        return false;
    }

private:
    int socket_ = -1;
    bool closed_ = false;
};

// Whether anything listens on `address`:`port`.
bool reachable(const char* address, std::uint16_t port) {
    const int caller = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    ::inet_pton(AF_INET, address, &to.sin_addr);
    const bool connected = ::connect(caller, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    ::close(caller);
    return connected;
}

std::future<CliResult> runAsync(const Args& args) {
    return std::async(std::launch::async, [args] { return runCli(args); });
}

Args gprs(std::uint16_t port, const Args& access, const std::string& timeout) {
    return join(
        {{"--gprs", "--listen", std::to_string(port)}, access, {"--code", "6173", "--timeout", timeout}});
}

TEST(RoguePeer, APeerOutsideAllowIsClosedBeforeItIsReadAndNeverSeesTheCode) {
    const std::uint16_t port = freePort();
    auto watching =
        runAsync(join({{"watch"},
                       gprs(port, {"--bind", "127.0.0.1", "--allow", "127.0.0.2", "--allow", "::1"}, "3"),
                       {"--count", "1"}}));
    {
        RoguePeer outsider(port, "127.0.0.1");
        ASSERT_TRUE(outsider.connected());
        outsider.send(kIdentification);
        EXPECT_EQ(outsider.receive(64, 1000ms), Bytes{}) << "not a byte, the code least of all";
        EXPECT_TRUE(outsider.closed());
    }
    EXPECT_FALSE(reachable("127.0.0.5", port)) << "--bind: nothing listens on 127.0.0.5";
    RoguePeer device(port, "127.0.0.2");
    ASSERT_TRUE(device.connected());
    ASSERT_TRUE(device.unlock());
    device.send(statusReport());
    EXPECT_FALSE(device.receive(1).empty()) << "the report is answered";
    device.drop();
    const CliResult watched = watching.get();
    EXPECT_EQ(watched.exitCode, 0) << watched.err;
    EXPECT_TRUE(contains(watched.out, "inputs=")) << watched.out;
    EXPECT_FALSE(contains(watched.err, "warning")) << watched.err;
}

TEST(RoguePeer, WithNeitherBindNorAllowTheRunSaysOnceThatAnyPeerIsSentTheCode) {
    const std::uint16_t port = freePort();
    auto watching = runAsync(join({{"watch"}, gprs(port, {}, "1"), {"--count", "1"}}));
    RoguePeer anyone(port, "127.0.0.3");
    ASSERT_TRUE(anyone.connected());
    EXPECT_TRUE(anyone.unlock()) << "anyone at all is sent the code";
    anyone.drop();
    const CliResult watched = watching.get();
    const std::string warning =
        "qta710-cli: warning: Any peer that connects over GPRS will be sent the access "
        "code: narrow who may connect (listening address, allowed networks). (--bind "
        "ADDRESS, --allow CIDR)\n";
    EXPECT_TRUE(watched.err.starts_with(warning)) << watched.err;
    EXPECT_EQ(watched.err.find("warning", warning.size()), std::string::npos) << "said once";
}

TEST(RoguePeer, ConnectionsThatComeAndGoDoNotStretchTheTimeout) {
    TempDir dir;
    const std::uint16_t port = freePort();
    const auto start = std::chrono::steady_clock::now();
    auto reading = runAsync(join({{"read"}, gprs(port, {}, "2"), {"-o", dir / "out.pff"}}));
    // Every 300 ms one more peer: a bare connection, or one that says it is the device and goes.
    for (int poke = 0; reading.wait_for(300ms) == std::future_status::timeout && secondsSince(start) < 6.0;
         ++poke) {
        RoguePeer peer(port);
        if (poke % 2 == 1)
            peer.send(kIdentification);
    }
    const CliResult read = reading.get();
    EXPECT_EQ(read.exitCode, 4) << read.err;
    EXPECT_LT(secondsSince(start), 4.0) << "the whole wait is bounded";
    EXPECT_TRUE(contains(read.err, "qta710-cli: no device unlocked within 2 s (")) << read.err;
    EXPECT_TRUE(contains(read.err, " connections came and went)\n")) << read.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.pff"));
}

TEST(RoguePeer, ReportsAndIdentificationsInsteadOfEchoesAreNoProgress) {
    TempDir dir;
    writeFile(dir / "in.pff", "[7A]\r\nPass=6173\r\n");
    const std::uint16_t port = freePort();
    auto writing = runAsync(join({{"write"}, gprs(port, {}, "2"), {dir / "in.pff"}}));
    RoguePeer rogue(port);
    ASSERT_TRUE(rogue.unlock());
    ASSERT_TRUE(rogue.reportUntil(0xAA)) << "the write's command";
    const auto start = std::chrono::steady_clock::now();
    rogue.send(Bytes(16, 0x06));
    EXPECT_EQ(rogue.receive(66).size(), 66u) << "the first Frame";
    // A device gone back to reporting: never an echo, however the bytes are cut.
    std::size_t resent = 0;
    while (!rogue.closed() && secondsSince(start) < 8.0) {
        rogue.send(statusReport() + kIdentification);
        resent += rogue.receive(1000, 150ms).size();
    }
    const CliResult written = writing.get();
    EXPECT_EQ(written.exitCode, 4) << written.err;
    EXPECT_TRUE(contains(written.err, "The device stopped answering.")) << written.err;
    EXPECT_LT(secondsSince(start), 3.5) << "within --timeout, resends or not (" << resent << " bytes resent)";
}

TEST(RoguePeer, AReadWithOnlyTheFirstAndTheLastFrameIsIncompleteAndNotSaved) {
    TempDir dir;
    const std::uint16_t port = freePort();
    auto reading = runAsync(join({{"read"}, gprs(port, {}, "3"), {"-o", dir / "out.pff"}}));
    RoguePeer rogue(port);
    ASSERT_TRUE(rogue.unlock());
    ASSERT_TRUE(rogue.reportUntil(0x60)) << "the read's command";
    rogue.send(Bytes(16, 0x60));
    rogue.send(Bytes{0x00, 0x00} + Bytes(64, 0x00));
    EXPECT_EQ(rogue.receive(1), Bytes{0x1F});
    rogue.send(Bytes{0x53, 0xC0} + Bytes(64, 0x00)); // the last address, 21440
    EXPECT_EQ(rogue.receive(1), Bytes{0x1F});
    EXPECT_TRUE(rogue.reportUntil(0x04)) << "the end of the connection";
    rogue.drop();
    const CliResult read = reading.get();
    EXPECT_EQ(read.exitCode, 1) << read.err;
    EXPECT_TRUE(contains(read.err,
                         "qta710-cli: The device did not send every block of the configuration. The "
                         "configuration was not read completely: the fields may be partly replaced. "
                         "Read it again.\n"))
        << read.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.pff")) << "an incomplete read is not saved";
}

TEST(RoguePeer, ASecondSignalEndsTheWaitForAPeerThatNeverAnswersTheEnd) {
    TempDir dir;
    const std::uint16_t port = freePort();
    // --timeout 5: the end of the connection would be waited for 5 s.
    ChildProcess cli(QTA_CLI_PATH,
                     join({{"read"}, gprs(port, {"--allow", "127.0.0.0/8"}, "5"), {"-o", dir / "out.pff"}}));
    RoguePeer rogue(port);
    ASSERT_TRUE(rogue.unlock());
    ASSERT_TRUE(rogue.reportUntil(0x60));
    rogue.send(Bytes(16, 0x60)); // accepted, and then nothing more
    EXPECT_TRUE(rogue.receive(1, 300ms).empty());
    cli.signal(SIGINT); // cancels the read; the CLI now waits to end the connection
    rogue.receive(1, 300ms);
    EXPECT_FALSE(rogue.closed()) << "the CLI still waits";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(cli.terminate(SIGTERM), 4) << "cancelled";
    EXPECT_LT(secondsSince(start), 1.0) << "at once, not after the close wait";
    EXPECT_FALSE(std::filesystem::exists(dir / "out.pff"));
}

} // namespace
} // namespace qta::test
