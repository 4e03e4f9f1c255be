#include "TransferFigures.h"

#include "log/StatusReport.h"

#include <algorithm>

namespace qta::bench {
namespace {

std::uint8_t commandByte(link::TransferKind kind) {
    switch (kind) {
    case link::TransferKind::Write:
        return 0xAA;
    case link::TransferKind::Read:
        return 0x60;
    case link::TransferKind::EventLog:
        break;
    }
    return 0x0E;
}

Seconds wireTime(std::size_t bytes, int baud) {
    return baud > 0 ? Seconds(static_cast<double>(bytes) * 10.0 / baud) : Seconds(0);
}

// The poll's answer carrying the command, or the end when it never went out.
std::size_t commandIndex(const TransferRun& run) {
    const auto command = std::find_if(run.traffic.begin(), run.traffic.end(), [&](const Traffic& t) {
        return t.out && t.size == 1 && t.first == commandByte(run.kind);
    });
    return static_cast<std::size_t>(command - run.traffic.begin());
}

// From the first byte of the report that the command answered to the answer: the
// last 21 bytes read before it.
Seconds reportTaking(const TransferRun& run, std::size_t command) {
    std::size_t bytes = 0;
    std::size_t first = command;
    while (first > 0 && bytes < log::kStatusReportSize) {
        --first;
        if (!run.traffic[first].out)
            bytes += run.traffic[first].size;
    }
    return bytes < log::kStatusReportSize ? Seconds(0) : run.traffic[command].at - run.traffic[first].at;
}

void addExchanges(const TransferRun& run, int baud, TransferFigures& figures) {
    BenchClock::time_point start = run.accepted;
    std::size_t bytes = 0;
    bool read = false; // the exchange has had its reads
    BenchClock::time_point lastRead = start;
    std::vector<Seconds> excesses;
    const auto close = [&] {
        if (!read)
            return;
        const Seconds excess = (lastRead - start) - wireTime(bytes, baud);
        if (start == run.accepted)
            figures.firstUnitExcess = excess; // no write started it: the device's first unit
        else
            excesses.push_back(excess);
    };
    for (const Traffic& t : run.traffic) {
        if (t.at <= run.accepted || t.at > run.ended)
            continue;
        if (t.out && read) {
            close();
            bytes = 0;
            read = false;
        }
        if (t.out && bytes == 0)
            start = t.at; // an exchange starts with the first write after the last one's reads
        bytes += t.size;
        if (!t.out) {
            read = true;
            lastRead = t.at;
        }
    }
    close();
    if (excesses.empty())
        return;
    std::sort(excesses.begin(), excesses.end());
    figures.exchanges = static_cast<int>(excesses.size());
    for (const Seconds excess : excesses)
        figures.exchangeExcess += excess;
    figures.medianExcess = excesses[excesses.size() / 2];
    figures.largestExcess = excesses.back();
}

} // namespace

TransferFigures figuresOf(const TransferRun& run, int baud) {
    TransferFigures figures;
    figures.total = run.ended - run.requested;
    for (const Traffic& t : run.traffic) {
        if (t.at <= run.ended)
            figures.bytes += t.size;
    }
    figures.wire = wireTime(figures.bytes, baud);
    const std::size_t command = commandIndex(run);
    if (command < run.traffic.size()) {
        const BenchClock::time_point sent = run.traffic[command].at;
        figures.untilCommand = sent - run.requested;
        figures.reportTaken = reportTaking(run, command);
        figures.afterCommand = run.ended - sent;
        std::size_t bytes = 0;
        for (std::size_t i = command; i < run.traffic.size() && run.traffic[i].at <= run.ended; ++i)
            bytes += run.traffic[i].size;
        figures.afterCommandWire = wireTime(bytes, baud);
    }
    addExchanges(run, baud, figures);
    return figures;
}

std::string transferName(link::TransferKind kind) {
    switch (kind) {
    case link::TransferKind::Write:
        return "write";
    case link::TransferKind::Read:
        return "read";
    case link::TransferKind::EventLog:
        break;
    }
    return "event log";
}

} // namespace qta::bench
