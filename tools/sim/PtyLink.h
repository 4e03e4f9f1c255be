#pragma once

#include "PacedDevice.h"
#include "SimLog.h"

#include <string>

namespace qta::sim {

// The device as a USB bridge: a pseudo-terminal whose slave the programmer opens
// as its serial port. The program keeps a slave descriptor of its own open (and
// never reads it), so the programmer closing and reopening the port never hangs
// up the master.
class PtyLink {
public:
    PtyLink(VirtualDevice& device, int baud, const SimLog& log);
    ~PtyLink();
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    // Creates the pty, raw; false with `error` set when it cannot.
    bool open(std::string& error);
    const std::string& slavePath() const { return slavePath_; }
    // Makes `path` a symbolic link to the slave, removed again on destruction.
    bool makeLink(const std::string& path, std::string& error);

    // Runs the device until `stopFd` becomes readable or the device vanishes.
    void run(int stopFd);
    bool vanished() const { return vanished_; }

private:
    void writeToHost(std::span<const std::uint8_t> bytes);
    void readFromHost();
    void close();

    VirtualDevice& device_;
    PacedDevice paced_;
    const SimLog& log_;
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::string linkPath_;
    bool vanished_ = false;
};

} // namespace qta::sim
