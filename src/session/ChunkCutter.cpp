#include "ChunkCutter.h"

#include "Commands.h"

#include "log/EventRecord.h"
#include "log/StatusReport.h"
#include "transfer/ConfigImage.h"
#include "transfer/Frame.h"

#include <algorithm>
#include <array>

namespace qta::link {
namespace {

// The smallest limit that still holds the largest unit.
constexpr std::size_t kSmallestLimit = transfer::kFrameSize;

using Buffer = std::vector<std::uint8_t>;

std::optional<std::size_t> reportStart(const Buffer& buffer) {
    constexpr std::size_t size = log::kStatusReportSize;
    for (std::size_t end = size; end <= buffer.size(); ++end) {
        if (std::equal(kReportTail.begin(), kReportTail.end(), buffer.begin() + static_cast<long>(end) - 2))
            return end - size;
    }
    return std::nullopt;
}

std::optional<std::size_t> acceptanceStart(const Buffer& buffer, std::uint8_t byte) {
    const auto at = std::search_n(buffer.begin(), buffer.end(), kAcceptanceSize, byte);
    if (at == buffer.end())
        return std::nullopt;
    return static_cast<std::size_t>(at - buffer.begin());
}

} // namespace

ChunkCutter::ChunkCutter(std::size_t limit) : limit_(std::max(limit, kSmallestLimit)) {
    buffer_.reserve(limit_);
}

std::size_t ChunkCutter::append(std::span<const std::uint8_t> bytes) {
    const std::size_t taken = std::min(bytes.size(), room());
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.begin() + static_cast<long>(taken));
    return taken;
}

std::optional<Unit> ChunkCutter::next(Expect expect) {
    switch (expect) {
    case Expect::Identification:
        return identification(false);
    case Expect::CodeAnswer:
        return identification(true);
    case Expect::Reports:
        return reportOrIdentification();
    case Expect::EndAnswer:
        return endAnswer();
    case Expect::WriteAcceptance:
        return report(kWriteAccepted);
    case Expect::SendAcceptance:
        return report(kSendingAccepted);
    case Expect::Frames:
        return frame();
    case Expect::Echoes:
        return fixed(UnitKind::Echo, transfer::kPayloadSize);
    case Expect::TimeFrameEcho:
        return timeFrameEcho();
    case Expect::Records:
        return fixed(UnitKind::Record, log::kEventRecordSize);
    }
    return std::nullopt;
}

void ChunkCutter::dropAll() {
    drop(buffer_.size());
}

// While locked, only "QTA71P" counts; after the code was sent, anything else that
// comes first is the device's one-byte answer.
std::optional<Unit> ChunkCutter::identification(bool answerOtherwise) {
    if (answerOtherwise) {
        if (buffer_.empty())
            return std::nullopt;
        const std::size_t compared = std::min(buffer_.size(), kIdentification.size());
        if (!std::equal(buffer_.begin(), buffer_.begin() + static_cast<long>(compared),
                        kIdentification.begin()))
            return take(UnitKind::Answer, 1);
        if (compared < kIdentification.size())
            return std::nullopt;
        return take(UnitKind::Identification, kIdentification.size());
    }
    const auto at =
        std::search(buffer_.begin(), buffer_.end(), kIdentification.begin(), kIdentification.end());
    if (at != buffer_.end()) {
        drop(static_cast<std::size_t>(at - buffer_.begin()));
        return take(UnitKind::Identification, kIdentification.size());
    }
    // Keep only an end that may still grow into the identification.
    for (std::size_t kept = std::min(buffer_.size(), kIdentification.size() - 1); kept > 0; --kept) {
        if (std::equal(buffer_.end() - static_cast<long>(kept), buffer_.end(), kIdentification.begin())) {
            keepLast(kept);
            return std::nullopt;
        }
    }
    dropAll();
    return std::nullopt;
}

// A StatusReport, or (while a command waits for it) the device's 16-byte
// acceptance, whichever starts first; bytes before it are dropped. A report holds
// clock digits in bytes 6 to 15, so it never contains sixteen equal acceptance bytes.
std::optional<Unit> ChunkCutter::report(std::optional<std::uint8_t> acceptanceByte) {
    const std::optional<std::size_t> reportAt = reportStart(buffer_);
    const std::optional<std::size_t> acceptanceAt =
        acceptanceByte ? acceptanceStart(buffer_, *acceptanceByte) : std::nullopt;
    if (acceptanceAt && (!reportAt || *acceptanceAt < *reportAt)) {
        drop(*acceptanceAt);
        return take(UnitKind::Acceptance, kAcceptanceSize);
    }
    if (reportAt) {
        drop(*reportAt);
        return take(UnitKind::StatusReport, log::kStatusReportSize);
    }
    keepLast(log::kStatusReportSize - 1);
    return std::nullopt;
}

// An unlocked device that locked itself again (it had no answers for a while)
// identifies itself instead of reporting: whichever starts first is taken.
std::optional<Unit> ChunkCutter::reportOrIdentification() {
    const auto at =
        std::search(buffer_.begin(), buffer_.end(), kIdentification.begin(), kIdentification.end());
    const std::optional<std::size_t> reportAt = reportStart(buffer_);
    if (at != buffer_.end() && (!reportAt || static_cast<std::size_t>(at - buffer_.begin()) < *reportAt)) {
        drop(static_cast<std::size_t>(at - buffer_.begin()));
        return take(UnitKind::Identification, kIdentification.size());
    }
    return report(std::nullopt);
}

// The device's 0x04, unless a whole StatusReport (which may start with 0x04) is there.
std::optional<Unit> ChunkCutter::endAnswer() {
    if (buffer_.empty())
        return std::nullopt;
    const bool reportFirst = buffer_.size() >= log::kStatusReportSize &&
                             std::equal(kReportTail.begin(), kReportTail.end(),
                                        buffer_.begin() + static_cast<long>(log::kStatusReportSize) - 2);
    if (!reportFirst && buffer_.front() == kEndCommand)
        return take(UnitKind::Answer, 1);
    return report(std::nullopt);
}

std::optional<Unit> ChunkCutter::fixed(UnitKind kind, std::size_t size) {
    if (buffer_.size() < size)
        return std::nullopt;
    return take(kind, size);
}

// 66 bytes whose address is not one of the image's blocks are not a Frame of the
// device (a stray report, noise): they are dropped, never decoded.
std::optional<Unit> ChunkCutter::frame() {
    while (buffer_.size() >= transfer::kFrameSize) {
        const auto address = static_cast<std::uint16_t>(buffer_[0] << 8 | buffer_[1]);
        if (isImageAddress(address))
            return take(UnitKind::Frame, transfer::kFrameSize);
        drop(transfer::kFrameSize);
    }
    return std::nullopt;
}

// The TimeFrame's payload is ten digits and zeros, so its echo never has a
// report's tail where a StatusReport has it: a device that has finished its
// write and reports again is told from one whose echo is still coming.
std::optional<Unit> ChunkCutter::timeFrameEcho() {
    const bool report = buffer_.size() >= log::kStatusReportSize &&
                        std::equal(kReportTail.begin(), kReportTail.end(),
                                   buffer_.begin() + static_cast<long>(log::kStatusReportSize) - 2);
    if (report)
        return take(UnitKind::StatusReport, log::kStatusReportSize);
    return fixed(UnitKind::Echo, transfer::kPayloadSize);
}

Unit ChunkCutter::take(UnitKind kind, std::size_t size) {
    Unit unit{kind, Buffer(buffer_.begin(), buffer_.begin() + static_cast<long>(size))};
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(size));
    return unit;
}

void ChunkCutter::drop(std::size_t count) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(count));
    dropped_ += count;
}

void ChunkCutter::keepLast(std::size_t count) {
    if (buffer_.size() > count)
        drop(buffer_.size() - count);
}

} // namespace qta::link
