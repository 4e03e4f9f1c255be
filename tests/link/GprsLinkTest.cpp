// The GPRS link against a device on a loopback TCP connection. The connection
// thread runs for real; the user-interface side runs on a manual clock, and the
// clock moves only once everything that can happen without it has happened.
#include "GprsSettle.h"
#include "ProtocolBytes.h"
#include "RecordingView.h"
#include "ScriptedBridge.h"
#include "TcpPeer.h"

#include "catalogue/DeviceTexts.h"
#include "link/DeviceLink.h"
#include "link/GprsLink.h"
#include "transfer/ConfigEncoder.h"
#include "transfer/ConfigImage.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

namespace qta::link::test {
namespace {

using namespace std::chrono_literals;
using Dialog = RecordingView::DialogShown;

// The TimeFrame's clock, read by the connection thread when it dates slot 337.
struct WallClock {
    transfer::DateTime get() {
        std::lock_guard lock(mutex);
        return now;
    }
    void set(transfer::DateTime time) {
        std::lock_guard lock(mutex);
        now = time;
    }
    std::mutex mutex;
    transfer::DateTime now{2026, 12, 7, 22, 5};
};

class GprsLinkTest : public ::testing::Test {
protected:
    GprsLinkTest() {
        options.gprs.listenPort = 0;
        options.gprs.closeDelay = 20ms;
        options.gprs.transferEndPause = 1ms;
    }

    void start() {
        link = std::make_unique<DeviceLink>(
            config, view, driver, clock, [this] { return wall.get(); }, options);
        link->rdbGPRSClick();
        ASSERT_NE(link->gprsPort(), 0);
    }

    // A device dials in; the link serves it.
    TcpPeer& dialIn() {
        peers.push_back(std::make_unique<TcpPeer>(link->gprsPort()));
        served = peers.back().get();
        EXPECT_TRUE(served->connected());
        waitFor([&] { return link->gprs()->activity().connected; });
        settle();
        return *served;
    }

    void settle() {
        test::settle(
            *link->gprs(), [this] { pullAll(); }, served);
    }

    void waitFor(const std::function<bool()>& done) {
        EXPECT_TRUE(test::waitFor(done, [this] { pullAll(); }));
    }

    // The connection has ended on both sides.
    void waitClosed(const TcpPeer& peer) {
        waitFor([&] { return peer.closed() && !link->gprs()->activity().connected; });
    }

    // Moves the clock by `span`, timer by timer, settling after each.
    void advance(Millis span) {
        const Millis until = clock.now() + span;
        settle();
        while (clock.now() < until) {
            bool ran = false;
            clock.runUntil([&] { return std::exchange(ran, true); },
                           until - clock.now()); // one timer at most
            settle();
        }
    }

    // The device sends `bytes`; what the link answers within one Timer2 tick.
    Bytes exchange(TcpPeer& peer, const Bytes& bytes, std::size_t piece = 0) {
        const std::size_t before = peer.received().size();
        peer.send(bytes, piece);
        advance(50ms);
        return Bytes(peer.received().begin() + static_cast<long>(before), peer.received().end());
    }

    std::uint8_t report(TcpPeer& peer) {
        const Bytes answer = exchange(peer, statusReport());
        EXPECT_FALSE(answer.empty());
        return answer.empty() ? 0 : answer.front();
    }

    void unlock(TcpPeer& peer) {
        ASSERT_EQ(exchange(peer, bytesOf("QTA71P")), Bytes{0x1F});
        link->submitAccessCode("6173");
        settle();
        ASSERT_EQ(exchange(peer, Bytes{0x06}), Bytes{});
        ASSERT_TRUE(view.connected);
    }

    bool ended(TransferKind kind, TransferEnd end) const {
        return std::find(view.ended.begin(), view.ended.end(), RecordingView::Ended{kind, end}) !=
               view.ended.end();
    }

    void pullAll() {
        for (const auto& peer : peers)
            peer->pull();
    }

    ManualClock clock;
    ScriptedDriver driver{clock};
    RecordingView view;
    Configuration config = Configuration::startup('.');
    WallClock wall;
    LinkOptions options;
    std::unique_ptr<DeviceLink> link;
    std::vector<std::unique_ptr<TcpPeer>> peers;
    TcpPeer* served = nullptr;
};

TEST_F(GprsLinkTest, TheDeviceIsIdentifiedAfterNoiseAndAskedForTheCodeAgainAfterEachFailure) {
    options.gprs.unlockLimit = 10min; // this connection takes its time over the code on purpose
    start();
    TcpPeer& peer = dialIn();
    EXPECT_TRUE(view.linkUp);
    EXPECT_TRUE(view.transportLocked);

    EXPECT_EQ(exchange(peer, Bytes{0x01, 0x02} + bytesOf("QTA71P")), Bytes{0x1F});
    EXPECT_EQ(view.dialog, Dialog::AccessPrompt);

    // Nobody types: the prompt closes at the 31st tick of its time-out.
    advance(30s);
    EXPECT_EQ(view.dialog, Dialog::AccessPrompt);
    advance(1s);
    EXPECT_EQ(view.dialog, Dialog::Hidden);

    // The device asks again, in two pieces; a wrong code is refused.
    EXPECT_EQ(exchange(peer, bytesOf("QTA71P"), 3), Bytes{0x1F});
    EXPECT_EQ(view.prompts, 2);
    peer.send(bytesOf("QTA71P")); // sent before the device saw the 0x1F: not the answer to the code
    settle();
    link->submitAccessCode("1234");
    link->submitAccessCode("1234"); // a second Enter sends nothing
    settle();
    EXPECT_EQ(Bytes(peer.received().end() - 6, peer.received().end()), (Bytes{4, '1', '2', '3', '4', 0x0D}));
    EXPECT_EQ(peer.received().size(), 2u + 6u);
    exchange(peer, Bytes{0x1B});
    EXPECT_EQ(view.dialog, Dialog::CodeRefused);
    EXPECT_EQ(view.prompts, 2);
    advance(31s); // the notice closes at the end of the code entry's time-out
    EXPECT_EQ(view.dialog, Dialog::Hidden);

    // An answer that is neither 0x06 nor 0x1B leaves the device locked and the link waiting for the next
    // identification, not for ever.
    EXPECT_EQ(exchange(peer, bytesOf("QTA71P")), Bytes{0x1F});
    link->submitAccessCode("6173");
    settle();
    exchange(peer, Bytes{0x15});
    EXPECT_FALSE(view.connected);

    // The code typed at once, while the identification's 0x1F may still wait to go out: both go, in order.
    const std::size_t before = peer.received().size();
    peer.send(bytesOf("QTA71P"));
    settle();
    clock.advance(50ms);
    EXPECT_EQ(view.prompts, 4);
    link->submitAccessCode("6173");
    advance(50ms);
    EXPECT_EQ(Bytes(peer.received().begin() + static_cast<long>(before), peer.received().end()),
              (Bytes{0x1F, 4, '6', '1', '7', '3', 0x0D}));
    // The answer and the first report in one chunk: both are taken, each as it is cut.
    EXPECT_EQ(exchange(peer, Bytes{0x06} + statusReport()), Bytes{0x1B});
    EXPECT_TRUE(view.connected);
    EXPECT_EQ(view.dialog, Dialog::Hidden);
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(GprsLinkTest, EachStatusReportIsAnsweredOnceAndAnOutputClickIsNeverLost) {
    start();
    TcpPeer& peer = dialIn();
    unlock(peer);
    EXPECT_EQ(report(peer), 0x1B);
    ASSERT_EQ(view.reports.size(), 1u);
    EXPECT_EQ(view.reports[0], statusReport());

    EXPECT_TRUE(link->switchOutput(2));
    EXPECT_TRUE(link->switchOutput(5)) << "a second click waits for the answer after";
    EXPECT_EQ(report(peer), 0x1D);
    EXPECT_TRUE(view.pendingAtReport.back()) << "the lamps keep the clicked state until the answer is out";
    EXPECT_EQ(report(peer), 0x20);
    EXPECT_EQ(report(peer), 0x1B);

    // Noise, then a report split into pieces; then two reports in one chunk.
    EXPECT_EQ(exchange(peer, Bytes{0x1C, 0x2C, 0x33} + statusReport(), 5), Bytes{0x1B});
    peer.send(statusReport() + statusReport());
    settle(); // each report answered as it is cut
    EXPECT_EQ(Bytes(peer.received().end() - 2, peer.received().end()), (Bytes{0x1B, 0x1B}));
    EXPECT_EQ(view.reports.size(), 7u);

    // A device that locked itself again identifies instead of reporting: it is asked for the code.
    EXPECT_EQ(exchange(peer, bytesOf("QTA71P")), Bytes{0x1F});
    EXPECT_FALSE(view.connected);
    EXPECT_EQ(view.dialog, Dialog::AccessPrompt);
    link->submitAccessCode("6173");
    settle();
    exchange(peer, Bytes{0x06});
    ASSERT_TRUE(view.connected);

    // A click after the answer to a report went out rides on the next answer.
    peer.send(statusReport());
    settle();
    clock.advance(50ms);
    EXPECT_TRUE(link->switchOutput(3));
    settle();
    EXPECT_EQ(peer.received().back(), 0x1B);
    EXPECT_EQ(report(peer), 0x1E);
}

TEST_F(GprsLinkTest, AnIncompleteUnitIsDroppedAfterSilenceInsteadOfJoiningTheNext) {
    options.gprs.partialUnitDrop = 50ms;
    start();
    TcpPeer& peer = dialIn();
    unlock(peer);
    link->requestTransfer(TransferKind::EventLog);
    EXPECT_EQ(report(peer), 0x0E);
    const auto record = [](std::size_t i) {
        return bytesOf("0712261430") + Bytes(21, 0) + Bytes{static_cast<std::uint8_t>(i % 134)};
    };
    Bytes first = Bytes(16, 0x60);
    for (std::size_t i = 0; i < 3; ++i)
        first = first + record(i);
    peer.send(first);
    settle();
    ASSERT_EQ(view.events.size(), 3u);

    peer.send(Bytes(20, '9')); // the start of a record that never comes whole
    settle();
    waitFor([&] { return link->gprs()->activity().bytesDropped >= 20; });
    Bytes rest;
    for (std::size_t i = 3; i < 256; ++i)
        rest = rest + record(i);
    peer.send(rest);
    settle();
    ASSERT_TRUE(ended(TransferKind::EventLog, TransferEnd::Done));
    ASSERT_EQ(view.events.size(), 256u);
    EXPECT_EQ(view.events[3], record(3));
    EXPECT_EQ(view.events[255], record(255));
    EXPECT_EQ(count(peer.received(), 0x1F), 1u + 256u);
}

TEST_F(GprsLinkTest, ClosingTheWindowSendsTheEndAtTheNextReportAndWaitsAtMostTheCloseWait) {
    start();
    TcpPeer& first = dialIn();
    unlock(first);
    bool mayClose = false;
    EXPECT_FALSE(link->closeWindow([&] { mayClose = true; }));
    EXPECT_EQ(report(first), 0x04);
    first.send(Bytes{0x04});
    waitFor([&] { return mayClose; });
    EXPECT_TRUE(first.closed());
    EXPECT_FALSE(view.connected);
    EXPECT_FALSE(view.transportLocked);
    EXPECT_FALSE(view.linkUp);
    EXPECT_GE(view.blanked, 1);

    // A device that does not answer the end is closed after the close wait.
    TcpPeer& second = dialIn();
    unlock(second);
    mayClose = false;
    EXPECT_FALSE(link->closeWindow([&] { mayClose = true; }));
    EXPECT_EQ(report(second), 0x04);
    advance(9s);
    EXPECT_FALSE(mayClose);
    EXPECT_FALSE(second.closed());
    advance(1s);
    EXPECT_TRUE(mayClose);
    EXPECT_TRUE(second.closed());

    // The indicator click asks for the end the same way; with no device the window closes at once.
    TcpPeer& third = dialIn();
    unlock(third);
    link->endConnection();
    EXPECT_EQ(report(third), 0x04);
    EXPECT_EQ(report(third), 0x04) << "until the device answers";
    third.send(Bytes{0x04});
    waitFor([&] { return !link->gprs()->activity().connected; });
    EXPECT_TRUE(link->closeWindow([] {}));
}

TEST_F(GprsLinkTest, APeerThatNeverUnlocksIsClosedAfter60sAndASilentDeviceAfterTheWatchdog) {
    start();
    TcpPeer& browser = dialIn();
    Bytes request;
    while (request.size() < 256 * 1024)
        request = request + bytesOf("GET / HTTP/1.1\r\nHost: qta\r\n\r\n\x1C\x2C");
    browser.send(request);
    advance(59s);
    EXPECT_FALSE(browser.closed());
    EXPECT_EQ(view.prompts, 0);
    EXPECT_TRUE(view.reports.empty()) << "noise never reaches the decoders";
    EXPECT_EQ(link->gprs()->activity().bytesDropped, request.size());
    advance(1s);
    EXPECT_TRUE(browser.closed());

    // Identifying again and again does not restart the count: 60 s from its start it goes.
    TcpPeer& poser = dialIn();
    EXPECT_EQ(exchange(poser, bytesOf("QTA71P")), Bytes{0x1F});
    advance(40s); // the prompt has closed after 31 s
    EXPECT_EQ(exchange(poser, bytesOf("QTA71P")), Bytes{0x1F});
    advance(19s);
    EXPECT_FALSE(poser.closed());
    advance(1s);
    EXPECT_TRUE(poser.closed()) << "the only slot is free again for the real device";
    EXPECT_EQ(view.dialog, Dialog::Hidden);

    TcpPeer& device = dialIn();
    unlock(device);
    report(device);
    advance(10s);
    EXPECT_TRUE(view.connected);
    advance(1s);
    EXPECT_FALSE(view.connected) << "more than ten silent seconds";
    EXPECT_TRUE(device.closed()) << "so that the device can dial in again";
    dialIn();
}

TEST_F(GprsLinkTest, APortInUseIsReportedInTheSocketLayersWordsAndUsbStopsTheServer) {
    start();
    TcpPeer& device = dialIn();
    unlock(device);

    RecordingView otherView;
    LinkOptions sameOptions = options;
    sameOptions.gprs.listenPort = link->gprsPort();
    DeviceLink other(
        config, otherView, driver, clock, [this] { return wall.get(); }, sameOptions);
    other.rdbGPRSClick();
    ASSERT_EQ(otherView.messages.size(), 1u);
    EXPECT_EQ(otherView.messages[0].kind, LinkMessage::Kind::Error);
    EXPECT_FALSE(otherView.messages[0].text.empty());
    EXPECT_EQ(other.gprsPort(), 0);

    const std::uint16_t port = link->gprsPort();
    link->rdbUSBClick();
    EXPECT_FALSE(view.connected) << "the connection has ended before the USB poll takes over";
    EXPECT_FALSE(view.transportLocked);
    EXPECT_EQ(link->gprsPort(), 0);
    waitFor([&] { return device.closed(); });
    EXPECT_FALSE(TcpPeer(port).connected());
}

} // namespace
} // namespace qta::link::test
