#pragma once

#include "FleetFiles.h"

#include "link/Clock.h"
#include "link/FleetDevice.h"
#include "model/Configuration.h"
#include "model/ProfileDocument.h"
#include "session/WriteSnapshot.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qta::cli {

// What serve does to every device that dials in.
struct FleetJobSettings {
    enum class Kind { Write, Patch, ReadTo };
    Kind kind = Kind::Write;
    std::vector<std::string> codes;         // Windows-1250, tried in order, one per identification
    std::optional<Configuration> written;   // Write: the configuration written
    std::optional<ProfileDocument> changes; // Patch: the keys set over what was read
    bool verify = false;                    // read back after the write and compare
    std::string readDir, logDir, backupDir; // empty: not saved
    Language language = Language::EN;
    char decimalSeparator = '.';
    link::Millis closeWait{10000}; // the device's 0x04 after ours
};

const char* jobName(FleetJobSettings::Kind kind);

// How one device's run ended.
struct FleetResult {
    std::string peer;
    std::string account;
    std::string job;
    std::string result = "aborted"; // ok | refused | verify-failed | aborted | timeout
    std::string transfer;           // the transfer that ended it, if one did
    std::string why;                // and why
    double seconds = 0;
    std::vector<std::string> files;
    bool identified = false; // it said "QTA71P": a device, not just a peer
    bool ok() const { return result == "ok"; }
};

// The job on one connection: answers the prompt with the next code, then runs
// the job's transfers one after the other, saves what each brings as soon as it
// is complete, and asks the device to end the connection.
class FleetJob : public link::FleetDevice {
public:
    FleetJob(const FleetJobSettings& settings, std::string peer, FleetFiles& files,
             std::function<void(const FleetResult&)> finished);

    Configuration& readTarget() override { return read_; }
    void started(link::FleetControl& control) override;
    void interrupted() override;
    void ended() override;

    Language language() const override { return settings_.language; }
    void showConnected(bool connected) override;
    // A refused code: the device identifies again and is asked with the next one.
    void showAccessPrompt() override;
    void clearEvents() override { eventLines_.clear(); }
    void WriteEvent(std::span<const std::uint8_t, 32> record) override;
    void ShowDiag(std::span<const std::uint8_t, 21> report, bool outputCommandPending) override;
    void showMessage(const link::LinkMessage& message, std::function<void()> closed) override;
    void transferEnded(link::TransferKind kind, link::TransferEnd end) override;

private:
    enum class Step { ReadFirst, EventLog, Write, Verify };

    std::vector<Step> plan() const;
    void next();
    void stepDone(Step step);
    void saved(const std::string& dir, const std::string& content, const char* extension);
    void compareReadBack();
    void fail(std::string result, std::string transfer, std::string why);
    void endConnection();
    std::string account() const;

    const FleetJobSettings& settings_;
    FleetFiles& files_;
    std::function<void(const FleetResult&)> finished_;
    link::FleetControl* control_ = nullptr;
    std::chrono::steady_clock::time_point began_;
    Configuration read_;
    std::optional<Configuration> known_; // what the device holds, as far as is known
    bool failureReportsForced_ = false;  // the latest report locks the failure-report boxes on
    link::WriteSnapshot writing_;
    std::vector<std::string> eventLines_;
    std::vector<Step> steps_;
    std::size_t nextStep_ = 0;
    bool stepRunning_ = false;
    std::size_t codesTried_ = 0;
    std::optional<std::size_t> accepted_; // the code that unlocked the device
    bool interrupted_ = false;
    bool ending_ = false;
    bool settled_ = false; // the result is known
    FleetResult result_;
};

} // namespace qta::cli
