#pragma once

// What the end-to-end tests of the CLI's device commands share.
#include "ChildProcess.h"

#include "model/Configuration.h"
#include "model/PffFile.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <initializer_list>
#include <string>
#include <vector>

namespace qta::test {

using Args = std::vector<std::string>;

inline Args join(std::initializer_list<Args> parts) {
    Args all;
    for (const Args& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline Configuration openPff(const std::string& path) {
    Configuration config = Configuration::startup('.');
    EXPECT_TRUE(pff::open(config, path)) << path;
    return config;
}

// A port on loopback that nothing listens on now.
inline std::uint16_t freePort() {
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(probe);
    return ntohs(address.sin_port);
}

inline double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A connection to the port on 127.0.0.1, from the loopback address `from`; -1
// when it was not taken.
inline int connectTo(std::uint16_t port, const char* from = "127.0.0.1") {
    const int caller = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, from, &local.sin_addr);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(caller, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 &&
        ::connect(caller, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return caller;
    ::close(caller);
    return -1;
}

// The virtual device on a fresh pty, quick to identify and report, unpaced.
class VirtualDevice {
public:
    explicit VirtualDevice(const Args& extra = {}) : process_(QTA_SIM_PATH, arguments(extra)) {
        tty_ = process_.firstLine();
    }
    // The link options of a command that reaches this device with `code`.
    Args usb(const std::string& code, const std::string& timeout = "5") const {
        return {"--usb", "--port", tty_, "--code", code, "--timeout", timeout};
    }
    const std::string& tty() const { return tty_; }

private:
    static Args arguments(const Args& extra) {
        Args args{"--pty", "--baud",         "0",  "--ident-period", "100", "--report-period",
                  "20",    "--relock-after", "300"};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }
    ChildProcess process_;
    std::string tty_;
};

} // namespace qta::test
