#pragma once

// What the end-to-end tests of the CLI's device commands share.
#include "ChildProcess.h"

#include "model/Configuration.h"
#include "model/PffFile.h"

#include <gtest/gtest.h>

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

inline double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
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
