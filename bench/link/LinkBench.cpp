// Figures of the device link against the virtual device (qta710-sim) behind a
// pseudo-terminal, through the real engine and its serial backend:
//   paced   each transfer at 9600 baud against the wire time of the bytes it moved
//   unpaced each transfer with no pacing: the programmer's own time (best of a few)
//   window  the main window's longest UI-thread stall, idle and during a read
// Run without arguments for all three, or name the ones to run.
#include "HeadlessLink.h"
#include "SimChild.h"
#include "TransferFigures.h"
#include "WindowStall.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace qta::bench;
using qta::link::TransferKind;

constexpr int kPacedBaud = 9600;
constexpr int kUnlockLimitMs = 15000;
constexpr int kTransferLimitMs = 120000;
constexpr int kUnpacedRounds = 3;
constexpr int kIdleProbeMs = 10000;
constexpr TransferKind kKinds[] = {TransferKind::Write, TransferKind::Read, TransferKind::EventLog};

double ms(Seconds span) {
    return span.count() * 1000.0;
}

// The device behind its pty, unlocked by the engine; null (with a message) when that fails.
std::unique_ptr<HeadlessLink> unlockedLink(const SimChild& sim) {
    if (sim.ptyPath().isEmpty()) {
        std::fprintf(stderr, "the virtual device did not start\n");
        return nullptr;
    }
    auto link = std::make_unique<HeadlessLink>(sim.ptyPath().toStdString());
    if (!link->unlock(kUnlockLimitMs)) {
        std::fprintf(stderr, "the virtual device was not unlocked\n");
        return nullptr;
    }
    return link;
}

bool doneWell(const TransferRun& run) {
    if (run.finished && run.end == qta::link::TransferEnd::Done)
        return true;
    std::fprintf(stderr, "%s: did not complete\n", transferName(run.kind).c_str());
    return false;
}

// A read's first Frame or record follows the device's own pause after its acceptance.
void printExchanges(TransferKind kind, const TransferFigures& f) {
    std::printf(
        "    %d exchanges after the acceptance, each %.3f ms above its wire time on average (median %.3f ms, "
        "largest %.2f ms, %.2f s in all)",
        f.exchanges, ms(f.exchangeExcess) / std::max(f.exchanges, 1), ms(f.medianExcess), ms(f.largestExcess),
        f.exchangeExcess.count());
    if (kind == TransferKind::Write)
        std::printf("\n");
    else
        std::printf("; the device paused %.0f ms before its first unit\n", ms(f.firstUnitExcess));
}

void printPaced(TransferKind kind, const TransferFigures& f) {
    std::printf("link, paced at %d baud, %s: %.2f s from the menu command to the end, %zu bytes both ways "
                "(%.2f s on the wire): ratio %.3f (goal at most 1.03)\n",
                kPacedBaud, transferName(kind).c_str(), f.total.count(), f.bytes, f.wire.count(), f.ratio());
    std::printf(
        "    before the command byte: %.0f ms waiting for the status report to answer (the poll took its "
        "21 bytes in %.0f ms, 21.9 ms on the wire); from it to the end: %.2f s against %.2f s of wire, "
        "ratio %.3f\n",
        ms(f.untilCommand), ms(f.reportTaken), f.afterCommand.count(), f.afterCommandWire.count(),
        f.ratioAfterCommand());
    printExchanges(kind, f);
    std::fflush(stdout);
}

bool runPaced() {
    const SimChild sim(kPacedBaud);
    const auto link = unlockedLink(sim);
    if (!link)
        return false;
    bool ok = true;
    for (const TransferKind kind : kKinds) {
        const TransferRun run = link->transfer(kind, kTransferLimitMs);
        ok = doneWell(run) && ok;
        printPaced(kind, figuresOf(run, kPacedBaud));
    }
    return ok;
}

bool runUnpaced() {
    const SimChild sim(0);
    const auto link = unlockedLink(sim);
    if (!link)
        return false;
    bool ok = true;
    for (const TransferKind kind : kKinds) {
        std::vector<TransferFigures> runs;
        for (int round = 0; round < kUnpacedRounds; ++round) {
            const TransferRun run = link->transfer(kind, kTransferLimitMs);
            ok = doneWell(run) && ok;
            runs.push_back(figuresOf(run, 0));
        }
        const auto quickest = *std::min_element(
            runs.begin(), runs.end(), [](const auto& a, const auto& b) { return a.total < b.total; });
        const auto fastest = *std::min_element(runs.begin(), runs.end(), [](const auto& a, const auto& b) {
            return a.afterCommand < b.afterCommand;
        });
        std::printf(
            "link, unpaced, %s (best of %d): %.0f ms from the menu command to the end (%.0f ms of it "
            "waiting for the status report to answer), %.0f ms from the command byte (goal under 500 ms)\n",
            transferName(kind).c_str(), kUnpacedRounds, ms(quickest.total), ms(quickest.untilCommand),
            ms(fastest.afterCommand));
        printExchanges(kind, fastest);
        std::fflush(stdout);
    }
    return ok;
}

// The longest gap, with what it was made of, and the most the thread worked in any gap.
void printStall(const std::string& when, const StallProbe::Gap& longest, Millis busiest) {
    std::printf("window, longest UI-thread stall %s: %.1f ms (goal at most 50 ms)\n", when.c_str(),
                longest.wall.count());
    std::printf(
        "    of it %.1f ms the thread's own work and %.1f ms waiting for a core; the most work between two "
        "probe firings: %.1f ms\n",
        longest.cpu.count(), longest.waiting.count(), busiest.count());
}

bool runWindow() {
    const SimChild sim(kPacedBaud);
    if (sim.ptyPath().isEmpty()) {
        std::fprintf(stderr, "the virtual device did not start\n");
        return false;
    }
    const auto stalls = measureWindowStalls(sim.ptyPath(), kIdleProbeMs);
    if (!stalls)
        return false;
    printStall("while connected and idle for " + std::to_string(kIdleProbeMs / 1000) + " s", stalls->idle,
               stalls->idleBusiest);
    char during[64];
    std::snprintf(during, sizeof during, "during a whole read (%.1f s at %d baud)", stalls->readSeconds,
                  kPacedBaud);
    printStall(during, stalls->read, stalls->readBusiest);
    if (!stalls->readDone)
        std::fprintf(stderr, "window: the read did not complete\n");
    std::fflush(stdout);
    return stalls->readDone;
}

// The offscreen platform's notes on what it cannot do with windows are no figures.
void quietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support")) ||
        message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietPlatform);
    QApplication app(argc, argv);
    QStringList sections = QApplication::arguments().mid(1);
    if (sections.isEmpty())
        sections = {QStringLiteral("paced"), QStringLiteral("unpaced"), QStringLiteral("window")};
    bool ok = true;
    for (const QString& section : sections) {
        if (section == QLatin1String("paced")) {
            ok = runPaced() && ok;
        } else if (section == QLatin1String("unpaced")) {
            ok = runUnpaced() && ok;
        } else if (section == QLatin1String("window")) {
            ok = runWindow() && ok;
        } else {
            std::fprintf(stderr, "usage: qta710-link-bench [paced] [unpaced] [window]\n");
            return 2;
        }
    }
    return ok ? 0 : 1;
}
