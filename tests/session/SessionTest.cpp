#include "SessionRig.h"

#include "catalogue/DeviceTexts.h"
#include "log/EventRecord.h"
#include "session/Commands.h"
#include "transfer/ConfigEncoder.h"

#include <gtest/gtest.h>

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

sim::DeviceOptions steady() {
    sim::DeviceOptions options;
    options.varyStatus = false;
    return options;
}

void setField(Configuration& config, std::string_view name, const std::string& value) {
    const std::optional<FieldId> id = config.table().find(name);
    ASSERT_TRUE(id.has_value()) << name;
    config.setText(*id, value);
}

// A configuration that differs from the start-up one in a number list, a text and the APN.
void changeSome(Configuration& config, const std::string& number) {
    setField(config, "TNIN_V_3_1", number);
    setField(config, "TNIN_V_3_2", "0905123457");
    setField(config, "editAPN", "internet.test");
}

Bytes imageOf(const Configuration& config) {
    return transfer::encodeImage(config, catalogue::imageDeviceTexts(Language::EN)).bytes();
}

std::size_t framesSentTo(const SessionRig& rig, std::uint16_t address) {
    return static_cast<std::size_t>(std::count_if(rig.sent.begin(), rig.sent.end(), [&](const Bytes& b) {
        return b.size() == transfer::kFrameSize && (b[0] << 8 | b[1]) == address;
    }));
}

// A whole write, read back into start-up values, and the event log; true when all held.
void writeReadAndLog(SessionRig& rig, const std::string& number) {
    ASSERT_TRUE(rig.unlock());
    changeSome(rig.config, number);
    const Bytes written = imageOf(rig.config);
    ASSERT_EQ(rig.transfer(TransferKind::Write), TransferEnd::Done);
    EXPECT_EQ(rig.device.memory().bytes(), written);

    rig.config = Configuration::startup('.');
    ASSERT_EQ(rig.transfer(TransferKind::Read), TransferEnd::Done);
    EXPECT_EQ(imageOf(rig.config), written) << "every field read back as written";
    EXPECT_EQ(rig.config.text(*rig.config.table().find("TNIN_V_3_1")), number);
}

class SessionTest : public ::testing::TestWithParam<Transport> {
protected:
    Transport transport() const { return GetParam(); }
    bool overGprs() const { return transport() == Transport::Gprs; }
};

TEST_P(SessionTest, AWholeWriteLandsInTheDeviceAndReadsBackAndTheEventLogListsOnlyWrittenRecords) {
    SessionRig rig(transport(), steady());
    writeReadAndLog(rig, "0905123456");

    // The write ends with the TimeFrame, dated as it goes out.
    const auto timeFrame = std::find_if(rig.sent.rbegin(), rig.sent.rend(), [](const Bytes& b) {
        return b.size() == transfer::kFrameSize && b[0] == 0x80 && b[1] == 0x80;
    });
    ASSERT_NE(timeFrame, rig.sent.rend());
    EXPECT_EQ(Bytes(timeFrame->begin() + 2, timeFrame->begin() + 12), bytesOf("2612072209"));

    ASSERT_EQ(rig.transfer(TransferKind::EventLog), TransferEnd::Done);
    std::size_t written = 0;
    for (std::size_t slot = 0; slot < 256; ++slot)
        written += log::isEmptySlot(rig.device.events().record(slot)) ? 0 : 1;
    EXPECT_EQ(rig.view.events.size(), written);
    EXPECT_EQ(rig.state.eventCount, 256) << "empty slots are counted and acknowledged";
    EXPECT_EQ(rig.view.gaugeMaximum, overGprs() ? 255 : 256);
    EXPECT_TRUE(rig.view.messages.empty());
}

TEST_P(SessionTest, AChangedEchoIsSentAgainAtTheSameAddressAndOnlyAConfirmedFrameIsProgress) {
    sim::DeviceOptions options = steady();
    options.faults.corruptEcho = 0.2;
    // A seed whose TimeFrame echo comes back whole: a changed echo of the write's
    // last Frame, after which the device has already finished, is a case of its own.
    options.seed = 4;
    SessionRig rig(transport(), options);
    ASSERT_TRUE(rig.unlock());
    changeSome(rig.config, "0905123456");
    ASSERT_EQ(rig.transfer(TransferKind::Write), TransferEnd::Done);
    EXPECT_EQ(rig.device.memory().bytes(), imageOf(rig.config));
    std::size_t resent = 0;
    for (std::uint16_t address = 0; address <= transfer::kLastFrameAddress; address += 64)
        resent += framesSentTo(rig, address) > 1 ? 1 : 0;
    EXPECT_GT(resent, 20u) << "about a fifth of the Frames went twice";

    // A device that changes every echo: each Frame goes out ten times, then the write is given up.
    sim::DeviceOptions hostile = steady();
    hostile.faults.corruptEcho = 1.0;
    SessionRig refused(transport(), hostile);
    ASSERT_TRUE(refused.unlock());
    ASSERT_EQ(refused.transfer(TransferKind::Write), TransferEnd::EchoRefused);
    EXPECT_EQ(framesSentTo(refused, 0x0000), 10u);
    EXPECT_EQ(refused.view.dialog, Dialog::Hidden);
    ASSERT_FALSE(refused.view.messages.empty());
    EXPECT_EQ(refused.view.messages.back().end, TransferEnd::EchoRefused);
}

TEST_P(SessionTest, ASilentOrVanishedDeviceEndsEachTransferWithinItsBound) {
    sim::DeviceOptions silent = steady();
    silent.faults.silentAfter = 40;
    SessionRig rig(transport(), silent);
    ASSERT_TRUE(rig.unlock());
    const Millis start = rig.now();
    ASSERT_EQ(rig.transfer(TransferKind::Read), TransferEnd::NoAnswer);
    EXPECT_LT(rig.now() - start, 15s) << "the stall bound, not the device, ends it";
    EXPECT_EQ(rig.view.dialog, Dialog::Hidden);
    EXPECT_EQ(rig.view.messages.back().transfer, TransferKind::Read);
    // Over GPRS the device must dial in anew; over USB the poll looks for itself.
    EXPECT_EQ(rig.closes, overGprs() ? 1 : 0);
    EXPECT_EQ(rig.view.connected, !overGprs());

    sim::DeviceOptions dropping = steady();
    dropping.faults.dropAfter = 30;
    SessionRig lost(transport(), dropping);
    ASSERT_TRUE(lost.unlock());
    ASSERT_EQ(lost.transfer(TransferKind::EventLog), TransferEnd::LinkLost);
    EXPECT_FALSE(lost.view.connected);
    EXPECT_FALSE(lost.view.linkUp);
    EXPECT_FALSE(lost.view.transportLocked) << "nothing keeps the transport choice locked";
}

TEST_P(SessionTest, TheRightCodeTypedAfterTheDeviceIdentifiedAnewUnlocksIt) {
    SessionRig rig(transport(), steady());
    ASSERT_TRUE(rig.runUntil([&] { return rig.view.dialog == Dialog::AccessPrompt; }, 5s));
    // The device waits 30 s for the code, then identifies again; the prompt stays up.
    rig.runUntil([] { return false; }, overGprs() ? 30500ms : 31s);
    ASSERT_EQ(rig.view.dialog, Dialog::AccessPrompt);
    rig.view.closeMessagesAtOnce = true;
    rig.submit("6173");
    ASSERT_TRUE(rig.runUntil([&] { return rig.view.connected; }, 5s));
    EXPECT_NE(rig.view.dialog, Dialog::CodeRefused);
    EXPECT_TRUE(rig.view.messages.empty());
}

TEST_P(SessionTest, AReadWhoseLastBlockComesBeforeTheOthersIsIncomplete) {
    LinkState state;
    ProgrammerSession session(transport() == Transport::Gprs ? gprsProfile(60s, 100ms) : usbProfile(), state);
    RecordingView view;
    const auto carry = [&](const Actions& actions) {
        for (const Action& action : actions)
            if (action.kind == Action::Kind::View)
                action.call(view);
    };
    const Bytes report =
        Bytes{0x80, 123, 45, 110, 2, '6'} + bytesOf("2612072205") + Bytes{1, 0x81, 0, 0x1C, 0x2C};
    carry(session.linkUp());
    carry(session.unitArrived({UnitKind::Identification, bytesOf("QTA71P")}));
    carry(session.submitAccessCode("6173"));
    carry(session.unitArrived({UnitKind::Answer, {0x06}}));
    carry(session.requestTransfer(TransferKind::Read));
    carry(session.unitArrived({UnitKind::StatusReport, report}));
    carry(session.unitArrived({UnitKind::Acceptance, Bytes(16, 0x60)}));
    Bytes frame(transfer::kFrameSize, 0x00);
    carry(session.unitArrived({UnitKind::Frame, frame}));
    frame[0] = 0x53;
    frame[1] = 0xC0;
    carry(session.unitArrived({UnitKind::Frame, frame}));
    ASSERT_FALSE(view.ended.empty());
    EXPECT_EQ(view.ended.back(), (RecordingView::Ended{TransferKind::Read, TransferEnd::Incomplete}));
    EXPECT_EQ(view.messages.back().kind, LinkMessage::Kind::TransferIncomplete);
}

INSTANTIATE_TEST_SUITE_P(BothTransports, SessionTest, ::testing::Values(Transport::Usb, Transport::Gprs),
                         [](const auto& param) { return param.param == Transport::Usb ? "Usb" : "Gprs"; });

// Sessions are objects: two run at once, each with its own device, record, view
// and Configuration, and neither sees the other's numbers.
TEST(Sessions, TwoRunAtOnceInOneProcessAndShareNothing) {
    SessionRig first(Transport::Gprs, steady());
    SessionRig second(Transport::Usb, steady());
    std::thread a([&] { writeReadAndLog(first, "0911111111"); });
    std::thread b([&] { writeReadAndLog(second, "0922222222"); });
    a.join();
    b.join();
    EXPECT_NE(first.device.memory().bytes(), second.device.memory().bytes());
}

} // namespace
} // namespace qta::link::test
