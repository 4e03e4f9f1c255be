#include "ProtocolBytes.h"
#include "RecordingView.h"
#include "ScriptedBridge.h"

#include "catalogue/DeviceTexts.h"
#include "link/DeviceLink.h"
#include "transfer/ConfigEncoder.h"
#include "transfer/ConfigImage.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qta::link::test {
namespace {

using namespace std::chrono_literals;
using Dialog = RecordingView::DialogShown;

const std::string kFt232r = "FT232R USB UART";
const std::string kFt230x = "FT230X Basic UART";

class UsbLinkTest : public ::testing::Test {
protected:
    void start(std::set<std::string> attached = {kFt232r}) {
        driver.attached = std::move(attached);
        link = std::make_unique<DeviceLink>(config, view, driver, clock, [this] { return now; });
        link->start();
    }

    // Opens the bridge and lets the device identify itself.
    void identify() {
        start();
        clock.advance(100ms);
        ASSERT_NE(driver.port, nullptr);
        driver.port->arrive(bytesOf("QTA71P"));
        ASSERT_TRUE(clock.runUntil([&] { return view.dialog == Dialog::AccessPrompt; }, 1s));
    }

    // The code goes out; the device's answer is the test's.
    void unlock() {
        identify();
        link->submitAccessCode("6173");
        clock.runDue();
        driver.port->arrive(Bytes{0x06});
        ASSERT_TRUE(clock.runUntil([&] { return view.connected; }, 1s));
    }

    // One StatusReport from the device; the poll's answer.
    std::uint8_t report(const Bytes& bytes = statusReport()) {
        const std::size_t before = driver.writes.size();
        driver.port->arrive(bytes);
        EXPECT_TRUE(clock.runUntil([&] { return driver.writes.size() > before; }, 2s));
        return driver.writes.back().at(0);
    }

    bool ended(TransferKind kind, TransferEnd end) const {
        return std::find(view.ended.begin(), view.ended.end(), RecordingView::Ended{kind, end}) !=
               view.ended.end();
    }

    ManualClock clock;
    ScriptedDriver driver{clock};
    RecordingView view;
    Configuration config = Configuration::startup('.');
    transfer::DateTime now{2026, 12, 7, 22, 5};
    std::unique_ptr<DeviceLink> link;
};

TEST_F(UsbLinkTest, AnFt230xOnlyBridgeIsFoundOpenedAndSetUpWithoutAMessage) {
    start({kFt230x});
    clock.advance(100ms);
    EXPECT_EQ(driver.opens,
              (std::vector<std::string>{"-" + kFt232r, "+" + kFt230x, "-" + kFt232r, "+" + kFt230x}));
    EXPECT_EQ(driver.settings, (std::vector<std::string>{"info", "reset", "baud 9600", "data 8 0 0",
                                                         "flow 0 0 0", "timeouts 200 200"}));
    EXPECT_TRUE(view.linkUp);
    EXPECT_TRUE(view.transportLocked);
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(driver.writes.empty()) << "nothing is written on opening";
}

TEST_F(UsbLinkTest, WithoutABridgeThePollLooksEvery100MsAndSaysNothing) {
    start({});
    clock.advance(10s);
    EXPECT_EQ(driver.probesOf(kFt232r), 100);
    EXPECT_EQ(driver.probesOf(kFt230x), 100);
    EXPECT_TRUE(view.messages.empty());
    EXPECT_FALSE(view.linkUp);
}

TEST_F(UsbLinkTest, ABridgeThatCannotBeOpenedSaysSoOnceAtATimeAndADamagedOneIsReleased) {
    view.closeMessagesAtOnce = false;
    driver.refusesOpen = {kFt232r, kFt230x};
    start({kFt232r});
    clock.advance(1s);
    ASSERT_EQ(view.messages.size(), 1u) << "the poll waits while its message is up";
    EXPECT_EQ(view.messages[0].kind, LinkMessage::Kind::ConnectionFailed);

    driver.refusesOpen.clear();
    driver.deviceInfoWorks = false;
    view.openMessages.front()();
    clock.advance(100ms);
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[1].kind, LinkMessage::Kind::DamagedDevice);
    EXPECT_EQ(driver.port, nullptr) << "a damaged bridge is closed, so the next tick can open it again";
}

TEST_F(UsbLinkTest, ABridgeThisUserMayNotOpenIsNamedOnceWhileTheConditionLasts) {
    driver.permission = OpenProblem{"/dev/ttyUSB0", "root", "dialout"};
    start({kFt232r});
    clock.advance(5s);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].kind, LinkMessage::Kind::PortPermission);
    EXPECT_EQ(view.messages[0].group, "dialout");

    driver.permission.reset();
    driver.attached.clear();
    clock.advance(1s);
    driver.permission = OpenProblem{"/dev/ttyUSB0", "root", "dialout"};
    driver.attached = {kFt232r};
    clock.advance(1s);
    EXPECT_EQ(view.messages.size(), 2u) << "plugged in again, the problem is new again";
}

TEST_F(UsbLinkTest, IdentificationMustArriveInOneReadAndASilentDeviceIsGivenUpAfter200Ticks) {
    start();
    clock.advance(100ms);
    driver.port->arrive(bytesOf("QTA71"));
    clock.advance(2s);
    EXPECT_EQ(view.prompts, 0) << "five bytes and a time-out are not an identification";
    EXPECT_TRUE(driver.writes.empty());

    // Each locked tick waits out its 200 ms read: 200 ticks take about 40 s. Then the
    // bridge is released and looked for again, and found again.
    clock.advance(36s);
    const std::size_t opens = driver.opens.size();
    clock.advance(2s);
    EXPECT_EQ(driver.opens.size(), opens);
    clock.advance(2s);
    EXPECT_EQ(driver.opens.size(), opens + 2) << "released, then probed and opened anew";
    EXPECT_LT(link->state().tickCount, 10);
    EXPECT_TRUE(view.linkUp);
}

TEST_F(UsbLinkTest, TheAccessCodeGoesOutAloneAndOnly0x06Unlocks) {
    identify();
    EXPECT_EQ(driver.writes, (std::vector<Bytes>{Bytes{0x1F}}));
    driver.port->arrive(bytesOf("QTA71P")); // sent before the device saw 0x1F: not its answer
    clock.advance(10ms);

    link->submitAccessCode("6173");
    link->submitAccessCode("6173"); // a second Enter while the code is checked sends nothing
    clock.runDue();
    driver.port->arrive(Bytes{0x15}); // every byte but 0x06 refuses
    clock.runUntil([&] { return view.dialog == Dialog::CodeRefused; }, 1s);
    EXPECT_EQ(driver.writes,
              (std::vector<Bytes>{Bytes{0x1F}, Bytes{4, '6', '1', '7', '3', 0x0D}, Bytes{0x0D}}));
    EXPECT_FALSE(view.connected);

    link->closeDialog();
    EXPECT_EQ(view.dialog, Dialog::Hidden);
    clock.advance(450ms);
    EXPECT_FALSE(driver.port->readPending()) << "after a refused code the poll waits 500 ms";
    clock.advance(100ms);
    driver.port->arrive(bytesOf("QTA71P"));
    ASSERT_TRUE(clock.runUntil([&] { return view.prompts == 2; }, 1s));

    link->submitAccessCode("");
    clock.runDue();
    driver.port->arrive(Bytes{0x06});
    ASSERT_TRUE(clock.runUntil([&] { return view.connected; }, 1s));
    EXPECT_EQ(driver.writes.back(), (Bytes{0x00, 0x0D}));
    EXPECT_EQ(view.dialog, Dialog::Hidden);
}

TEST_F(UsbLinkTest, AnUnansweredCodeIsGivenUpAndTheDeviceIsAskedAgain) {
    identify();
    link->submitAccessCode("6173");
    clock.advance(9s);
    EXPECT_TRUE(view.messages.empty());
    clock.advance(2s);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].kind, LinkMessage::Kind::CodeNoAnswer);
    EXPECT_EQ(view.dialog, Dialog::Hidden);
    driver.port->arrive(bytesOf("QTA71P"));
    EXPECT_TRUE(clock.runUntil([&] { return view.prompts == 2; }, 1s));
}

TEST_F(UsbLinkTest, StatusReportsAreFoundAfterNoiseAndAnsweredWithTheOutputCommand) {
    unlock();
    clock.advance(1s); // read time-outs put spaces between
    EXPECT_EQ(report(Bytes{0x1C, 0x33, 0x2C, 0x00} + statusReport()), 0x1B);
    ASSERT_EQ(view.reports.size(), 1u);
    EXPECT_EQ(view.reports[0], statusReport());

    // Three quick clicks: each goes with an answer of its own, in order.
    EXPECT_TRUE(link->switchOutput(1));
    EXPECT_TRUE(link->switchOutput(2));
    EXPECT_TRUE(link->switchOutput(3));
    EXPECT_EQ(report(), 0x1C);
    EXPECT_TRUE(view.pendingAtReport.back()) << "the lamps keep the clicked state until the answer is out";
    EXPECT_EQ(report(), 0x1D);
    EXPECT_EQ(report(), 0x1E);
    EXPECT_TRUE(view.pendingAtReport.back());
    EXPECT_EQ(report(), 0x1B);
    EXPECT_FALSE(view.pendingAtReport.back());
    for (int click = 0; click < 8; ++click)
        EXPECT_TRUE(link->switchOutput(5));
    EXPECT_FALSE(link->switchOutput(5)) << "the queue holds eight";

    link->requestTransfer(TransferKind::Write);
    EXPECT_EQ(report(), 0xAA) << "a requested write goes before the output commands, which are dropped";
    EXPECT_EQ(link->state().pendingOutputCommand, 0);
}

TEST_F(UsbLinkTest, ADeviceThatLockedItselfAgainIsShownDisconnectedAndAskedForTheCode) {
    unlock();
    EXPECT_EQ(report(), 0x1B);
    link->requestTransfer(TransferKind::Read); // not sent yet: it goes with the device's lock
    driver.port->arrive(bytesOf("QTA71P"));
    ASSERT_TRUE(clock.runUntil([&] { return view.prompts == 2; }, 2s));
    EXPECT_FALSE(view.connected) << "the label says so at once";
    EXPECT_EQ(driver.writes.back(), Bytes{0x1F});
    ASSERT_FALSE(view.ended.empty());
    EXPECT_EQ(view.ended.back().end, TransferEnd::LinkLost);
    EXPECT_FALSE(link->transferRunning());
}

TEST_F(UsbLinkTest, CommandsNeedAnUnlockedDevice) {
    start();
    link->requestTransfer(TransferKind::Write);
    link->requestTransfer(TransferKind::EventLog);
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[0].kind, LinkMessage::Kind::NotConnected);
    EXPECT_FALSE(link->transferRunning());
    EXPECT_FALSE(link->switchOutput(5));
}

} // namespace
} // namespace qta::link::test
