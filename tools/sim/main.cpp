// qta710-sim: a virtual QTA 710 behind a pseudo-terminal (as its USB bridge) or
// a TCP connection (as its GPRS modem).
#include "EventLog.h"
#include "PtyLink.h"
#include "SimFleet.h"
#include "SimLog.h"
#include "SimOptions.h"
#include "StopSignal.h"
#include "TcpLink.h"
#include "VirtualDevice.h"
#include "model/AtomicFile.h"
#include "transfer/ConfigImage.h"
#include "version/Version.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <span>
#include <string>
#include <vector>

using namespace qta::sim;

namespace {

std::span<const std::uint8_t> asBytes(const std::string& content) {
    return {reinterpret_cast<const std::uint8_t*>(content.data()), content.size()};
}

// Loads the memory file when it exists; a missing one is created at exit.
bool loadMemory(const std::string& path, VirtualDevice& device) {
    std::string content;
    const qta::ReadStatus status = qta::readWholeFile(path, content);
    if (status == qta::ReadStatus::Missing)
        return true;
    const auto image = status == qta::ReadStatus::Read
                           ? qta::transfer::ConfigImage::fromBytes(asBytes(content))
                           : std::nullopt;
    if (!image) {
        SimLog::error(path + ": not a memory image of " + std::to_string(qta::transfer::kImageSize) +
                      " bytes");
        return false;
    }
    device.setMemory(*image);
    return true;
}

bool loadEvents(const std::string& path, VirtualDevice& device) {
    std::string content;
    const auto events = qta::readWholeFile(path, content) == qta::ReadStatus::Read
                            ? EventLog::fromBytes(asBytes(content))
                            : std::nullopt;
    if (!events) {
        SimLog::error(path + ": not an event log of " + std::to_string(kEventLogBytes) + " bytes");
        return false;
    }
    device.setEvents(*events);
    return true;
}

bool saveMemory(const std::string& path, const VirtualDevice& device) {
    const auto& bytes = device.memory().bytes();
    if (qta::replaceFileContent(path, std::string(bytes.begin(), bytes.end())) == qta::WriteStatus::Written)
        return true;
    SimLog::error(path + ": cannot save the memory");
    return false;
}

int runPty(const SimOptions& options, VirtualDevice& device, const SimLog& log, const StopSignal& stop) {
    PtyLink link(device, options.baud, log);
    std::string error;
    if (!link.open(error) || (!options.linkPath.empty() && !link.makeLink(options.linkPath, error))) {
        SimLog::error(error);
        return 1;
    }
    std::printf("%s\n", link.slavePath().c_str());
    std::fflush(stdout);
    log("serving as a USB bridge on " + link.slavePath());
    link.run(stop.fd());
    return 0;
}

// --rate caps a device's link in bytes per second: a wire of ten bits a byte.
TcpLink::Options tcpOptions(const SimOptions& options) {
    TcpLink::Options tcp;
    tcp.host = options.host;
    tcp.port = options.port;
    tcp.baud = options.rate > 0 ? options.rate * 10 : options.baud;
    tcp.reconnectPause = options.reconnectPause;
    tcp.shaping.split = options.split;
    tcp.shaping.join = options.join;
    tcp.seed = options.device.seed;
    tcp.latency = options.latency;
    return tcp;
}

int runTcp(const SimOptions& options, VirtualDevice& device, const SimLog& log, const StopSignal& stop) {
    TcpLink link(device, tcpOptions(options), log);
    link.run(stop.fd());
    return 0;
}

// A fleet: every device and its modem in one poll loop. Only the faulty share
// gets the network faults too.
int runFleet(const SimOptions& options, const SimLog& log, const StopSignal& stop) {
    std::vector<std::unique_ptr<VirtualDevice>> devices;
    std::vector<std::unique_ptr<TcpLink>> links;
    const auto members =
        fleetMembers(options.device, options.fleet, options.faulty, options.split || options.join);
    const auto now = qta::transfer::localDateTime();
    for (std::size_t i = 0; i < members.size(); ++i) {
        const FleetMember& member = members[i];
        auto& device = *devices.emplace_back(std::make_unique<VirtualDevice>(member.device));
        device.setMemory(member.memory);
        device.setClock(now);
        device.setEvents(EventLog::generated(member.device.seed, now));
        const std::string name = member.account + (member.faulty ? " (faulty)" : "");
        device.onNotice([&log, name](const std::string& line) { log(name + ": " + line); });
        TcpLink::Options tcp = tcpOptions(options);
        tcp.seed = member.device.seed;
        tcp.shaping.split = member.faulty && options.split;
        tcp.shaping.join = member.faulty && options.join;
        tcp.firstDial = options.spread * static_cast<long>(i) / static_cast<long>(members.size());
        links.push_back(std::make_unique<TcpLink>(device, tcp, log));
        log("device " + std::to_string(i + 1) + ": account " + member.account + ", listening number " +
            member.listeningNumber + (member.faulty ? ", faulty" : ""));
    }
    std::vector<TcpLink*> all;
    for (const auto& link : links)
        all.push_back(link.get());
    runTcpLinks(all, stop.fd());
    bool saved = true;
    for (std::size_t i = 0; i < members.size() && !options.memoryDir.empty(); ++i)
        saved = saveMemory(options.memoryDir + "/" + members[i].account + ".img", *devices[i]) && saved;
    return saved ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = parseSimOptions(args, error);
    if (!options) {
        SimLog::error(error);
        std::cerr << simUsage();
        return 2;
    }
    if (options->help) {
        std::cout << simUsage();
        return 0;
    }
    if (options->version) {
        std::cout << "qta710-sim " << qta::kVersion << '\n';
        return 0;
    }

    const SimLog log(options->verbose);
    const StopSignal stop;
    if (options->fleet > 0)
        return runFleet(*options, log, stop);
    VirtualDevice device(options->device);
    device.setClock(qta::transfer::localDateTime());
    device.setEvents(EventLog::generated(options->device.seed, qta::transfer::localDateTime()));
    device.onNotice([&log](const std::string& line) { log(line); });
    if (!options->memoryFile.empty() && !loadMemory(options->memoryFile, device))
        return 1;
    if (!options->eventsFile.empty() && !loadEvents(options->eventsFile, device))
        return 1;

    const int status = options->mode == SimOptions::Mode::Pty ? runPty(*options, device, log, stop)
                                                              : runTcp(*options, device, log, stop);
    if (!options->memoryFile.empty() && !saveMemory(options->memoryFile, device))
        return 1;
    log("ending");
    return status;
}
