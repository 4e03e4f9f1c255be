#pragma once

#include "PollTimer.h"
#include "SessionHost.h"
#include "SessionTransport.h"
#include "tftdichip.h"

#include "session/ChunkCutter.h"

#include <memory>
#include <optional>
#include <span>

namespace qta::link {

// The USB transport: the poll (`Timer1Timer`) that finds and opens the bridge,
// reads what the session expects (the identification in one six-byte read, the
// StatusReport byte by byte, a transfer's units with the bridge's read time-out)
// and writes what the session answers.
class UsbLink : public SessionTransport {
public:
    UsbLink(LinkState& state, LinkView& view, Configuration& config, BridgeDriver& driver, Clock& clock,
            const SessionOptions& options, char decimalSeparator);
    ~UsbLink() override;

    void setActive(bool active) override;
    void run(Request request) override;
    bool switchOutput(int command) override { return chip_ && session_.switchOutput(command); }
    void setReadTarget(Configuration* target) override { host_.setReadTarget(target); }
    LinkState state() const override { return state_; }
    bool attached() const override { return state_.usbOpen; }

private:
    void Timer1Timer();
    void lockedTick();
    void unlockedTick();
    void Connect_USB();
    bool probe(const char* description);
    bool setUpBridge();
    void Disconnect_USB();
    void bridgeFailed();

    void carryOut(Actions actions);
    void write(const Action& action);
    void followSession(ProgrammerSession::Phase before);
    void readUnit(Expect expect);
    void unitRead(Expect expect, Bytes bytes);
    std::optional<Unit> cut(Expect expect, Bytes bytes);
    std::optional<Unit> reportAfterWrite(const Bytes& bytes);
    void feed(const Unit& unit);

    // A message box from the poll: no tick starts while it is up.
    void showPollMessage(LinkMessage message);
    void noteOpenProblem();

    LinkState& state_;
    LinkView& view_;
    BridgeDriver& driver_;
    SessionHost host_;
    ProgrammerSession session_;
    PollTimer timer1_;
    std::unique_ptr<tftdichip> chip_;
    std::optional<Expect> reading_; // the unit the bridge read in flight is for
    Bytes gathered_;                // an acceptance, or a report after a write, gathered across reads
    ChunkCutter codeAnswer_;        // the answer to the code, or a new identification
    std::optional<OpenProblem> reportedProblem_;
    std::optional<OpenProblem> seenProblem_;
    bool active_ = false;
};

} // namespace qta::link
