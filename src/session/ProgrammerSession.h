#pragma once

#include "ChunkCutter.h"
#include "LinkState.h"
#include "SessionActions.h"
#include "TransportProfile.h"
#include "WriteSnapshot.h"

#include "transfer/ConfigImage.h"
#include "transfer/TimeFrame.h"

#include <bitset>
#include <optional>
#include <string>

namespace qta::link {

// The bounds the protocol leaves open.
struct SessionOptions {
    // A transfer, or the wait for a command's acceptance, that makes no progress this long is given up.
    Millis stallLimit{10000};
    // One Frame sent this often without a matching echo gives the write up.
    int resendLimit = 10;
    // The longest wait for the device's answer to the access code.
    Millis unlockAnswerLimit{10000};
    // Dates the TimeFrame at the moment it is sent.
    transfer::Clock wallClock = transfer::localDateTime;
};

// The programmer's side of one connection to a device: identification, the access
// code, the status reports and their answer byte, the three transfers with their
// acceptance, echo, resend, stall and cancel rules, output commands and the end
// of a connection. A pure state machine: it is fed the units that arrive (cut by
// what expect() names), the expiry of its timers and the user's requests, and each
// call returns what to do, in order. It holds no I/O, no thread and no clock, so a
// process can run as many as it likes, each with its own transport and view.
class ProgrammerSession {
public:
    enum class Phase {
        Down,         // no bridge, no connection
        Locked,       // waiting for "QTA71P"
        Prompt,       // the user is asked for the code
        CheckingCode, // the code went out, its answer is due
        Refused,      // the device refused the code; its notice is up
        Unlocked,     // status reports, each answered with one byte
        Accepting,    // a transfer's command went out; the device's acceptance is due
        Running,      // a transfer runs
        Ending,       // GPRS: 0x04 went out; the device's 0x04 is due
        Ended,        // GPRS: the device ended the connection
    };

    // `state` is the connection's record; it outlives the session.
    ProgrammerSession(TransportProfile profile, LinkState& state, SessionOptions options = {});

    // The transport.
    Actions linkUp();
    Actions unitArrived(const Unit& unit);
    // The last Frame went out short: its echo cannot match.
    void frameSentShort() { sentShort_ = true; }
    Actions timerExpired(SessionTimer timer);
    Actions linkLost();

    // The user. A request the session cannot take now does nothing.
    Actions requestTransfer(TransferKind kind, WriteSnapshot frames = {}, ReadInto into = ReadInto::Edited);
    // An output command (1..8) with the next answer to a report, or after the
    // commands clicked before it; false while locked or with the queue full.
    bool switchOutput(int command);
    Actions submitAccessCode(const std::string& code);
    Actions closeDialog();
    Actions cancelTransfer();
    // GPRS: the device is asked to end the connection with the answer to its next report.
    Actions endConnection();
    // GPRS: the window closes. The device is asked to end the connection, and the
    // connection closes once it has, or after `closeWait`; a locked device is closed at once.
    Actions closeForWindow(Millis closeWait);

    // What the transport should cut from what arrives; nothing while the session
    // waits for the user (what arrives meanwhile is kept).
    std::optional<Expect> expect() const;
    Phase phase() const { return phase_; }
    bool unlocked() const { return state_.unlocked; }
    // A transfer is requested or running.
    bool transferRunning() const { return state_.anyRequest(); }
    const TransportProfile& profile() const { return profile_; }

private:
    enum class Dialog { Hidden, AccessCode, CheckingCode, CodeRefused, Transfer };

    // ProgrammerSession.cpp: the connection and the code; SessionExchange.cpp: the
    // reports, the output commands and the end of a connection.
    void identified();
    void relocked();
    void codeAnswered(std::uint8_t answer);
    void codeAccepted();
    void codeRefused();
    void backToIdentification();
    void answerReport(const Unit& report);
    std::uint8_t reportAnswer();
    void nextOutputCommand(bool transferCommand);
    void deviceEnded();
    void Disconnect();
    void hideDialog();
    void restartWatchdog();

    // SessionTransfer.cpp: the transfers.
    void transferUnit(const Unit& unit);
    void acceptanceArrived(const Unit& unit);
    void echoArrived(const Unit& unit);
    void sendFrame();
    void frameArrived(const Unit& unit);
    void recordArrived(const Unit& unit);
    void madeProgress();
    void setProgress(int value);
    void finishTransfer();
    void endTransfer(TransferEnd end);
    TransferKind runningKind() const;
    // A write has had every image Frame confirmed and sent its TimeFrame.
    bool timeFrameSent() const {
        return phase_ == Phase::Running && next_ == frames_.size() && !frames_.empty();
    }

    void send(Bytes bytes);
    void sendByte(std::uint8_t byte) { send(Bytes{byte}); }
    void purge();
    void view(std::function<void(LinkView&)> call, bool landsFirst = false);
    void applyFrame(const transfer::Frame& frame);
    void startTimer(SessionTimer timer, Millis delay);
    void stopTimer(SessionTimer timer);
    void pause(Millis span);
    void closeLink(Millis after);
    Actions take();

    TransportProfile profile_;
    LinkState& state_;
    SessionOptions options_;
    Phase phase_ = Phase::Down;
    Dialog dialog_ = Dialog::Hidden;
    Bytes accessCode_; // the AccessCodeMessage, sent again if the device identifies anew

    WriteSnapshot frames_; // a write: the image's Frames; the TimeFrame follows them
    ReadInto readInto_ = ReadInto::Edited;
    std::size_t next_ = 0; // the Frame being sent
    transfer::Frame sending_;
    int sends_ = 0; // of the Frame being sent
    bool sentShort_ = false;
    std::bitset<transfer::kImageFrameCount> framesRead_; // a read: the blocks that arrived

    Actions out_;
};

} // namespace qta::link
