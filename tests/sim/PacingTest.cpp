#include "DeviceHarness.h"

#include "sim/ChunkShaper.h"
#include "sim/PacedDevice.h"
#include "sim/PacedLine.h"

#include <gtest/gtest.h>

namespace qta::sim::test {
namespace {

// At 9600 baud a byte is 10 bits: 1041.67 us; 66 bytes exactly 68.75 ms.
TEST(Pacing, AFrameTakes68_75MillisecondsAt9600AndArrivesByteByByte) {
    PacedLine line(9600);
    EXPECT_EQ(line.duration(66), Micros(68750));
    line.push(Bytes(66, 0x55), Micros(1000));
    EXPECT_EQ(line.nextDue(), Micros(1000 + 1042));
    const auto firstHalf = line.take(Micros(1000 + 34375)); // 33 bytes take 34.375 ms
    ASSERT_EQ(firstHalf.size(), 1u);
    EXPECT_EQ(firstHalf[0].size(), 33u);
    EXPECT_TRUE(line.take(Micros(1000 + 68749)).at(0).size() == 32u) << "the last byte is not there yet";
    EXPECT_EQ(line.nextDue(), Micros(1000 + 68750));
    EXPECT_EQ(line.take(Micros(1000 + 68750)).at(0).size(), 1u);
    EXPECT_TRUE(line.empty());

    // A unit offered while the line is busy follows it; one offered later starts fresh.
    line.push(Bytes(6, 1), Micros(200000));
    line.push(Bytes(6, 2), Micros(200000));
    line.push(Bytes(6, 3), Micros(300000));
    EXPECT_EQ(line.take(Micros(200000 + 12500)).at(0).size(), 12u); // 12 bytes: 12.5 ms
    EXPECT_EQ(line.nextDue(), Micros(300000 + 1042));

    PacedLine instant(0);
    instant.push(Bytes(66, 0), Micros(5));
    EXPECT_EQ(instant.take(Micros(5)).at(0).size(), 66u);
}

TEST(Pacing, WholeUnitsLeaveOnlyOnceTheirLastByteHasCrossed) {
    PacedLine line(9600, PacedLine::Delivery::WholeUnits);
    line.push(Bytes(16, 0x06), Micros(0));
    line.push(Bytes(66, 0x01), Micros(0));
    EXPECT_TRUE(line.take(Micros(16665)).empty());
    EXPECT_EQ(line.take(Micros(16667)), std::vector<Bytes>{Bytes(16, 0x06)});
    EXPECT_EQ(line.nextDue(), Micros(85417)); // 82 bytes: 85416.67 us
}

// The whole path of one Frame over a paced wire: 66 bytes in, 64 bytes of echo out.
TEST(Pacing, APacedDeviceEchoesAFrameAfterTheFrameAndTheEchoHaveCrossed) {
    VirtualDevice device(steadyOptions());
    PacedDevice paced(device, 9600);
    std::vector<Sent> delivered;
    paced.onDelivered([&](std::span<const std::uint8_t> bytes) {
        delivered.push_back({device.now(), Bytes(bytes.begin(), bytes.end())});
    });
    // Identification: six bytes, 6.25 ms on the wire.
    paced.advanceTo(Micros(7000));
    Bytes ident;
    for (const Sent& piece : delivered)
        ident.insert(ident.end(), piece.bytes.begin(), piece.bytes.end());
    EXPECT_EQ(ident, bytesOf("QTA71P"));
    EXPECT_EQ(delivered.back().at, Micros(6250));

    paced.fromHost(Bytes{0x1F}, Micros(10000));
    paced.fromHost(accessCodeMessage("6173"), Micros(10000));
    paced.advanceTo(Micros(10000 + 7292)); // seven bytes in: 7.29 ms
    EXPECT_EQ(device.phase(), Phase::Reporting);
    delivered.clear();
    paced.advanceTo(device.nextDue());
    paced.advanceTo(device.now() + Micros(21875)); // the report, 21 bytes
    paced.fromHost(Bytes{0xAA}, device.now());
    paced.advanceTo(device.now() + 1042us + 16667us); // the answer in, the acceptance out
    delivered.clear();

    const Micros start = device.now();
    Bytes frame(66, 0x5A);
    frame[0] = 0x01;
    frame[1] = 0x00;
    paced.fromHost(frame, start);
    paced.advanceTo(start + 68749us);
    EXPECT_TRUE(delivered.empty()) << "the device has not got the last byte yet";
    paced.advanceTo(start + 68750us + 66666us);
    Bytes echo;
    for (const Sent& piece : delivered)
        echo.insert(echo.end(), piece.bytes.begin(), piece.bytes.end());
    EXPECT_EQ(echo.size(), 63u);
    paced.advanceTo(start + 68750us + 66667us);
    EXPECT_EQ(echo.size() + delivered.back().bytes.size(), 64u);
    EXPECT_EQ(device.memory().bytes()[0x100], 0x5A);
}

TEST(ChunkShaper, SplitCutsAUnitIntoPiecesAPauseApartAndJoinSendsTwoUnitsAsOne) {
    ChunkShaper::Options splitting;
    splitting.split = true;
    ChunkShaper split(splitting, 3);
    const Bytes frame(66, 7);
    split.push(frame, Micros(0), kNever);
    Bytes joined;
    std::size_t chunks = 0;
    Micros last(0);
    while (split.nextDue() != kNever) {
        const Micros at = split.nextDue();
        for (const Bytes& chunk : split.take(at)) {
            joined.insert(joined.end(), chunk.begin(), chunk.end());
            ++chunks;
            EXPECT_LT(chunk.size(), frame.size());
        }
        EXPECT_TRUE(chunks == 1 || at - last == Micros(30ms));
        last = at;
    }
    EXPECT_GE(chunks, 2u);
    EXPECT_EQ(joined, frame);

    // Join: an identification is held while the next one is due soon, and both go as one chunk.
    ChunkShaper::Options joining;
    joining.join = true;
    ChunkShaper join(joining, 3);
    join.push(bytesOf("QTA71P"), Micros(0), Micros(500ms));
    EXPECT_TRUE(join.take(Micros(499ms)).empty());
    join.push(bytesOf("QTA71P"), Micros(500ms), Micros(1000ms));
    EXPECT_EQ(join.take(Micros(500ms)), std::vector<Bytes>{bytesOf("QTA71PQTA71P")});
    // A unit with nothing due after it (an echo waits for the next Frame) is not held.
    join.push(Bytes(64, 1), Micros(600ms), kNever);
    EXPECT_EQ(join.take(Micros(600ms)).size(), 1u);
    // A held unit whose partner does not come in time goes alone.
    join.push(Bytes(16, 0x60), Micros(700ms), Micros(750ms));
    EXPECT_EQ(join.nextDue(), Micros(1500ms));
    EXPECT_EQ(join.take(Micros(1500ms)), std::vector<Bytes>{Bytes(16, 0x60)});
}

} // namespace
} // namespace qta::sim::test
