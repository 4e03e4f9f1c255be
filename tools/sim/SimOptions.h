#pragma once

#include "DeviceOptions.h"

#include <optional>
#include <span>
#include <string>

namespace qta::sim {

// The command line of qta710-sim.
struct SimOptions {
    enum class Mode { Pty, Connect };

    Mode mode = Mode::Pty;
    std::string linkPath; // --link: a symlink to the pty's slave
    std::string host;     // --connect HOST:PORT
    std::uint16_t port = 0;
    std::string memoryFile; // --memory: loaded at start, saved at exit
    std::string eventsFile; // --events: 256 records of 32 bytes
    int baud = 9600;        // 0: no pacing
    Micros reconnectPause = std::chrono::seconds(2);
    bool split = false;
    bool join = false;
    // A fleet over --connect: that many devices in one process.
    int fleet = 0;
    Micros spread{0};      // the fleet dials in over this span, evenly; 0: all together
    Micros latency{0};     // one way, per chunk
    int rate = 0;          // bytes per second each way, per device; 0: the wire's baud rate
    double faulty = 1.0;   // the share of the fleet that has the faults
    std::string memoryDir; // a fleet's memories, saved at exit as <account>.img

    bool verbose = false;
    bool help = false;
    bool version = false;
    DeviceOptions device;
};

// The options, or nullopt with `error` saying what is wrong.
std::optional<SimOptions> parseSimOptions(std::span<const std::string> args, std::string& error);
std::string simUsage();

} // namespace qta::sim
