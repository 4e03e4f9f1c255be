// The GPRS link against a device on a loopback TCP connection. The connection
// thread runs for real; the user-interface side runs on a manual clock, and the
// clock moves only once everything that can happen without it has happened.
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

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A StatusReport: inputs, analog 1 and 2, supply, mains, signal, clock 26-12-07 22:05, GPRS, outputs, 0,
// tail. Its first byte is 0x04 (input 6 active), which must not pass for the device's end answer.
Bytes statusReport() {
    return Bytes{0x04, 123, 45, 110, 2, '6'} + bytesOf("2612072205") + Bytes{1, 0x81, 0, 0x1C, 0x2C};
}

std::size_t count(const Bytes& bytes, std::uint8_t byte) {
    return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), byte));
}

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

// The communicator's side of the transfers, answering the programmer's bytes as
// the device does; each network fault or device fault is one switch.
class DeviceModel {
public:
    explicit DeviceModel(TcpPeer& peer) : peer_(peer) {
        peer.onReceive = [this](const Bytes& bytes) {
            take(bytes);
        };
    }

    transfer::ConfigImage memory;
    std::vector<Bytes> records = std::vector<Bytes>(256, Bytes(32, 0xFF));
    bool missFirstCommand = false; // the first command is answered by another StatusReport
    Bytes beforeAcceptance;        // noise just before the acceptance
    std::size_t piece = 0;         // what it sends goes out in pieces of this size
    bool recordsInPairs = false;   // two records per chunk
    int corruptEchoOf = -1;        // that Frame's first echo has one byte changed
    bool corruptEveryEcho = false;
    int silentAfter = -1; // units of a transfer, then nothing until resume()
    int dropAfter = -1;   // units of a transfer, then the connection drops
    std::function<void(std::uint16_t address)> atAcknowledgement; // a read: as each Frame's 0x1F arrives
    std::vector<std::uint16_t> written; // a write: the addresses of the Frames received
    Bytes timeFrame;

    void resume() {
        silent_ = false;
        sendNext();
    }

private:
    enum class Mode { Idle, Writing, Reading, Log };

    void take(const Bytes& bytes) {
        for (const std::uint8_t byte : bytes) {
            if (silent_)
                return;
            switch (mode_) {
            case Mode::Idle:
                command(byte);
                break;
            case Mode::Writing:
                inbox_.push_back(byte);
                if (inbox_.size() == transfer::kFrameSize)
                    takeFrame();
                break;
            case Mode::Reading:
            case Mode::Log:
                if (byte == 0x1F)
                    acknowledged();
                break;
            }
        }
    }

    void command(std::uint8_t byte) {
        if (byte != 0xAA && byte != 0x60 && byte != 0x0E)
            return;
        if (missFirstCommand && !missed_) {
            missed_ = true;
            peer_.send(statusReport());
            return;
        }
        units_ = 0;
        if (byte == 0xAA) {
            mode_ = Mode::Writing;
            peer_.send(beforeAcceptance + Bytes(16, 0x06), piece);
            return;
        }
        mode_ = byte == 0x60 ? Mode::Reading : Mode::Log;
        sendNext(beforeAcceptance + Bytes(16, 0x60)); // the acceptance and the first unit in one chunk
    }

    bool faultAt(int units) {
        if (units == silentAfter)
            silent_ = true;
        if (units == dropAfter)
            peer_.drop();
        return silent_ || peer_.closed();
    }

    void acknowledged() {
        if (mode_ == Mode::Reading && atAcknowledgement)
            atAcknowledgement(static_cast<std::uint16_t>(units_ * 64));
        ++units_;
        const int total = mode_ == Mode::Reading ? 336 : 256;
        if (units_ == total) {
            mode_ = Mode::Idle;
            return;
        }
        if (faultAt(units_))
            return;
        if (mode_ == Mode::Log && recordsInPairs && units_ % 2 == 1)
            return; // its record came with the one before
        sendNext();
    }

    void sendNext(Bytes chunk = {}) {
        if (mode_ == Mode::Reading) {
            const transfer::WireFrame wire = memory.frame(static_cast<std::size_t>(units_)).toWire();
            chunk.insert(chunk.end(), wire.begin(), wire.end());
        } else if (mode_ == Mode::Log) {
            chunk = chunk + records[static_cast<std::size_t>(units_)];
            if (recordsInPairs && units_ + 1 < 256)
                chunk = chunk + records[static_cast<std::size_t>(units_) + 1];
        }
        peer_.send(chunk, piece);
    }

    void takeFrame() {
        const auto address = static_cast<std::uint16_t>(inbox_[0] << 8 | inbox_[1]);
        Bytes echo(inbox_.begin() + 2, inbox_.end());
        inbox_.clear();
        if (faultAt(static_cast<int>(written.size())))
            return;
        written.push_back(address);
        const bool firstOfItsAddress = std::count(written.begin(), written.end(), address) == 1;
        if (corruptEveryEcho || (static_cast<int>(written.size()) - 1 == corruptEchoOf && firstOfItsAddress))
            echo[10] ^= 0x01;
        if (address == transfer::kTimeFrameAddress) {
            timeFrame = echo;
            mode_ = Mode::Idle;
        } else {
            memory.send(transfer::Frame::make(address, std::string(echo.begin(), echo.end())), 0);
        }
        peer_.send(echo, piece);
    }

    TcpPeer& peer_;
    Mode mode_ = Mode::Idle;
    Bytes inbox_;
    int units_ = 0;
    bool missed_ = false;
    bool silent_ = false;
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

    // Lets everything happen that can without the clock: the connection thread,
    // the work it queues for this thread, and the peers.
    void settle() {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        for (;;) {
            pullAll(); // before the queued work runs: an acknowledgement must not overtake its effect
            QCoreApplication::processEvents();
            pullAll();
            const GprsLink::Activity activity = link->gprs()->activity();
            const bool caughtUp =
                !activity.connected || !served ||
                (activity.bytesIn == served->sent() && activity.bytesOut == served->received().size());
            if (activity.settled && caughtUp) {
                if (!served || !served->hasPieces())
                    return;
                served->sendNextPiece();
                continue;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "the link did not settle";
                return;
            }
            std::this_thread::yield();
        }
    }

    // Real-time waits only for what the connection thread does in real time.
    void waitFor(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            pullAll();
            QCoreApplication::processEvents();
            std::this_thread::yield();
        }
        EXPECT_TRUE(done());
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
    EXPECT_FALSE(link->switchOutput(5)) << "a second click before the report is ignored";
    EXPECT_EQ(report(peer), 0x1D);
    EXPECT_TRUE(view.pendingAtReport.back()) << "the lamps keep the clicked state until the answer is out";
    EXPECT_EQ(report(peer), 0x1B);

    // Noise, then a report split into pieces; then two reports in one chunk.
    EXPECT_EQ(exchange(peer, Bytes{0x1C, 0x2C, 0x33} + statusReport(), 5), Bytes{0x1B});
    peer.send(statusReport() + statusReport());
    advance(100ms); // one report per Timer2 tick
    EXPECT_EQ(Bytes(peer.received().end() - 2, peer.received().end()), (Bytes{0x1B, 0x1B}));
    EXPECT_EQ(view.reports.size(), 6u);

    // A click right after Timer2 built the answer, before the thread sent it, rides on the next answer.
    peer.send(statusReport());
    settle();
    clock.advance(50ms);
    EXPECT_TRUE(link->switchOutput(3));
    settle();
    EXPECT_EQ(peer.received().back(), 0x1B);
    EXPECT_EQ(report(peer), 0x1E);
}

TEST_F(GprsLinkTest, AWriteSendsTheSlotsAfterTheAcceptanceAndEndsAfterSlot337WithAFreshTimeFrame) {
    config.setText(config.table().id("TNIN_V_3_1"), "5550100");
    start();
    TcpPeer& peer = dialIn();
    DeviceModel device(peer);
    device.missFirstCommand = true;
    device.beforeAcceptance = Bytes(64, 0x06 ^ 0x55); // an echo's worth before the acceptance: not an echo
    device.corruptEchoOf = 5;                         // the Frame at 0x0140
    device.piece = 10;                                // every echo in seven pieces
    unlock(peer);

    link->requestTransfer(TransferKind::Write);
    EXPECT_EQ(view.dialog, Dialog::Hidden) << "nothing happens before the next report";
    wall.set({2026, 12, 7, 22, 9}); // the minute at which slot 337 goes out
    // Two reports in one chunk: the first takes the command; the second came before the device saw it,
    // so it is no sign that the device ignored the command.
    EXPECT_EQ(exchange(peer, statusReport() + statusReport()).front(), 0xAA);
    ASSERT_TRUE(ended(TransferKind::Write, TransferEnd::Done));

    EXPECT_EQ(count(peer.received(), 0xAA), 2u) << "the report that came instead of the acceptance";
    ASSERT_EQ(device.written.size(), 338u);
    EXPECT_EQ(device.written[0], 0x0000);
    EXPECT_EQ(device.written[5], 0x0140);
    EXPECT_EQ(device.written[6], 0x0140) << "a differing echo has the same slot sent again";
    EXPECT_EQ(device.written.back(), transfer::kTimeFrameAddress);
    EXPECT_EQ(Bytes(device.timeFrame.begin(), device.timeFrame.begin() + 10), bytesOf("2612072209"));
    EXPECT_EQ(device.memory.bytes(),
              transfer::encodeImage(config, catalogue::imageDeviceTexts(Language::EN)).bytes());
    EXPECT_EQ(view.gaugeMaximum, 337);
    EXPECT_EQ(view.progress.back(), 337);

    EXPECT_EQ(view.dialog, Dialog::Running) << "the dialog stays until the next report";
    link->cancelTransfer(); // ... or until the user closes it
    settle();
    EXPECT_EQ(view.dialog, Dialog::Hidden);
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(report(peer), 0x1B);

    // A device that never echoes a slot correctly: the slot goes out ten times, then the write is given up.
    device.corruptEveryEcho = true;
    device.written.clear();
    link->requestTransfer(TransferKind::Write);
    EXPECT_EQ(report(peer), 0xAA);
    ASSERT_TRUE(ended(TransferKind::Write, TransferEnd::EchoRefused));
    EXPECT_EQ(device.written, std::vector<std::uint16_t>(10, 0x0000));
    EXPECT_EQ(view.dialog, Dialog::Hidden);
    EXPECT_EQ(view.messages.back().end, TransferEnd::EchoRefused);
    EXPECT_TRUE(view.connected) << "the device still answers: the exchange goes on";
}

TEST_F(GprsLinkTest, AReadAppliesEachFrameBeforeItsAcknowledgementAndEndsAtTheLastBlock) {
    Configuration onDevice = Configuration::startup('.');
    onDevice.setText(onDevice.table().id("TNIN_V_3_1"), "555");
    onDevice.setText(onDevice.table().id("T_SMS_IN2"), std::string(127, 'x'));
    onDevice.setText(onDevice.table().id("UMAX_AIN1"), "25.5");
    start();
    TcpPeer& peer = dialIn();
    DeviceModel device(peer);
    device.memory = transfer::encodeImage(onDevice, catalogue::imageDeviceTexts(Language::EN));
    device.missFirstCommand = true;
    device.piece = 30; // every Frame in three pieces, the acceptance joined to the first
    std::vector<std::uint16_t> acknowledged;
    std::string numberAtItsAcknowledgement;
    device.atAcknowledgement = [&](std::uint16_t address) {
        acknowledged.push_back(address);
        if (address == 0x0400)
            numberAtItsAcknowledgement = config.text(config.table().id("TNIN_V_3_1"));
    };
    unlock(peer);

    link->requestTransfer(TransferKind::Read);
    EXPECT_EQ(report(peer), 0x60);
    EXPECT_EQ(view.gaugeMaximum, 21440);
    ASSERT_TRUE(ended(TransferKind::Read, TransferEnd::Done));

    EXPECT_EQ(count(peer.received(), 0x60), 2u)
        << "a report before the acceptance has the command sent again";
    EXPECT_EQ(numberAtItsAcknowledgement, "555") << "the Frame is applied before its acknowledgement";
    ASSERT_EQ(acknowledged.size(), 336u);
    EXPECT_EQ(acknowledged.back(), 21440);
    EXPECT_EQ(config.text(config.table().id("TNIN_V_3_1")), "555");
    EXPECT_EQ(config.text(config.table().id("T_SMS_IN2")), std::string(127, 'x'));
    EXPECT_EQ(config.text(config.table().id("UMAX_AIN1")), "25.5");
    ASSERT_EQ(view.progress.size(), 336u) << "no progress for the report";
    EXPECT_EQ(view.progress.front(), 0);
    EXPECT_EQ(view.progress.back(), 21440);

    EXPECT_EQ(report(peer), 0x1B);
    EXPECT_EQ(view.dialog, Dialog::Hidden);
}

TEST_F(GprsLinkTest, TheEventLogCountsEmptyRecordsButListsOnlyWrittenOnes) {
    start();
    TcpPeer& peer = dialIn();
    DeviceModel device(peer);
    device.records[0] = bytesOf("0712261430") + Bytes(21, 0) + Bytes{76};
    device.records[200] = bytesOf("0812261431") + Bytes(21, 0) + Bytes{0};
    device.records[201][0] = 0x00;
    device.recordsInPairs = true;
    unlock(peer);

    view.events.push_back(Bytes(32, 1)); // a line of an earlier read
    link->requestTransfer(TransferKind::EventLog);
    EXPECT_EQ(report(peer), 0x0E);
    ASSERT_TRUE(ended(TransferKind::EventLog, TransferEnd::Done));
    EXPECT_EQ(view.events, (std::vector<Bytes>{device.records[0], device.records[200]}));
    EXPECT_EQ(count(peer.received(), 0x1F), 1u + 256u) << "the identification's and one per record";
    EXPECT_EQ(view.progress.size(), 256u);
    EXPECT_EQ(view.gaugeMaximum, 255);
}

TEST_F(GprsLinkTest, AnIncompleteUnitIsDroppedAfterSilenceInsteadOfJoiningTheNext) {
    options.gprs.partialUnitDrop = 50ms;
    start();
    TcpPeer& peer = dialIn();
    DeviceModel device(peer);
    for (std::size_t i = 0; i < 256; ++i)
        device.records[i] = bytesOf("0712261430") + Bytes(21, 0) + Bytes{static_cast<std::uint8_t>(i % 134)};
    device.silentAfter = 3;
    unlock(peer);
    link->requestTransfer(TransferKind::EventLog);
    report(peer);
    ASSERT_EQ(view.events.size(), 3u);

    peer.send(Bytes(20, '9')); // the start of a record that never comes whole
    settle();
    waitFor([&] { return link->gprs()->activity().bytesDropped >= 20; });
    device.resume();
    settle();
    ASSERT_TRUE(ended(TransferKind::EventLog, TransferEnd::Done));
    ASSERT_EQ(view.events.size(), 256u);
    EXPECT_EQ(view.events[3], device.records[3]);
    EXPECT_EQ(view.events[255], device.records[255]);
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

TEST_F(GprsLinkTest, ASecondDeviceIsRefusedAtOnceWhileTheFirstFinishesItsTransfer) {
    start();
    TcpPeer& first = dialIn();
    DeviceModel device(first);
    device.silentAfter = 100;
    unlock(first);
    link->requestTransfer(TransferKind::EventLog);
    report(first);

    peers.push_back(std::make_unique<TcpPeer>(link->gprsPort()));
    TcpPeer& second = *peers.back();
    waitFor([&] { return second.closed(); });

    device.resume();
    settle();
    EXPECT_TRUE(ended(TransferKind::EventLog, TransferEnd::Done));
    EXPECT_EQ(count(first.received(), 0x1F), 1u + 256u);
    EXPECT_TRUE(second.received().empty());
}

TEST_F(GprsLinkTest, ASilentDeviceOrADroppedConnectionEndsTheTransferResetsTheDisplayAndFreesThePort) {
    start();
    TcpPeer& silent = dialIn();
    DeviceModel quiet(silent);
    quiet.silentAfter = 40;
    unlock(silent);
    link->requestTransfer(TransferKind::Read);
    report(silent);
    advance(9s);
    EXPECT_TRUE(view.ended.empty());
    advance(1s);
    ASSERT_TRUE(ended(TransferKind::Read, TransferEnd::NoAnswer));
    EXPECT_EQ(view.messages.back().kind, LinkMessage::Kind::TransferIncomplete);
    EXPECT_EQ(view.messages.back().end, TransferEnd::NoAnswer);
    EXPECT_EQ(view.dialog, Dialog::Hidden);
    EXPECT_FALSE(view.connected);
    waitClosed(silent);

    // The device dials in again and drops the connection in the middle of the event log.
    TcpPeer& dropping = dialIn();
    DeviceModel gone(dropping);
    gone.dropAfter = 10;
    unlock(dropping);
    const int blanked = view.blanked;
    link->requestTransfer(TransferKind::EventLog);
    report(dropping);
    waitFor([&] { return ended(TransferKind::EventLog, TransferEnd::LinkLost); });
    EXPECT_EQ(view.messages.back().end, TransferEnd::LinkLost);
    EXPECT_EQ(view.dialog, Dialog::Hidden);
    EXPECT_FALSE(view.connected);
    EXPECT_GT(view.blanked, blanked);
    EXPECT_FALSE(view.transportLocked);
    EXPECT_FALSE(link->transferRunning());
}

TEST_F(GprsLinkTest, APeerThatNeverIdentifiesIsClosedAfter60sAndASilentDeviceAfterTheWatchdog) {
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

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
