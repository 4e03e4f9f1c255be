// Figures of the GPRS link: a whole write, read and event log over loopback,
// against the virtual device dialling in without pacing. The time of a transfer
// runs from its command byte going out to its last unit answered; the
// programmer's processor time within it is given beside it. The protocol's own
// pauses are given apart: the wait for the device's next report before a
// command can go, and the pause before the connection closes after its end.
#include "link/DeviceLink.h"
#include "link/GprsLink.h"
#include "link/QtClock.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTimer>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace {

using qta::link::TransferEnd;
using qta::link::TransferKind;

double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double processorMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

class NoBridges : public qta::link::BridgeDriver {
public:
    std::unique_ptr<qta::link::BridgePort> openByDescription(const std::string&) override { return nullptr; }
};

// Answers the prompt with the device's code at once and notes when things happen.
class BenchView : public qta::link::LinkView {
public:
    qta::link::DeviceLink* link = nullptr;
    bool connected = false;
    bool linkUp = false;
    bool dialogUp = false;
    bool waiting = false;
    double commandAt = 0;
    double endedAt = 0;
    std::optional<TransferEnd> end;

    qta::Language language() const override { return qta::Language::EN; }
    void showLinkUp(bool up) override { linkUp = up; }
    void showConnected(bool isConnected) override { connected = isConnected; }
    void lockTransportChoice(bool) override {}
    void showTransport(qta::link::Transport) override {}
    void showAccessPrompt() override { link->submitAccessCode("6173"); }
    void showCodeRefused(qta::link::Transport) override {}
    void showCodeAccepted() override {}
    // The dialog shows as the request is made; the command goes out as the answer
    // to the next report, the last one shown before the device takes it.
    void showTransferWaiting(TransferKind, int) override {
        dialogUp = true;
        waiting = true;
        commandAt = nowMs();
    }
    void showTransferRunning(int) override { waiting = false; }
    void setProgress(int) override {}
    void hideDialog() override { dialogUp = false; }
    void ShowDiag(std::span<const std::uint8_t, 21>, bool) override {
        if (waiting)
            commandAt = nowMs();
    }
    void blankDiagnostics() override {}
    void clearEvents() override {}
    void WriteEvent(std::span<const std::uint8_t, 32>) override {}
    void showMessage(const qta::link::LinkMessage&, std::function<void()> closed) override { closed(); }
    void transferEnded(TransferKind, TransferEnd how) override {
        end = how;
        endedAt = nowMs();
    }
};

struct Rig {
    qta::link::QtClock clock;
    BenchView view;
    qta::Configuration config = qta::Configuration::startup('.');
    NoBridges noBridges;
    std::unique_ptr<qta::link::DeviceLink> link;
};
Rig* rig = nullptr;

// Sleeps in the event loop until `done` holds (a tick every 20 ms makes sure it
// looks again), so the processor time measured is the link's own.
bool spinUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer tick;
    tick.start(20);
    while (!done() && elapsed.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

void transfer(benchmark::State& state, TransferKind kind) {
    double reportWait = 0;
    double processor = 0;
    for (auto _ : state) {
        BenchView& view = rig->view;
        view.end.reset();
        const double requested = nowMs();
        const double processorBefore = processorMs();
        switch (kind) {
        case TransferKind::Write:
            rig->link->requestTransfer(qta::link::TransferKind::Write);
            break;
        case TransferKind::Read:
            rig->link->requestTransfer(qta::link::TransferKind::Read);
            break;
        case TransferKind::EventLog:
            rig->link->requestTransfer(qta::link::TransferKind::EventLog);
            break;
        }
        if (!spinUntil([&] { return view.end.has_value(); }, 30000) || *view.end != TransferEnd::Done) {
            state.SkipWithError("the transfer did not end well");
            return;
        }
        processor += processorMs() - processorBefore;
        state.SetIterationTime((view.endedAt - view.commandAt) / 1e3);
        reportWait += view.commandAt - requested;
        spinUntil([&] { return !view.dialogUp; }, 5000); // the next report closes the dialog
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["processor_ms"] = processor / iterations;
    state.counters["report_wait_ms"] = reportWait / iterations;
}

BENCHMARK_CAPTURE(transfer, write, TransferKind::Write)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(transfer, read, TransferKind::Read)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(transfer, event_log, TransferKind::EventLog)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

pid_t startDevice(std::uint16_t port) {
    std::vector<std::string> args{QTA_SIM_PATH,
                                  "--connect",
                                  "127.0.0.1:" + std::to_string(port),
                                  "--baud",
                                  "0",
                                  "--ident-period",
                                  "20",
                                  "--report-period",
                                  "20",
                                  "--reconnect-pause",
                                  "20"};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, QTA_SIM_PATH, nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QTcpServer probe; // a free port for this run
    probe.listen(QHostAddress::LocalHost);
    const std::uint16_t port = probe.serverPort();
    probe.close();

    Rig setup;
    rig = &setup;
    qta::link::LinkOptions options;
    options.gprs.listenPort = port;
    setup.link = std::make_unique<qta::link::DeviceLink>(setup.config, setup.view, setup.noBridges,
                                                         setup.clock, qta::transfer::localDateTime, options);
    setup.view.link = setup.link.get();
    setup.link->rdbGPRSClick();
    const pid_t device = startDevice(port);
    if (device < 0 || !spinUntil([&] { return setup.view.connected; }, 10000)) {
        std::fprintf(stderr, "the virtual device did not dial in\n");
        return 1;
    }

    benchmark::RunSpecifiedBenchmarks();

    // The end of the connection: the 0x04 exchange, then the protocol's pause before closing.
    const double asked = nowMs();
    setup.link->endConnection();
    spinUntil([&] { return !setup.link->gprs()->activity().connected; }, 15000);
    std::printf("end of the connection: %.0f ms from the request to the close, of which %.0f ms are the "
                "protocol's pause before closing\n",
                nowMs() - asked, static_cast<double>(options.gprs.closeDelay.count()));

    kill(device, SIGTERM);
    waitpid(device, nullptr, 0);
    benchmark::Shutdown();
    return 0;
}
