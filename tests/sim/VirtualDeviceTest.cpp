#include "DeviceHarness.h"

#include "catalogue/DeviceTexts.h"
#include "model/Configuration.h"
#include "transfer/ConfigEncoder.h"

#include <gtest/gtest.h>

namespace qta::sim::test {
namespace {

// The TimeFrame of 7 December 2026, 22:05: 0x80 0x80, the digits, 54 zero bytes.
Bytes timeFrame2612072205() {
    Bytes frame{0x80, 0x80};
    const Bytes digits = bytesOf("2612072205");
    frame.insert(frame.end(), digits.begin(), digits.end());
    frame.resize(66, 0x00);
    return frame;
}

Bytes clockDigits(const Bytes& report) {
    return {report.begin() + 6, report.begin() + 16};
}

TEST(VirtualDevice, IdentifiesUntilAcknowledgedThenWaitsForTheCodeAndIdentifiesAgainWhenNoneComes) {
    DeviceHarness h;
    h.runTo(1200ms);
    const auto idents = h.fresh();
    ASSERT_EQ(idents.size(), 3u);
    for (std::size_t i = 0; i < idents.size(); ++i) {
        EXPECT_EQ(idents[i].bytes, bytesOf("QTA71P"));
        EXPECT_EQ(idents[i].at, Micros(500ms) * static_cast<int>(i));
    }
    h.input({0x1F});
    EXPECT_EQ(h.device.phase(), Phase::AwaitingCode);
    h.runTo(1200ms + 29s);
    EXPECT_TRUE(h.fresh().empty()) << "quiet while the access code is awaited";
    h.runTo(1200ms + 31s);
    const auto after = h.fresh();
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(after[0].bytes, bytesOf("QTA71P"));
    EXPECT_FALSE(h.device.unlocked());
}

TEST(VirtualDevice, RefusesAWrongCodeAndTakesTheRightOneFromItsMemory) {
    DeviceHarness h;
    ASSERT_EQ(h.next(), bytesOf("QTA71P"));
    h.input({0x1F});
    h.input(accessCodeMessage("6174"));
    EXPECT_EQ(h.next(), Bytes{0x1B});
    h.input({0x0D}); // the programmer's close of the refusal is no answer to anything
    EXPECT_EQ(h.next(), bytesOf("QTA71P")) << "identifying again";
    EXPECT_FALSE(h.device.unlocked());

    // A code without its 0x0D, or with something else in its place, is refused too.
    h.input({0x1F, 0x04, '6', '1', '7', '3', 0x0A});
    EXPECT_EQ(h.next(), Bytes{0x1B});

    ASSERT_EQ(h.next(), bytesOf("QTA71P"));
    h.input({0x1F});
    h.input(accessCodeMessage("6173"));
    EXPECT_EQ(h.next(), Bytes{0x06});
    EXPECT_TRUE(h.device.unlocked());
}

TEST(VirtualDevice, ReportsItsStateAndSwitchesOutputsByTheAnswer) {
    DeviceHarness h;
    h.device.setClock({2026, 12, 7, 22, 5});
    DeviceStatus& status = h.device.status();
    status.inputs = 0x81;
    status.analog1 = 255;
    status.analog2 = 0;
    status.supply = 110;
    status.mains = 1;
    status.gsmLevel = 3;
    status.gprs = 2;
    h.unlock();
    const Micros unlockedAt = h.device.now();

    const Bytes first = h.next();
    EXPECT_EQ(h.device.now(), unlockedAt + 250ms);
    const Bytes expected{0x81, 0xFF, 0x00, 110, 0x01, '3',  '2',  '6',  '1',  '2', '0',
                         '7',  '2',  '2',  '0', '5',  0x02, 0x80, 0x00, 0x1C, 0x2C};
    EXPECT_EQ(first, expected);

    h.input({0x21}); // output 2 on
    const Bytes second = h.next();
    EXPECT_EQ(second[17], 0x82);
    h.input({0x23}); // output 4 on
    EXPECT_EQ(h.next()[17], 0x8A);
    h.input({0x1D}); // output 2 off
    EXPECT_EQ(h.next()[17], 0x88);
    h.input({0x1B}); // nothing
    EXPECT_EQ(h.next()[17], 0x88);
    EXPECT_EQ(h.device.outputs(), 0x08);

    // Unanswered, the report comes again after the bounded wait; unknown bytes
    // are no answer.
    const Micros reportAt = h.device.now();
    h.input({0x55, 0x07});
    EXPECT_TRUE(isReport(h.next()));
    EXPECT_EQ(h.device.now(), reportAt + 1s);
    EXPECT_EQ(h.device.outputs(), 0x08);
    h.input({0x1F}); // output 4 off
    EXPECT_EQ(h.next()[17], 0x80);

    // The clock runs on: a minute later the report says 22:06.
    while (h.device.now() < unlockedAt + 60s)
        h.answerReport(0x1B);
    EXPECT_EQ(clockDigits(h.next()), bytesOf("2612072206"));

    // A programmer that stops answering loses the device: it locks and identifies again.
    h.wait(11s);
    EXPECT_FALSE(h.device.unlocked());
    EXPECT_EQ(h.fresh().back().bytes, bytesOf("QTA71P"));
}

TEST(VirtualDevice, TakesAWholeWriteEchoingEachFrameAndSetsMemoryAccessCodeAndClock) {
    Configuration config = Configuration::startup('.');
    config.setText(config.table().id("Pass"), "1234");
    config.setText(config.table().id("TNIN_V_1_1"), "555");
    const transfer::ConfigImage image =
        transfer::encodeImage(config, catalogue::imageDeviceTexts(Language::SK));

    DeviceHarness h;
    h.unlock();
    h.answerReport(0xAA);
    EXPECT_EQ(h.next(), Bytes(16, 0x06));
    EXPECT_EQ(h.device.phase(), Phase::Writing);

    for (std::size_t i = 0; i < transfer::kImageFrameCount; ++i) {
        const auto wire = image.frame(i).toWire();
        // The Frame may arrive in pieces, as reads of the wire deliver it.
        h.input(Bytes(wire.begin(), wire.begin() + 10));
        EXPECT_TRUE(h.fresh().empty());
        h.input(Bytes(wire.begin() + 10, wire.end()));
        const auto echo = h.fresh();
        ASSERT_EQ(echo.size(), 1u) << "Frame " << i;
        ASSERT_EQ(echo[0].bytes, Bytes(wire.begin() + 2, wire.end())) << "Frame " << i;
        h.wait(5ms);
    }
    EXPECT_EQ(h.device.memory().bytes(), image.bytes());
    EXPECT_EQ(h.device.phase(), Phase::Writing) << "only the TimeFrame ends the write";

    const Bytes time = timeFrame2612072205();
    h.input(time);
    EXPECT_EQ(h.next(), Bytes(time.begin() + 2, time.end()));
    EXPECT_EQ(h.device.memory().bytes(), image.bytes()) << "the TimeFrame is not stored";
    const Bytes report = h.next();
    ASSERT_TRUE(isReport(report));
    EXPECT_EQ(clockDigits(report), bytesOf("2612072205"));
    EXPECT_EQ(h.device.accessCode(), "1234");

    // The new code is the one that unlocks it from now on.
    h.wait(11s);
    ASSERT_FALSE(h.device.unlocked());
    h.fresh();
    ASSERT_EQ(h.next(), bytesOf("QTA71P"));
    h.input({0x1F});
    h.input(accessCodeMessage("6173"));
    EXPECT_EQ(h.next(), Bytes{0x1B});
    ASSERT_EQ(h.next(), bytesOf("QTA71P"));
    h.input({0x1F});
    h.input(accessCodeMessage("1234"));
    EXPECT_EQ(h.next(), Bytes{0x06});
}

TEST(VirtualDevice, DropsAPartOfAFrameAfterSilenceAndAbandonsASilentWrite) {
    DeviceHarness h;
    h.unlock();
    h.answerReport(0xAA);
    ASSERT_EQ(h.next(), Bytes(16, 0x06));
    h.input(Bytes(30, 0x11)); // a Frame cut short
    h.wait(300ms);
    Bytes frame(66, 0x22);
    frame[0] = 0x00;
    frame[1] = 0x40;
    h.input(frame);
    EXPECT_EQ(h.next(), Bytes(64, 0x22)) << "the next whole Frame is taken from its first byte";
    EXPECT_EQ(h.device.memory().bytes()[0x40], 0x22);

    h.wait(2900ms);
    EXPECT_EQ(h.device.phase(), Phase::Writing);
    EXPECT_TRUE(isReport(h.next())) << "three silent seconds end the write";
    EXPECT_TRUE(h.device.unlocked());
}

TEST(VirtualDevice, SendsItsMemoryFrameByFrameEachOnlyAfterTheAcknowledgement) {
    std::vector<std::uint8_t> pattern(transfer::kImageSize);
    for (std::size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = static_cast<std::uint8_t>(i % 251);
    const Bytes code = accessCodeMessage("6173"); // its length byte and digits are the stored code
    std::copy(code.begin(), code.end() - 1, pattern.begin() + 0x46C0 + 32);
    DeviceHarness h;
    h.device.setMemory(*transfer::ConfigImage::fromBytes(pattern));
    h.unlock();
    h.answerReport(0x60);
    const Micros answeredAt = h.device.now();
    EXPECT_EQ(h.next(), Bytes(16, 0x60));

    for (std::size_t i = 0; i < 336; ++i) {
        const Bytes frame = h.next(2s);
        ASSERT_EQ(frame.size(), 66u) << "Frame " << i;
        const std::size_t address = 64 * i;
        EXPECT_EQ(frame[0], address >> 8);
        EXPECT_EQ(frame[1], address & 0xFF);
        EXPECT_TRUE(std::equal(frame.begin() + 2, frame.end(),
                               pattern.begin() + static_cast<std::ptrdiff_t>(address)));
        if (i == 0) {
            EXPECT_EQ(h.device.now(), answeredAt + 50ms) << "a short moment after the acceptance";
        }
        // Nothing more until the acknowledgement; other bytes do not count as one.
        h.input({0x1B, 0x60});
        h.wait(i < 3 ? 2s : 10ms);
        ASSERT_TRUE(h.fresh().empty()) << "Frame " << i;
        h.input({0x1F});
    }
    EXPECT_TRUE(isReport(h.next())) << "reports again after the last acknowledgement";
    EXPECT_EQ(h.device.memory().bytes(), pattern) << "a read leaves the memory as it was";
}

TEST(VirtualDevice, SendsTheWholeEventLogRecordByRecord) {
    Bytes log(kEventLogBytes);
    for (std::size_t i = 0; i < log.size(); ++i)
        log[i] = static_cast<std::uint8_t>(i / 32 + i % 32);
    DeviceHarness h;
    h.device.setEvents(*EventLog::fromBytes(log));
    h.unlock();
    h.answerReport(0x0E);
    EXPECT_EQ(h.next(), Bytes(16, 0x60));
    Bytes received;
    for (std::size_t i = 0; i < 256; ++i) {
        const Bytes record = h.next();
        ASSERT_EQ(record.size(), 32u) << "record " << i;
        received.insert(received.end(), record.begin(), record.end());
        h.input({0x1F});
    }
    EXPECT_EQ(received, log);
    EXPECT_TRUE(isReport(h.next()));
}

TEST(VirtualDevice, AbandonsAReadWhoseFrameIsNeverAcknowledged) {
    DeviceHarness h;
    h.unlock();
    h.answerReport(0x60);
    ASSERT_EQ(h.next(), Bytes(16, 0x60));
    ASSERT_EQ(h.next().size(), 66u);
    const Micros frameAt = h.device.now();
    EXPECT_TRUE(isReport(h.next(10s)));
    EXPECT_EQ(h.device.now(), frameAt + 3s + 250ms);
}

TEST(VirtualDevice, EndsANetworkConnectionOn0x04AndIgnoresItOnTheSerialLine) {
    DeviceOptions network = steadyOptions();
    network.transport = Transport::Network;
    DeviceHarness gprs(network);
    int hangUps = 0;
    gprs.device.onHangUp([&] { ++hangUps; });
    gprs.unlock();
    gprs.answerReport(0x04);
    EXPECT_EQ(gprs.next(), Bytes{0x04});
    EXPECT_EQ(hangUps, 1);
    EXPECT_EQ(gprs.device.phase(), Phase::Gone);
    EXPECT_TRUE(gprs.next(60s).empty());
    gprs.device.start(gprs.device.now()); // the next connection
    EXPECT_EQ(gprs.next(), bytesOf("QTA71P"));

    DeviceHarness usb;
    usb.unlock();
    usb.answerReport(0x04);
    EXPECT_TRUE(isReport(usb.next())) << "over USB 0x04 is no answer: the report comes again";
}

} // namespace
} // namespace qta::sim::test
