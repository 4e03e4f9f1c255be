// Cuts arbitrary bytes, in arbitrary chunks, into GPRS units under arbitrary
// expectations: the buffer never outgrows its limit, every byte is either in a
// unit, dropped or still buffered, and every unit has the shape its kind
// promises (so noise never reaches a decoder as a Frame, a report or a record),
// and a full buffer never leaves the connection waiting for room.
//
// Input: a sequence of steps, each a control byte (what is expected, and whether
// the buffer is dropped first), a length byte, then that many bytes of chunk.
#include "session/ChunkCutter.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

namespace {

using qta::link::Expect;
using qta::link::Unit;
using qta::link::UnitKind;

constexpr std::size_t kLimit = 200;
constexpr Expect kExpectations[] = {
    Expect::Identification, Expect::CodeAnswer, Expect::Reports, Expect::EndAnswer, Expect::WriteAcceptance,
    Expect::SendAcceptance, Expect::Frames,     Expect::Echoes,  Expect::Records,   Expect::TimeFrameEcho};

bool allEqual(const Unit& unit, std::uint8_t byte) {
    return std::all_of(unit.bytes.begin(), unit.bytes.end(), [&](std::uint8_t b) { return b == byte; });
}

bool wellFormed(const Unit& unit, Expect expect) {
    const std::size_t size = unit.bytes.size();
    switch (unit.kind) {
    case UnitKind::Identification:
        return (expect == Expect::Identification || expect == Expect::CodeAnswer ||
                expect == Expect::Reports) &&
               size == 6 && std::equal(unit.bytes.begin(), unit.bytes.end(), "QTA71P");
    case UnitKind::Answer:
        return size == 1 &&
               (expect == Expect::CodeAnswer || (expect == Expect::EndAnswer && unit.bytes[0] == 0x04));
    case UnitKind::StatusReport:
        return size == 21 && unit.bytes[19] == 0x1C && unit.bytes[20] == 0x2C &&
               (expect == Expect::Reports || expect == Expect::EndAnswer ||
                expect == Expect::WriteAcceptance || expect == Expect::SendAcceptance ||
                expect == Expect::TimeFrameEcho);
    case UnitKind::Acceptance:
        return size == 16 && ((expect == Expect::WriteAcceptance && allEqual(unit, 0x06)) ||
                              (expect == Expect::SendAcceptance && allEqual(unit, 0x60)));
    case UnitKind::Frame: {
        const int address = unit.bytes[0] << 8 | unit.bytes[1];
        return expect == Expect::Frames && size == 66 && address % 64 == 0 && address <= 0x53C0;
    }
    case UnitKind::Echo:
        return (expect == Expect::Echoes || expect == Expect::TimeFrameEcho) && size == 64;
    case UnitKind::Record:
        return expect == Expect::Records && size == 32;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qta::link::ChunkCutter cutter(kLimit);
    const std::span<const std::uint8_t> input(data, size);
    std::uint64_t appended = 0;
    std::uint64_t inUnits = 0;
    std::size_t at = 0;
    while (at + 2 <= input.size()) {
        const std::uint8_t control = input[at];
        const std::size_t length = std::min<std::size_t>(input[at + 1], input.size() - at - 2);
        at += 2;
        const Expect expect = kExpectations[control % std::size(kExpectations)];
        if (control & 0x80)
            cutter.dropAll();
        // Like the connection: bytes beyond the room stay in the network until units are taken.
        std::span<const std::uint8_t> chunk = input.subspan(at, length);
        at += length;
        while (!chunk.empty()) {
            const std::size_t taken = cutter.append(chunk);
            appended += taken;
            chunk = chunk.subspan(taken);
            if (cutter.buffered() > kLimit)
                __builtin_trap();
            while (const auto unit = cutter.next(expect)) {
                if (!wellFormed(*unit, expect))
                    __builtin_trap();
                inUnits += unit->bytes.size();
            }
            // A full buffer always gives a unit or drops what cannot start one: the
            // connection never waits for bytes it has no room to take.
            if (cutter.room() == 0)
                __builtin_trap();
        }
        if (appended != inUnits + cutter.dropped() + cutter.buffered())
            __builtin_trap();
    }
    return 0;
}
