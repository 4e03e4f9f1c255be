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

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Bytes repeated(std::uint8_t byte, std::size_t count) {
    return Bytes(count, byte);
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A StatusReport: inputs, analog 1 and 2, supply, mains, signal, clock 26-12-07 22:05, GPRS, outputs, 0,
// tail.
Bytes statusReport(std::uint8_t outputs = 0x81) {
    return Bytes{0x80, 123, 45, 110, 2, '6'} + bytesOf("2612072205") + Bytes{1, outputs, 0, 0x1C, 0x2C};
}

// The device's side of the transfers, answering the programmer's writes the way the
// communicator does; each fault is one switch.
class TestDevice {
public:
    explicit TestDevice(ScriptedDriver& driver) : driver_(driver) {
        driver.device = [this](const Bytes& bytes) {
            answer(bytes);
        };
    }

    transfer::ConfigImage memory;
    std::vector<Bytes> records = std::vector<Bytes>(256, Bytes(32, 0xFF));
    std::string code = "6173";
    Bytes writeAcceptance = repeated(0x06, 16);
    int corruptEchoOfFrame = -1; // that Frame's first echo has one byte changed
    bool corruptEveryEcho = false;
    int silentAfterFrames = -1;
    int failAfterFrames = -1;
    std::vector<std::uint16_t> written; // addresses of the Frames received, in order
    Bytes timeFrame;

    // An abandoned transfer: the device goes back to its reports.
    void recover() { mode_ = Mode::Unlocked; }

private:
    enum class Mode { Locked, Unlocked, Writing, Reading, Log, Silent };

    void arrive(const Bytes& bytes) { driver_.port->arrive(bytes); }

    bool faultAt(int frames) {
        if (frames == silentAfterFrames) {
            mode_ = Mode::Silent;
            return true;
        }
        if (frames == failAfterFrames) {
            driver_.port->fail();
            mode_ = Mode::Silent;
            return true;
        }
        return false;
    }

    void answer(const Bytes& w) {
        switch (mode_) {
        case Mode::Locked:
            if (w.size() >= 2 && w.back() == 0x0D && w.front() == w.size() - 2) {
                const bool right = std::string(w.begin() + 1, w.end() - 1) == code;
                arrive(Bytes{static_cast<std::uint8_t>(right ? 0x06 : 0x15)});
                if (right)
                    mode_ = Mode::Unlocked;
            }
            return;
        case Mode::Unlocked:
            if (w == Bytes{0xAA}) {
                mode_ = Mode::Writing;
                arrive(writeAcceptance);
            } else if (w == Bytes{0x60}) {
                mode_ = Mode::Reading;
                frame_ = 0;
                arrive(repeated(0x60, 16) + frameAt(0));
            } else if (w == Bytes{0x0E}) {
                mode_ = Mode::Log;
                frame_ = 0;
                arrive(repeated(0x60, 16) + records[0]);
            }
            return;
        case Mode::Writing:
            if (w.size() == 66)
                takeFrame(w);
            return;
        case Mode::Reading:
            if (w == Bytes{0x1F} && !faultAt(++frame_)) {
                if (frame_ < 336)
                    arrive(frameAt(frame_));
                else
                    mode_ = Mode::Unlocked;
            }
            return;
        case Mode::Log:
            if (w == Bytes{0x1F} && !faultAt(++frame_)) {
                if (frame_ < 256)
                    arrive(records[frame_]);
                else
                    mode_ = Mode::Unlocked;
            }
            return;
        case Mode::Silent:
            return;
        }
    }

    void takeFrame(const Bytes& w) {
        const auto address = static_cast<std::uint16_t>(w[0] << 8 | w[1]);
        if (faultAt(static_cast<int>(written.size())))
            return;
        written.push_back(address);
        Bytes echo(w.begin() + 2, w.end());
        const int index = static_cast<int>(written.size()) - 1;
        if (corruptEveryEcho ||
            (index == corruptEchoOfFrame && std::count(written.begin(), written.end(), address) == 1))
            echo[10] ^= 0x01;
        if (address == 0x8080) {
            timeFrame = echo;
            mode_ = Mode::Unlocked;
        } else {
            transfer::Frame frame = transfer::Frame::make(address, std::string(echo.begin(), echo.end()));
            memory.send(frame, 0);
        }
        arrive(echo);
    }

    Bytes frameAt(int index) const {
        const transfer::WireFrame wire = memory.frame(static_cast<std::size_t>(index)).toWire();
        return Bytes(wire.begin(), wire.end());
    }

    ScriptedDriver& driver_;
    Mode mode_ = Mode::Locked;
    int frame_ = 0;
};

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

    void unlock() {
        identify();
        link->submitAccessCode("6173");
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
    TestDevice device(driver);
    identify();
    EXPECT_EQ(driver.writes, (std::vector<Bytes>{Bytes{0x1F}}));
    driver.port->arrive(bytesOf("QTA71P")); // sent before the device saw 0x1F: not its answer
    clock.advance(10ms);

    device.code = "1234";
    link->submitAccessCode("6173");
    link->submitAccessCode("6173"); // a second Enter while the code is checked sends nothing
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

    device.code = "";
    link->submitAccessCode("");
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
    TestDevice device(driver);
    unlock();
    clock.advance(1s); // read time-outs put spaces between
    EXPECT_EQ(report(Bytes{0x1C, 0x33, 0x2C, 0x00} + statusReport()), 0x1B);
    ASSERT_EQ(view.reports.size(), 1u);
    EXPECT_EQ(view.reports[0], statusReport());

    EXPECT_TRUE(link->switchOutput(6));
    EXPECT_FALSE(link->switchOutput(2)) << "a second click before the report is ignored";
    EXPECT_EQ(report(), 0x21);
    EXPECT_TRUE(view.pendingAtReport.back()) << "the lamps keep the clicked state until the answer is out";
    EXPECT_EQ(report(), 0x1B);

    link->switchOutput(3);
    link->requestTransfer(TransferKind::Write);
    device.writeAcceptance = Bytes{}; // the device keeps quiet: only the answer matters here
    EXPECT_EQ(report(), 0xAA) << "a requested write goes before the output command, which is dropped";
    EXPECT_EQ(link->state().pendingOutputCommand, 0);
}

TEST_F(UsbLinkTest, AWriteResendsAChangedEchoAndEndsWithTheTimeFrame) {
    TestDevice device(driver);
    device.corruptEchoOfFrame = 5; // the Frame at 0x0140
    config.setText(config.table().id("TNIN_V_3_1"), "5550100");
    unlock();
    link->requestTransfer(TransferKind::Write);
    EXPECT_EQ(view.dialog, Dialog::Waiting);
    EXPECT_EQ(report(), 0xAA);
    ASSERT_TRUE(clock.runUntil([&] { return !view.ended.empty(); }, 60s));
    EXPECT_TRUE(ended(TransferKind::Write, TransferEnd::Done));

    ASSERT_EQ(device.written.size(), 338u);
    EXPECT_EQ(device.written[5], 0x0140);
    EXPECT_EQ(device.written[6], 0x0140) << "resent with the same address";
    EXPECT_EQ(std::count(view.progress.begin(), view.progress.end(), 0x0140 + 48), 2);
    EXPECT_EQ(device.written.back(), 0x8080);
    EXPECT_EQ(Bytes(device.timeFrame.begin(), device.timeFrame.begin() + 10), bytesOf("2612072205"));
    EXPECT_EQ(device.memory.bytes(),
              transfer::encodeImage(config, catalogue::imageDeviceTexts(Language::EN)).bytes());
    EXPECT_EQ(view.progress.back(), 21440) << "the TimeFrame shows a full gauge";

    EXPECT_EQ(view.dialog, Dialog::Running) << "the dialog stays until the next report";
    EXPECT_EQ(report(), 0x1B);
    EXPECT_EQ(view.dialog, Dialog::Hidden);

    // Cancel closes a finished transfer's dialog when that report is slow to come.
    link->requestTransfer(TransferKind::Read);
    report();
    ASSERT_TRUE(clock.runUntil([&] { return view.ended.size() == 2; }, 60s));
    link->cancelTransfer();
    EXPECT_EQ(view.dialog, Dialog::Hidden);
    EXPECT_TRUE(ended(TransferKind::Read, TransferEnd::Done));

    // Should the device vanish before that report, the dialog must not stay up.
    link->requestTransfer(TransferKind::EventLog);
    report();
    ASSERT_TRUE(clock.runUntil([&] { return view.ended.size() == 3; }, 60s));
    EXPECT_EQ(view.dialog, Dialog::Running);
    driver.port->fail();
    clock.advance(10ms);
    EXPECT_EQ(view.dialog, Dialog::Hidden);
}

TEST_F(UsbLinkTest, AReadFillsTheConfigurationFrameByFrameAndAcknowledgesEach) {
    TestDevice device(driver);
    Configuration onDevice = Configuration::startup('.');
    onDevice.setText(onDevice.table().id("TNIN_V_3_1"), "555");
    onDevice.setText(onDevice.table().id("T_SMS_IN2"), std::string(127, 'x'));
    onDevice.setText(onDevice.table().id("UMAX_AIN1"), "25.5");
    device.memory = transfer::encodeImage(onDevice, catalogue::imageDeviceTexts(Language::EN));
    unlock();
    link->requestTransfer(TransferKind::Read);
    // A second report already on its way is not the device's acceptance of the command.
    EXPECT_EQ(report(statusReport() + statusReport()), 0x60);
    ASSERT_TRUE(clock.runUntil([&] { return !view.ended.empty(); }, 60s));
    EXPECT_TRUE(ended(TransferKind::Read, TransferEnd::Done));
    EXPECT_EQ(config.text(config.table().id("TNIN_V_3_1")), "555");
    EXPECT_EQ(config.text(config.table().id("T_SMS_IN2")), std::string(127, 'x'));
    EXPECT_EQ(config.text(config.table().id("UMAX_AIN1")), "25.5");
    EXPECT_EQ(std::count(driver.writes.begin(), driver.writes.end(), Bytes{0x1F}), 1 + 336)
        << "the identification's 0x1F and one per Frame";
    EXPECT_EQ(view.progress.back(), 21440);
}

TEST_F(UsbLinkTest, TheEventLogListsTheWrittenRecordsAndCountsTheEmptyOnes) {
    TestDevice device(driver);
    device.records[0] = bytesOf("0712261430") + Bytes(21, 0) + Bytes{76};
    device.records[200] = bytesOf("0812261431") + Bytes(21, 0) + Bytes{0};
    device.records[201][0] = 0x00;
    unlock();
    view.events.push_back(Bytes(32, 1)); // a line of an earlier read
    link->requestTransfer(TransferKind::EventLog);
    EXPECT_TRUE(view.events.empty());
    EXPECT_EQ(report(), 0x0E);
    ASSERT_TRUE(clock.runUntil([&] { return !view.ended.empty(); }, 60s));
    EXPECT_TRUE(ended(TransferKind::EventLog, TransferEnd::Done));
    EXPECT_EQ(view.events, (std::vector<Bytes>{device.records[0], device.records[200]}));
    EXPECT_EQ(view.gaugeMaximum, 256);
    EXPECT_EQ(view.progress.back(), 256);
}

TEST_F(UsbLinkTest, EveryTransferEndsWithinItsBoundWhenTheDeviceMisbehaves) {
    TestDevice device(driver);
    unlock();

    device.writeAcceptance = repeated(0x06, 15) + Bytes{0x15};
    link->requestTransfer(TransferKind::Write);
    report();
    ASSERT_TRUE(clock.runUntil([&] { return !view.ended.empty(); }, 11s));
    EXPECT_TRUE(ended(TransferKind::Write, TransferEnd::NotAccepted));
    EXPECT_EQ(driver.writes.back(), Bytes{0xAA}) << "nothing is written after a wrong acceptance";
    EXPECT_EQ(view.dialog, Dialog::Hidden);
    EXPECT_EQ(view.messages.back().kind, LinkMessage::Kind::TransferIncomplete);

    device.writeAcceptance = repeated(0x06, 16);
    device.silentAfterFrames = 100;
    link->requestTransfer(TransferKind::Write);
    report();
    ASSERT_TRUE(clock.runUntil([&] { return view.ended.size() == 2; }, 30s));
    EXPECT_TRUE(ended(TransferKind::Write, TransferEnd::NoAnswer));
    EXPECT_TRUE(link->state().transferAborted);
    EXPECT_FALSE(link->transferRunning());

    // The poll runs again: the device's next report is answered.
    EXPECT_EQ(report(), 0x1B);

    device.silentAfterFrames = -1;
    device.recover();
    device.corruptEveryEcho = true;
    link->requestTransfer(TransferKind::Write);
    report();
    ASSERT_TRUE(clock.runUntil([&] { return view.ended.size() == 3; }, 30s));
    EXPECT_TRUE(ended(TransferKind::Write, TransferEnd::EchoRefused));
    device.recover();
    EXPECT_EQ(std::count(driver.writes.end() - 10, driver.writes.end(), driver.writes.back()), 10);

    device.corruptEveryEcho = false;
    device.silentAfterFrames = 10;
    link->requestTransfer(TransferKind::EventLog);
    report();
    clock.advance(1s);
    EXPECT_EQ(view.events.size(), 0u);
    link->cancelTransfer();
    EXPECT_TRUE(ended(TransferKind::EventLog, TransferEnd::Cancelled));
    EXPECT_EQ(view.dialog, Dialog::Hidden);
}

TEST_F(UsbLinkTest, ABridgeThatVanishesDuringAReadEndsTheConnectionAtOnce) {
    TestDevice device(driver);
    device.failAfterFrames = 40;
    unlock();
    link->requestTransfer(TransferKind::Read);
    report();
    ASSERT_TRUE(clock.runUntil([&] { return !view.ended.empty(); }, 5s));
    EXPECT_TRUE(ended(TransferKind::Read, TransferEnd::LinkLost));
    EXPECT_FALSE(view.connected);
    EXPECT_FALSE(view.linkUp);
    EXPECT_FALSE(view.transportLocked);
    EXPECT_EQ(driver.port, nullptr);
    EXPECT_EQ(view.dialog, Dialog::Hidden);
    EXPECT_GE(view.blanked, 1);
    EXPECT_FALSE(link->state().unlocked);
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
