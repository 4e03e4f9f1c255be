#pragma once

#include "RecordingView.h"

#include "model/Configuration.h"
#include "session/ChunkCutter.h"
#include "session/ProgrammerSession.h"
#include "sim/VirtualDevice.h"
#include "transfer/ConfigDecoder.h"

#include <functional>
#include <map>
#include <memory>

namespace qta::link::test {

// One session wired to one virtual device in-process, with nothing but bytes and
// time between them: what the device sends is cut by what the session expects,
// what the session asks for is carried out at once, and the session's timers and
// the device run on the rig's own time, which moves only from one due moment to
// the next. A rig shares nothing with another.
class SessionRig {
public:
    SessionRig(Transport transport, sim::DeviceOptions device);

    // Runs until `done` holds or `limit` of the rig's time has passed; true when it held.
    bool runUntil(const std::function<bool()>& done, Millis limit);
    // From a device that has just started: identification, the code, the first report.
    bool unlock(const std::string& code = "6173");
    void submit(const std::string& code) { carry(session.submitAccessCode(code)); }
    // Requests a transfer and runs until it ended; how it ended.
    std::optional<TransferEnd> transfer(TransferKind kind, Millis limit = Millis(120000));
    Millis now() const;

    sim::VirtualDevice device;
    LinkState state;
    ProgrammerSession session;
    RecordingView view;
    Configuration config = Configuration::startup('.');
    std::vector<Bytes> sent; // every send of the session, in order
    int closes = 0;          // the connection closed on the session's word
    bool vanished = false;

private:
    void carry(const Actions& actions);
    void feedUnits();
    void fireTimers();

    ChunkCutter cutter_{4096};
    sim::Micros now_{0};
    std::map<SessionTimer, sim::Micros> timers_;
    std::unique_ptr<transfer::ConfigDecoder> decoder_;
};

} // namespace qta::link::test
