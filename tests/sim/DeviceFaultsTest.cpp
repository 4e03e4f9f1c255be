#include "DeviceHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace qta::sim::test {
namespace {

DeviceOptions withFaults(const std::function<void(Faults&)>& set, std::uint64_t seed = 7) {
    DeviceOptions options = steadyOptions();
    set(options.faults);
    options.seed = seed;
    return options;
}

Bytes frameAt(std::uint16_t address, std::uint8_t fill) {
    Bytes frame(66, fill);
    frame[0] = static_cast<std::uint8_t>(address >> 8);
    frame[1] = static_cast<std::uint8_t>(address & 0xFF);
    return frame;
}

std::size_t changedBytes(const Bytes& a, const Bytes& b) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        count += a[i] != b[i] ? 1 : 0;
    return count;
}

// The positions of every occurrence of `pattern` in `stream`.
std::vector<std::size_t> occurrences(const Bytes& stream, const Bytes& pattern) {
    std::vector<std::size_t> at;
    for (auto it = std::search(stream.begin(), stream.end(), pattern.begin(), pattern.end());
         it != stream.end(); it = std::search(it + 1, stream.end(), pattern.begin(), pattern.end()))
        at.push_back(static_cast<std::size_t>(it - stream.begin()));
    return at;
}

// The echoes of 40 Frames, the same Frame sent again after each bad echo as the programmer does.
std::vector<Bytes> echoesOfAWrite(std::uint64_t seed, double chance) {
    DeviceHarness h(withFaults([&](Faults& f) { f.corruptEcho = chance; }, seed));
    h.unlock();
    h.answerReport(0xAA);
    EXPECT_EQ(h.next(), Bytes(16, 0x06));
    std::vector<Bytes> echoes;
    for (std::uint16_t i = 0; i < 40; ++i) {
        const Bytes frame = frameAt(static_cast<std::uint16_t>(64 * i), static_cast<std::uint8_t>(i));
        h.input(frame);
        const Bytes echo = h.next();
        echoes.push_back(echo);
        EXPECT_EQ(echo.size(), 64u);
        const std::size_t changed = changedBytes(echo, Bytes(frame.begin() + 2, frame.end()));
        EXPECT_LE(changed, 1u) << "a corrupted echo differs in exactly one byte";
        if (changed == 1) {
            h.input(frame);
            EXPECT_LE(changedBytes(h.next(), Bytes(frame.begin() + 2, frame.end())), 1u);
        }
        EXPECT_EQ(h.device.memory().bytes()[64 * i], i) << "what arrived is stored, whatever the echo";
    }
    return echoes;
}

TEST(DeviceFaults, CorruptEchoChangesExactlyOneByteAndTheSeedRepeatsTheRun) {
    const auto always = echoesOfAWrite(7, 1.0);
    for (std::size_t i = 0; i < always.size(); ++i)
        EXPECT_EQ(changedBytes(always[i], Bytes(64, static_cast<std::uint8_t>(i))), 1u) << "echo " << i;

    const auto some = echoesOfAWrite(7, 0.3);
    const auto count = std::count_if(some.begin(), some.end(), [i = 0](const Bytes& echo) mutable {
        return changedBytes(echo, Bytes(64, static_cast<std::uint8_t>(i++))) == 1;
    });
    EXPECT_GT(count, 3);
    EXPECT_LT(count, 30);
    EXPECT_EQ(echoesOfAWrite(7, 0.3), some);
    EXPECT_NE(echoesOfAWrite(8, 0.3), some);
}

TEST(DeviceFaults, SilentAfterNFramesOfAWriteSendsNothingEverAgain) {
    DeviceHarness h(withFaults([](Faults& f) { f.silentAfter = 5; }));
    h.unlock();
    h.answerReport(0xAA);
    ASSERT_EQ(h.next(), Bytes(16, 0x06));
    for (std::uint16_t i = 0; i < 5; ++i) {
        h.input(frameAt(static_cast<std::uint16_t>(64 * i), 0x33));
        EXPECT_EQ(h.next(), Bytes(64, 0x33));
    }
    h.input(frameAt(5 * 64, 0x33));
    h.runTo(h.device.now() + 120s);
    h.input({0x1F, 0x04, '6', '1', '7', '3', 0x0D, 0x1B});
    h.runTo(h.device.now() + 120s);
    EXPECT_TRUE(h.fresh().empty());
    EXPECT_EQ(h.device.phase(), Phase::Mute);
}

TEST(DeviceFaults, DropAfterNFramesOfAReadVanishesOnceAndNotAgainOnTheNextConnection) {
    DeviceHarness h(withFaults([](Faults& f) { f.dropAfter = 3; }));
    int vanished = 0;
    h.device.onVanish([&] { ++vanished; });
    h.unlock();
    h.answerReport(0x60);
    ASSERT_EQ(h.next(), Bytes(16, 0x60));
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(h.next().size(), 66u);
        h.input({0x1F});
    }
    EXPECT_TRUE(h.next(30s).empty());
    EXPECT_EQ(vanished, 1);
    EXPECT_EQ(h.device.phase(), Phase::Gone);

    h.device.start(h.device.now());
    h.unlock();
    h.answerReport(0x0E);
    ASSERT_EQ(h.next(), Bytes(16, 0x60));
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(h.next().size(), 32u) << "record " << i;
        h.input({0x1F});
    }
    EXPECT_EQ(vanished, 1);
}

TEST(DeviceFaults, GarbageNeverFormsAnIdentificationOrAReportEnd) {
    DeviceOptions options = withFaults([](Faults& f) { f.garbage = true; }, 11);
    options.varyStatus = true;
    DeviceHarness h(options);
    h.runTo(60s);
    Bytes locked;
    std::size_t idents = 0;
    std::size_t noise = 0;
    for (const Sent& unit : h.fresh()) {
        locked.insert(locked.end(), unit.bytes.begin(), unit.bytes.end());
        if (unit.bytes == bytesOf("QTA71P"))
            ++idents;
        else
            ++noise;
    }
    EXPECT_GT(noise, 50u);
    EXPECT_EQ(occurrences(locked, bytesOf("QTA71P")).size(), idents);

    h.input({0x1F});
    h.input(accessCodeMessage("6173"));
    ASSERT_EQ(h.fresh().back().bytes, Bytes{0x06});
    Bytes unlocked;
    std::vector<std::size_t> reportEnds;
    std::size_t noiseBursts = 0;
    for (int i = 0; i < 400; ++i) {
        const Bytes unit = h.next();
        unlocked.insert(unlocked.end(), unit.begin(), unit.end());
        if (isReport(unit)) {
            reportEnds.push_back(unlocked.size() - 2);
            h.input({static_cast<std::uint8_t>(0x1B + i % 9)}); // outputs switch now and then
        } else {
            ++noiseBursts;
        }
    }
    EXPECT_GT(noiseBursts, 100u);
    EXPECT_EQ(occurrences(unlocked, {0x1C, 0x2C}), reportEnds) << "0x1C 0x2C only where a report ends";
}

TEST(DeviceFaults, ReportValuesNeverFormAFalseEnd) {
    DeviceHarness h;
    h.unlock();
    DeviceStatus& status = h.device.status();
    status.inputs = 0x1C;
    status.analog1 = 0x2C;
    const Bytes first = h.next();
    EXPECT_EQ(first[1], 0x2D);
    h.input({0x1B});
    status.inputs = 0;
    status.analog1 = 0x1C;
    status.analog2 = 0x2C;
    const Bytes second = h.next();
    EXPECT_EQ(second[2], 0x2D);
    EXPECT_EQ(occurrences(first, {0x1C, 0x2C}), std::vector<std::size_t>{19});
    EXPECT_EQ(occurrences(second, {0x1C, 0x2C}), std::vector<std::size_t>{19});
}

} // namespace
} // namespace qta::sim::test
