#pragma once

#include "DeviceClock.h"
#include "DeviceOptions.h"
#include "DeviceStatus.h"
#include "EventLog.h"
#include "Random.h"
#include "SimTime.h"
#include "transfer/ConfigImage.h"

#include <functional>
#include <span>
#include <string>

namespace qta::sim {

enum class Phase {
    Identifying,    // locked: "QTA71P" every identPeriod
    AwaitingCode,   // after 0x1F: the AccessCodeMessage
    Reporting,      // unlocked: the next StatusReport is due
    AwaitingAnswer, // a StatusReport is out, its answer byte not yet in
    Writing,        // taking Frames, echoing each payload
    Reading,        // sending its memory, one Frame per 0x1F
    SendingEvents,  // sending its event log, one record per 0x1F
    Mute,           // a fault: sends nothing, takes nothing, for good
    Gone,           // vanished or hung up: waits for start()
};

// The device side of the protocol, driven by bytes and time only, so that it
// runs the same in-process (tests, the virtual bridge) and behind a pty or a TCP
// connection. Call advanceTo() with the current time before receive(); the
// device acts at the moments nextDue() names.
class VirtualDevice {
public:
    using Output = std::function<void(std::span<const std::uint8_t>)>;
    using Notice = std::function<void(const std::string&)>;

    explicit VirtualDevice(DeviceOptions options = {});

    // Its configuration memory: the start-up Configuration until set.
    void setMemory(const transfer::ConfigImage& memory) { memory_ = memory; }
    // Its event log: generated from the seed until set.
    void setEvents(const EventLog& events) { events_ = events; }
    void setClock(const transfer::DateTime& dateTime) { clock_.set(dateTime, now_); }

    // Each unit it sends (an identification, a report, an echo, a Frame...) in one call.
    void onOutput(Output output) { output_ = std::move(output); }
    // The drop fault: the link must go away now (close the pty, drop the connection).
    void onVanish(std::function<void()> vanish) { vanish_ = std::move(vanish); }
    // Over the network, after answering 0x04: the connection ends.
    void onHangUp(std::function<void()> hangUp) { hangUp_ = std::move(hangUp); }
    // One line per notable event, for a verbose log.
    void onNotice(Notice notice) { notice_ = std::move(notice); }

    // Power-on or a new connection: locked and identifying from `now`.
    void start(Micros now);
    void receive(std::span<const std::uint8_t> bytes);
    void advanceTo(Micros now);
    // When it next acts on its own; kNever when it only waits for bytes.
    Micros nextDue() const { return due_; }
    // When it next sends on its own (an identification, noise, a report, the
    // next unit of a read); kNever when it waits for the programmer first.
    Micros nextOutputDue() const;
    Micros now() const { return now_; }

    Phase phase() const { return phase_; }
    bool unlocked() const;
    const transfer::ConfigImage& memory() const { return memory_; }
    const EventLog& events() const { return events_; }
    transfer::DateTime clock() const { return clock_.at(now_); }
    std::uint8_t outputs() const { return status_.outputs; }
    // The values its reports carry; tests may set them.
    DeviceStatus& status() { return status_; }
    // The access code held in its memory.
    std::string accessCode() const;
    const DeviceOptions& options() const { return options_; }

private:
    void fire();
    void take(std::uint8_t byte);
    void send(std::span<const std::uint8_t> unit);
    void notice(const std::string& text);

    void enterIdentifying(Micros firstAfter);
    void enterReporting();
    void takeCodeByte(std::uint8_t byte);
    void sendReport();
    void answer(std::uint8_t byte);
    void startWrite();
    void flipAfterWrite();
    void takeFrameByte(std::uint8_t byte);
    void takeFrame();
    void startSending(Phase phase, std::size_t count);
    void sendNextUnit();
    Bytes unit(std::size_t index) const;
    void abandon();
    bool faultBefore(std::size_t frameIndex);

    DeviceOptions options_;
    Random statusRandom_;
    Random faultRandom_;
    Random noiseRandom_;
    transfer::ConfigImage memory_;
    EventLog events_;
    DeviceClock clock_;
    DeviceStatus status_;

    Output output_;
    std::function<void()> vanish_;
    std::function<void()> hangUp_;
    Notice notice_;

    Phase phase_ = Phase::Gone;
    Micros now_{0};
    Micros due_ = kNever;
    bool noiseTurn_ = false; // garbage: noise goes before the next identification or report
    Micros lastAnswerAt_{0};
    Bytes received_; // the AccessCodeMessage or the Frame taken so far
    Micros lastByteAt_{0};
    std::size_t framesTaken_ = 0; // Frames of this write
    std::size_t nextUnit_ = 0;    // reads: the Frame or record to send next
    std::size_t unitCount_ = 0;
    bool awaitingAck_ = false;
    bool dropSpent_ = false;
};

} // namespace qta::sim
