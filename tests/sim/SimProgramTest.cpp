// The real qta710-sim program, over a pseudo-terminal and over TCP.
#include "ChildProcess.h"
#include "DeviceHarness.h"

#include "catalogue/DeviceTexts.h"
#include "model/Configuration.h"
#include "transfer/ConfigEncoder.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace qta::sim::test {
namespace {

// The program as a child process.
class SimProcess : public qta::test::ChildProcess {
public:
    explicit SimProcess(const std::vector<std::string>& args) : ChildProcess(QTA_SIM_PATH, args) {}
};

// Reads from `fd` until `count` bytes have come or `ms` have passed.
Bytes readSome(int fd, std::size_t count, int ms = 3000) {
    Bytes got;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (got.size() < count && std::chrono::steady_clock::now() < until) {
        if (!SimProcess::waitReadable(fd, 50))
            continue;
        std::uint8_t buffer[256];
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, count - got.size()));
        if (n <= 0)
            break;
        got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

// One chunk as the network delivered it.
Bytes receiveChunk(int fd, int ms = 3000) {
    if (!SimProcess::waitReadable(fd, ms))
        return {};
    std::uint8_t buffer[256];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    return n > 0 ? Bytes(buffer, buffer + n) : Bytes{};
}

std::filesystem::path freshDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qta-sim-XXXXXX").string();
    return ::mkdtemp(pattern.data());
}

TEST(SimProgram, OverAPtyIdentifiesUnlocksAndSavesItsMemoryOnTermination) {
    const std::filesystem::path dir = freshDir();
    const std::string memory = (dir / "memory.bin").string();
    const std::string linkPath = (dir / "ttyQTA").string();
    SimProcess sim({"--pty", "--link", linkPath, "--memory", memory, "--ident-period", "100"});
    const std::string slave = sim.firstLine();
    ASSERT_EQ(slave.rfind("/dev/pts/", 0), 0u) << slave;
    EXPECT_EQ(std::filesystem::read_symlink(linkPath).string(), slave);

    const int fd = ::open(linkPath.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios raw{};
    ::tcgetattr(fd, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd, TCSANOW, &raw);
    ::tcflush(fd, TCIFLUSH);
    const Bytes ident = readSome(fd, 6);
    EXPECT_EQ(ident, bytesOf("QTA71P"));
    const Bytes answer = {0x1F, 0x04, '6', '1', '7', '3', 0x0D};
    ASSERT_EQ(::write(fd, answer.data(), answer.size()), static_cast<ssize_t>(answer.size()));
    // Identifications still on the wire may come first; the acceptance follows them.
    Bytes reply = readSome(fd, 1, 3000);
    while (reply == Bytes{'Q'} || reply == Bytes{'T'} || reply == Bytes{'A'} || reply == Bytes{'7'} ||
           reply == Bytes{'1'} || reply == Bytes{'P'})
        reply = readSome(fd, 1, 3000);
    EXPECT_EQ(reply, Bytes{0x06});
    ::close(fd);

    EXPECT_EQ(sim.terminate(), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(linkPath))) << "the link is removed";
    const auto expected =
        transfer::encodeImage(Configuration::startup('.'), catalogue::imageDeviceTexts(Language::EN));
    std::ifstream in(memory, std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(Bytes(saved.begin(), saved.end()), expected.bytes());
    std::filesystem::remove_all(dir);
}

TEST(SimProgram, OverTcpDialsInUnlocksEndsOn0x04AndDialsAgain) {
    const int server = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(server, 1), 0);
    socklen_t size = sizeof address;
    ::getsockname(server, reinterpret_cast<sockaddr*>(&address), &size);
    const std::string port = std::to_string(ntohs(address.sin_port));

    SimProcess sim({"--connect", "127.0.0.1:" + port, "--baud", "0", "--join", "--ident-period", "200",
                    "--report-period", "50", "--reconnect-pause", "100"});
    ASSERT_TRUE(SimProcess::waitReadable(server, 5000));
    int connection = ::accept(server, nullptr, nullptr);
    ASSERT_GE(connection, 0);
    // Joined: two identifications, 200 ms apart, in one chunk.
    EXPECT_EQ(receiveChunk(connection), bytesOf("QTA71PQTA71P"));
    const Bytes answer = {0x1F, 0x04, '6', '1', '7', '3', 0x0D};
    ::send(connection, answer.data(), answer.size(), 0);
    EXPECT_EQ(readSome(connection, 1), Bytes{0x06});
    const Bytes report = readSome(connection, 21);
    EXPECT_TRUE(isReport(report));
    ::send(connection, "\x04", 1, 0);
    EXPECT_EQ(readSome(connection, 1), Bytes{0x04});
    ::close(connection);

    ASSERT_TRUE(SimProcess::waitReadable(server, 5000)) << "it dials in again";
    connection = ::accept(server, nullptr, nullptr);
    EXPECT_EQ(receiveChunk(connection), bytesOf("QTA71PQTA71P"));
    ::close(connection);
    ::close(server);
    EXPECT_EQ(sim.terminate(), 0);
}

} // namespace
} // namespace qta::sim::test
