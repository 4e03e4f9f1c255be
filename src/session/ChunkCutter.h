#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qta::link {

// What the GPRS connection expects next. The network delivers the device's bytes
// in chunks that may split a unit or join several; what the connection expects
// decides how the buffered bytes are cut.
enum class Expect {
    Identification,  // locked: "QTA71P"; whatever comes before it is dropped
    CodeAnswer,      // after the access code: one answer byte, or "QTA71P" again
    Reports,         // unlocked and idle: StatusReports, found by their 0x1C 0x2C tail, or "QTA71P" again
    EndAnswer,       // after the end command 0x04: the device's 0x04, or a StatusReport
    WriteAcceptance, // after 0xAA: 16 bytes 0x06, or a StatusReport
    SendAcceptance,  // after 0x60 or 0x0E: 16 bytes 0x60, or a StatusReport
    Frames,          // a configuration read: 66-byte Frames at an address of the image
    Echoes,          // a configuration write: 64-byte echoes
    TimeFrameEcho,   // the echo of the TimeFrame, or a StatusReport once the device has ended the write
    Records,         // the event log: 32-byte records
};

enum class UnitKind { Identification, Answer, StatusReport, Acceptance, Frame, Echo, Record };

struct Unit {
    UnitKind kind = UnitKind::Answer;
    std::vector<std::uint8_t> bytes;
};

// The bytes received from the device and not yet taken, cut into units by what
// the connection expects. It never holds more than its limit: bytes that cannot
// start a unit are dropped as they are recognised, and the caller appends no
// more than room() (anyone can connect to the port and send anything).
class ChunkCutter {
public:
    explicit ChunkCutter(std::size_t limit);

    std::size_t room() const { return limit_ - buffer_.size(); }
    // Appends at most room() bytes; the rest is left to the caller.
    std::size_t append(std::span<const std::uint8_t> bytes);

    // The next whole unit for `expect`, or nothing until more bytes arrive.
    std::optional<Unit> next(Expect expect);

    // Bytes that may still become a unit.
    std::size_t buffered() const { return buffer_.size(); }
    // Drops what is buffered: an incomplete unit after silence, or bytes that came
    // before a message and cannot be its answer.
    void dropAll();
    // How many bytes were dropped in all.
    std::uint64_t dropped() const { return dropped_; }

private:
    std::optional<Unit> identification(bool answerOtherwise);
    std::optional<Unit> report(std::optional<std::uint8_t> acceptanceByte);
    std::optional<Unit> reportOrIdentification();
    std::optional<Unit> endAnswer();
    std::optional<Unit> fixed(UnitKind kind, std::size_t size);
    std::optional<Unit> frame();
    std::optional<Unit> timeFrameEcho();

    Unit take(UnitKind kind, std::size_t size);
    void drop(std::size_t count);
    void keepLast(std::size_t count);

    std::size_t limit_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t dropped_ = 0;
};

} // namespace qta::link
