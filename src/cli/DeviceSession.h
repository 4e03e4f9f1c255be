#pragma once

#include "link/Clock.h"
#include "link/DeviceLink.h"
#include "model/Configuration.h"
#include "session/LinkView.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace qta::cli {

// One device command of the CLI, seen from the link: it answers the access-code
// prompt with the given code, starts its job once the device is unlocked, and ends
// the run with the exit status the job earned. Every wait is bounded by the
// timeout: no sign of the device for that long ends the run with status 4.
class DeviceSession : public link::LinkView {
public:
    enum class Job { Read, Write, EventLog, Watch };

    // A job of several transfers in one connection (a backup read, the write, its
    // verify read). After each transfer that ended well, `done(step, session)` says
    // how to go on: nullopt for the next transfer (or success after the last), else
    // the exit status to end with. `failedNote(step)` is said when a transfer fails.
    struct Plan {
        std::vector<link::TransferKind> transfers;
        std::function<std::optional<int>(std::size_t step, DeviceSession& session)> done;
        std::function<std::string(std::size_t step)> failedNote;
        // Where a read's Frames go; null (or no function) for the link's own Configuration.
        std::function<Configuration*(std::size_t step)> readInto;
    };

    struct Settings {
        Job job = Job::Read;
        Plan plan;            // when it holds transfers, they are the job
        std::string code;     // Windows-1250 bytes
        int count = 0;        // Watch: reports to show, 0 for no end
        int switchOutput = 0; // Watch: output command sent with the first answer (1..8)
        link::Millis timeout{60000};
        Language language = Language::EN;
        char decimalSeparator = '.';
        bool progress = false; // standard error is a terminal
    };

    // `finished` is called once, with the exit status.
    DeviceSession(Settings settings, link::Clock& clock, std::ostream& out, std::ostream& err,
                  std::function<void(int)> finished);
    ~DeviceSession() override;

    void attach(link::DeviceLink& link) { link_ = &link; }
    // Starts the watchdog; the link is started by the caller.
    void begin();
    // The user interrupted the run (Ctrl+C, or the terminal closed): a running transfer is cancelled.
    void interrupt();

    // Whether the latest status report forces the failure-reporting boxes on.
    bool failureReportsForced() const { return failureReportsForced_; }

    // The event log's lines, Windows-1250, in arrival order.
    const std::vector<std::string>& eventLines() const { return eventLines_; }

    Language language() const override { return settings_.language; }
    void showLinkUp(bool up) override;
    void showConnected(bool connected) override;
    void lockTransportChoice(bool) override {}
    void showTransport(link::Transport transport) override { overGprs_ = transport == link::Transport::Gprs; }
    void showAccessPrompt() override;
    void showCodeRefused(link::Transport) override;
    void showCodeAccepted() override {}
    void showTransferWaiting(link::TransferKind kind, int gaugeMaximum) override;
    void showTransferRunning(int gaugeMaximum) override;
    void setProgress(int value) override;
    void hideDialog() override {}
    void ShowDiag(std::span<const std::uint8_t, 21> report, bool outputCommandPending) override;
    void blankDiagnostics() override {}
    void clearEvents() override { eventLines_.clear(); }
    void WriteEvent(std::span<const std::uint8_t, 32> record) override;
    void showMessage(const link::LinkMessage& message, std::function<void()> closed) override;
    void transferEnded(link::TransferKind kind, link::TransferEnd end) override;

private:
    void alive();
    void startWatchdog();
    std::string timedOutText() const;
    void startJob();
    void finish(int status, const std::string& message = {});
    void stepEnded(link::TransferEnd end);
    int endStatus(link::TransferEnd end) const;

    Settings settings_;
    link::Clock& clock_;
    std::ostream& out_;
    std::ostream& err_;
    std::function<void(int)> finished_;
    link::DeviceLink* link_ = nullptr;
    link::OneShot watchdog_;
    link::OneShot soon_;
    bool unlocked_ = false;
    bool overGprs_ = false;
    int connections_ = 0; // that came before a device unlocked
    bool done_ = false;
    int reports_ = 0;
    std::size_t step_ = 0;
    bool stepSettled_ = false; // the current step's transfer ended well
    bool failureReportsForced_ = false;
    int gaugeMaximum_ = 0;
    std::string caption_;
    std::vector<std::string> eventLines_;
};

} // namespace qta::cli
