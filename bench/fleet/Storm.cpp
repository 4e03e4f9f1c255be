// qta710-storm PORT CONNECTIONS SECONDS: a bounded storm on a loopback port of
// connections that never identify. Each sends a few bytes of noise now and then,
// and when the server closes it, it connects again; it ends after SECONDS (or
// on SIGTERM) and prints how many connections it made.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

volatile std::sig_atomic_t stopped = 0;

constexpr int kMostConnections = 500;
constexpr auto kNoiseEvery = std::chrono::milliseconds(200);

int dial(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    return fd;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: qta710-storm PORT CONNECTIONS SECONDS\n");
        return 2;
    }
    const auto port = static_cast<std::uint16_t>(std::atoi(argv[1]));
    const int count = std::atoi(argv[2]);
    const int seconds = std::atoi(argv[3]);
    if (port == 0 || count < 1 || count > kMostConnections || seconds < 1) {
        std::fprintf(stderr, "qta710-storm: a port, 1 to %d connections and a number of seconds\n",
                     kMostConnections);
        return 2;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::vector<pollfd> fds;
    for (int i = 0; i < count; ++i)
        fds.push_back({dial(port), POLLIN, 0});
    long dials = count;
    // Noise that holds neither "QTA71P" nor a report's tail.
    const std::array<std::uint8_t, 8> noise = {0x55, 0xAA, 0x13, 0x37, 0x00, 0xFF, 0x42, 0x99};
    auto nextNoise = std::chrono::steady_clock::now();
    std::signal(SIGTERM, [](int) { stopped = 1; });
    while (std::chrono::steady_clock::now() < end && stopped == 0) {
        ::poll(fds.data(), fds.size(), static_cast<int>(kNoiseEvery.count()));
        const bool noisy = std::chrono::steady_clock::now() >= nextNoise;
        if (noisy)
            nextNoise += kNoiseEvery;
        for (pollfd& entry : fds) {
            std::array<std::uint8_t, 256> drained{};
            const bool closed =
                (entry.revents & (POLLHUP | POLLERR)) != 0 ||
                ((entry.revents & POLLIN) != 0 && ::recv(entry.fd, drained.data(), drained.size(), 0) <= 0);
            // A closed one dials again with the next noise, so a refusing port is not hammered.
            if (entry.fd >= 0 && closed) {
                ::close(entry.fd);
                entry.fd = -1;
            } else if (noisy && entry.fd < 0) {
                entry.fd = dial(port);
                ++dials;
            } else if (noisy) {
                ::send(entry.fd, noise.data(), noise.size(), MSG_NOSIGNAL);
            }
            entry.revents = 0;
        }
    }
    for (const pollfd& entry : fds)
        ::close(entry.fd);
    std::printf("%ld connections\n", dials);
    return 0;
}
