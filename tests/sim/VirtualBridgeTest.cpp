#include "DeviceHarness.h"

#include "link/tftdichip.h"
#include "sim/VirtualBridge.h"

#include <gtest/gtest.h>

#include <optional>

namespace qta::sim::test {
namespace {

using link::Millis;

// A port on a manual clock, read the way the engine reads it.
struct Session {
    link::ManualClock& clock;
    link::BridgePort& port;

    // Starts a read; the result once the clock has completed it.
    std::optional<Bytes> read(std::size_t count, Millis limit = Millis(1000)) {
        std::optional<Bytes> got;
        port.read(count, [&](Bytes bytes) { got = std::move(bytes); });
        clock.runUntil([&] { return got.has_value(); }, limit);
        return got;
    }
    // Reads until `count` bytes have come, as many reads as that takes.
    Bytes readAll(std::size_t count, Millis limit = Millis(5000)) {
        Bytes all;
        const Millis until = clock.now() + limit;
        while (all.size() < count && clock.now() < until) {
            const Millis readAt = clock.now();
            const auto got = read(count - all.size());
            if (got)
                all.insert(all.end(), got->begin(), got->end());
            if (got && got->empty() && clock.now() == readAt)
                break; // a failed port: reads end at once
        }
        return all;
    }
    void write(const Bytes& bytes) { ASSERT_EQ(port.write(bytes), bytes.size()); }
    void unlock() {
        ASSERT_EQ(readAll(6), bytesOf("QTA71P"));
        write({0x1F});
        write(accessCodeMessage("6173"));
        ASSERT_EQ(readAll(1), Bytes{0x06});
    }
};

VirtualBridgeOptions steadyBridge() {
    VirtualBridgeOptions options;
    options.device = steadyOptions();
    return options;
}

TEST(VirtualBridge, OpensOnlyByItsOwnDescriptionAndOnlyOnceAtATime) {
    link::ManualClock clock;
    VirtualBridgeOptions options;
    options.description = "FT230X Basic UART";
    VirtualBridge bridge(clock, options);

    // The engine's search: the first description fails, the second opens.
    link::tftdichip chip(bridge);
    EXPECT_FALSE(chip.isPresentByDescription("FT232R USB UART"));
    EXPECT_TRUE(chip.isPresentByDescription("FT230X Basic UART"));
    EXPECT_FALSE(bridge.isOpen()) << "the probe closes it again";
    ASSERT_TRUE(chip.openDeviceByDescription("FT230X Basic UART"));
    link::DeviceInfo info;
    EXPECT_TRUE(chip.getDeviceInfo(info));
    EXPECT_EQ(info.description, "FT230X Basic UART");
    EXPECT_EQ(info.vendorId, 0x0403);

    EXPECT_EQ(bridge.openByDescription("FT230X Basic UART"), nullptr) << "held exclusively";
    chip.closeDevice();
    EXPECT_NE(bridge.openByDescription("FT230X Basic UART"), nullptr);

    VirtualBridge usual(clock);
    EXPECT_NE(usual.openByDescription("FT232R USB UART"), nullptr);
}

TEST(VirtualBridge, ReadsCompleteFromTheClockWithTheirCountOrAtTheTimeOut) {
    link::ManualClock clock;
    VirtualBridge bridge(clock, steadyBridge());
    const auto port = bridge.openByDescription("FT232R USB UART");
    ASSERT_NE(port, nullptr);
    Session s{clock, *port};

    // The identification sent at 0 has crossed after 6.25 ms.
    std::optional<Bytes> got;
    port->read(6, [&](Bytes bytes) { got = std::move(bytes); });
    clock.advance(Millis(6));
    EXPECT_FALSE(got);
    clock.advance(Millis(1));
    ASSERT_TRUE(got);
    EXPECT_EQ(*got, bytesOf("QTA71P"));

    // Bytes that arrive with no read pending are kept; a read they satisfy still
    // completes from the clock, not inside read().
    clock.advance(Millis(600));
    got.reset();
    port->read(3, [&](Bytes bytes) { got = std::move(bytes); });
    EXPECT_FALSE(got);
    clock.runDue();
    ASSERT_TRUE(got);
    EXPECT_EQ(*got, bytesOf("QTA"));

    // Fewer than asked: what there is, at the read time-out (200 ms by default).
    const Millis start = clock.now();
    got.reset();
    port->read(10, [&](Bytes bytes) { got = std::move(bytes); });
    clock.advance(Millis(199));
    EXPECT_FALSE(got);
    clock.advance(Millis(1));
    ASSERT_TRUE(got);
    EXPECT_EQ(*got, bytesOf("71P"));
    EXPECT_EQ(clock.now(), start + Millis(200));

    // A new time-out; a purge drops what came; a cancelled read never completes.
    port->setTimeouts(Millis(50), Millis(50));
    clock.advance(Millis(400)); // the next identification is in
    port->purgeReceived();
    const Millis purgedAt = clock.now();
    EXPECT_EQ(s.read(6), Bytes{});
    EXPECT_EQ(clock.now(), purgedAt + Millis(50));
    bool called = false;
    port->read(1, [&](Bytes) { called = true; });
    port->cancelRead();
    clock.advance(Millis(2000));
    EXPECT_FALSE(called);
}

TEST(VirtualBridge, AFrameAndItsEchoTakeTheirTimeOnTheWire) {
    link::ManualClock clock;
    VirtualBridge bridge(clock, steadyBridge());
    const auto port = bridge.openByDescription("FT232R USB UART");
    Session s{clock, *port};
    s.unlock();
    const Bytes report = s.readAll(21);
    ASSERT_TRUE(isReport(report));
    s.write({0x21}); // output 2 on
    ASSERT_TRUE(isReport(s.readAll(21)));
    EXPECT_EQ(bridge.device().outputs(), 0x02);
    s.write({0xAA});
    ASSERT_EQ(s.readAll(16), Bytes(16, 0x06));

    Bytes frame(66, 0x42);
    frame[0] = 0x53;
    frame[1] = 0xC0;
    const Millis sentAt = clock.now();
    s.write(frame);
    // 66 bytes in (68.75 ms), 64 bytes out (66.67 ms): whole at 135.42 ms.
    EXPECT_EQ(s.read(64, Millis(135)), std::nullopt);
    const auto echo = s.read(64);
    ASSERT_TRUE(echo);
    EXPECT_EQ(*echo, Bytes(64, 0x42));
    EXPECT_EQ(clock.now(), sentAt + Millis(136));
    EXPECT_EQ(bridge.device().memory().bytes()[0x53C0], 0x42);
}

TEST(VirtualBridge, UnpluggingFailsThePortOnceAndEndsItsReads) {
    link::ManualClock clock;
    VirtualBridge bridge(clock, steadyBridge());
    auto port = bridge.openByDescription("FT232R USB UART");
    int failures = 0;
    port->onFailure([&](const std::string&) { ++failures; });
    std::optional<Bytes> got;
    clock.advance(Millis(100));
    port->purgeReceived();
    port->read(6, [&](Bytes bytes) { got = std::move(bytes); });
    bridge.unplug();
    EXPECT_EQ(failures, 0) << "reported from the event loop";
    clock.runDue();
    EXPECT_EQ(failures, 1);
    ASSERT_TRUE(got) << "the pending read ends at once";
    EXPECT_TRUE(got->empty());
    EXPECT_EQ(port->write(Bytes{0x1F}), 0u);
    Session s{clock, *port};
    const Millis readAt = clock.now();
    EXPECT_EQ(s.read(6), Bytes{});
    EXPECT_EQ(clock.now(), readAt);
    clock.advance(Millis(5000));
    EXPECT_EQ(failures, 1);

    port.reset();
    EXPECT_EQ(bridge.openByDescription("FT232R USB UART"), nullptr);
    bridge.plugIn();
    port = bridge.openByDescription("FT232R USB UART");
    ASSERT_NE(port, nullptr);
    Session again{clock, *port};
    EXPECT_EQ(again.readAll(6), bytesOf("QTA71P"));
}

TEST(VirtualBridge, ADeviceThatVanishesMidReadFailsThePort) {
    link::ManualClock clock;
    VirtualBridgeOptions options = steadyBridge();
    options.device.faults.dropAfter = 2;
    VirtualBridge bridge(clock, options);
    const auto port = bridge.openByDescription("FT232R USB UART");
    int failures = 0;
    port->onFailure([&](const std::string&) { ++failures; });
    Session s{clock, *port};
    s.unlock();
    ASSERT_TRUE(isReport(s.readAll(21)));
    s.write({0x60});
    ASSERT_EQ(s.readAll(16), Bytes(16, 0x60));
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(s.readAll(66).size(), 66u);
        s.write({0x1F});
    }
    EXPECT_EQ(s.readAll(66), Bytes{});
    EXPECT_EQ(failures, 1);
    EXPECT_FALSE(bridge.pluggedIn());
}

} // namespace
} // namespace qta::sim::test
