#pragma once

#include "link/Bridge.h"

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace qta::link::test {

class ScriptedDriver;

// A bridge whose device is the test: bytes arrive when the test says, every write
// is recorded and may be answered at once, and reads keep the bridge's promise
// (complete with `count` bytes, or with what came by the read time-out, from the
// clock, never inside read()).
class ScriptedPort : public BridgePort {
public:
    ScriptedPort(ScriptedDriver& driver, Clock& clock) : driver_(driver), clock_(clock) {}
    ~ScriptedPort() override;

    bool resetDevice() override;
    bool setBaudRate(int baud) override;
    bool setDataCharacteristics(WordLength wordLength, StopBits stopBits, Parity parity) override;
    bool setFlowControl(FlowControl flow, std::uint8_t xon, std::uint8_t xoff) override;
    bool setTimeouts(Millis read, Millis write) override;
    bool getDeviceInfo(DeviceInfo& info) override;
    void read(std::size_t count, ReadDone done) override;
    void cancelRead() override;
    std::size_t write(std::span<const std::uint8_t> bytes) override;
    void purgeReceived() override;
    void onFailure(Failed failed) override { failed_ = std::move(failed); }

    void arrive(const Bytes& bytes);
    void fail();
    bool readPending() const { return pending_.has_value(); }

private:
    struct PendingRead {
        std::size_t count;
        ReadDone done;
        Clock::TimerId timeout;
    };
    void complete(std::size_t count);

    ScriptedDriver& driver_;
    Clock& clock_;
    Millis readTimeout_{200};
    std::deque<std::uint8_t> received_;
    std::optional<PendingRead> pending_;
    Failed failed_;
    bool broken_ = false;
};

// The bridges "attached" to the machine, by description. One port at a time.
class ScriptedDriver : public BridgeDriver {
public:
    explicit ScriptedDriver(Clock& clock) : clock_(clock) {}

    std::unique_ptr<BridgePort> openByDescription(const std::string& description) override;
    std::optional<OpenProblem> lastOpenProblem() const override { return problem_; }

    // What the test sets up.
    std::set<std::string> attached;        // descriptions that can be found
    std::set<std::string> refusesOpen;     // found by a probe, but every further open fails
    std::optional<OpenProblem> permission; // every open fails for lack of permission
    bool deviceInfoWorks = true;
    bool resetWorks = true;
    // Called with every write, after it is recorded; may make bytes arrive.
    std::function<void(const Bytes&)> device;

    // What happened.
    std::vector<std::string> opens;    // every open attempt, "+" or "-" then the description
    std::vector<std::string> settings; // set-up calls in order
    std::vector<Bytes> writes;
    ScriptedPort* port = nullptr; // the open port, if any

    Bytes written() const; // every write joined
    int probesOf(const std::string& description) const;

private:
    friend class ScriptedPort;
    Clock& clock_;
    std::optional<OpenProblem> problem_;
    std::set<std::string> probed_;
};

} // namespace qta::link::test
