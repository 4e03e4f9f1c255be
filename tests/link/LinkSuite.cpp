// Each rule of a transfer and each fault, against each transport as it really
// runs: the engine, its transport and the virtual device.
#include "LinkRig.h"
#include "ProtocolBytes.h"
#include "TcpPeer.h"

#include "catalogue/DeviceTexts.h"
#include "link/GprsLink.h"
#include "log/EventRecord.h"
#include "transfer/ConfigEncoder.h"

#include <gtest/gtest.h>

#include <thread>

namespace qta::link::test {
namespace {

using namespace std::chrono_literals;
using Dialog = RecordingView::DialogShown;

struct Wire {
    Transport transport;
    std::size_t piece; // GPRS: what the device sends is split into pieces this long
};

sim::DeviceOptions steady() {
    sim::DeviceOptions options;
    options.varyStatus = false;
    return options;
}

void changeSome(Configuration& config) {
    const FieldTable& table = config.table();
    config.setText(*table.find("TNIN_V_3_1"), "0905123456");
    config.setText(*table.find("TNIN_V_3_2"), "0905123457");
    config.setText(*table.find("editAPN"), "internet.test");
}

Bytes imageOf(const Configuration& config) {
    return transfer::encodeImage(config, catalogue::imageDeviceTexts(Language::EN)).bytes();
}

// A resend shows the same block on the gauge twice in a row.
std::size_t resends(const std::vector<int>& progress) {
    std::size_t repeated = 0;
    for (std::size_t i = 1; i < progress.size(); ++i)
        repeated += progress[i] == progress[i - 1] ? 1 : 0;
    return repeated;
}

class LinkSuite : public ::testing::TestWithParam<Wire> {
protected:
    std::unique_ptr<LinkRig> rig(sim::DeviceOptions device = steady()) {
        return makeRig(GetParam().transport, device, GetParam().piece);
    }
    bool overGprs() const { return GetParam().transport == Transport::Gprs; }
};

TEST_P(LinkSuite, AWholeWriteReadAndEventLogMoveEveryByteAsTheDeviceHoldsIt) {
    const auto link = rig();
    ASSERT_TRUE(link->unlock());
    changeSome(link->config);
    const Bytes written = imageOf(link->config);
    ASSERT_EQ(link->transfer(TransferKind::Write), TransferEnd::Done);
    EXPECT_EQ(link->device().memory().bytes(), written);
    const Bytes& out = link->written();
    const Bytes timeFrame = Bytes{0x80, 0x80} + bytesOf("2612072209");
    EXPECT_NE(std::search(out.begin(), out.end(), timeFrame.begin(), timeFrame.end()), out.end())
        << "the write ends with the TimeFrame, dated as it goes out";
    EXPECT_EQ(link->view.gaugeMaximum, overGprs() ? 337 : 21440);

    link->config = Configuration::startup('.');
    ASSERT_EQ(link->transfer(TransferKind::Read), TransferEnd::Done);
    EXPECT_EQ(imageOf(link->config), written) << "every field read back as written";
    EXPECT_EQ(link->view.progress.back(), 21440);

    ASSERT_EQ(link->transfer(TransferKind::EventLog), TransferEnd::Done);
    std::size_t listed = 0;
    for (std::size_t slot = 0; slot < 256; ++slot)
        listed += log::isEmptySlot(link->device().events().record(slot)) ? 0 : 1;
    EXPECT_EQ(link->view.events.size(), listed);
    EXPECT_TRUE(link->view.messages.empty());
    // The finished transfer's dialog closes at the device's next report.
    EXPECT_TRUE(link->runUntil([&] { return link->view.dialog == Dialog::Hidden; }, 2s));
}

TEST_P(LinkSuite, AChangedEchoIsSentAgainAndTheWriteStillLandsWhole) {
    sim::DeviceOptions options = steady();
    options.faults.corruptEcho = 0.2;
    options.seed = 4; // its TimeFrame echo comes back whole
    const auto link = rig(options);
    ASSERT_TRUE(link->unlock());
    changeSome(link->config);
    ASSERT_EQ(link->transfer(TransferKind::Write), TransferEnd::Done);
    EXPECT_EQ(link->device().memory().bytes(), imageOf(link->config));
    EXPECT_GT(resends(link->view.progress), 20u);

    // A device that changes every echo: the first Frame goes out ten times, then the write is given up.
    sim::DeviceOptions hostile = steady();
    hostile.faults.corruptEcho = 1.0;
    const auto refused = rig(hostile);
    ASSERT_TRUE(refused->unlock());
    ASSERT_EQ(refused->transfer(TransferKind::Write), TransferEnd::EchoRefused);
    ASSERT_EQ(refused->view.progress.size(), 10u);
    EXPECT_EQ(resends(refused->view.progress), 9u) << "the same block each time";
    EXPECT_EQ(refused->view.dialog, Dialog::Hidden);
    ASSERT_EQ(refused->view.messages.size(), 1u);
    EXPECT_EQ(refused->view.messages[0].end, TransferEnd::EchoRefused);
    EXPECT_TRUE(refused->view.connected) << "the exchange goes on";
}

TEST_P(LinkSuite, AWriteWhoseTimeFrameEchoCameBackChangedEndsWhenTheDeviceReportsAgain) {
    sim::DeviceOptions options = steady();
    options.faults.corruptEcho = 0.2;
    options.seed = 1; // its TimeFrame echo is the one changed
    const auto link = rig(options);
    bool clockEchoChanged = false;
    link->device().onNotice([&](const std::string& notice) {
        clockEchoChanged = clockEchoChanged || notice.find("echo of 0x8080 corrupted") != std::string::npos;
    });
    ASSERT_TRUE(link->unlock());
    changeSome(link->config);
    ASSERT_EQ(link->transfer(TransferKind::Write), TransferEnd::Done);
    ASSERT_TRUE(clockEchoChanged) << "the case this test is about";
    EXPECT_EQ(link->device().memory().bytes(), imageOf(link->config));
    EXPECT_TRUE(link->view.messages.empty()) << "nothing failed";
    // Its reports are answered, so it does not lock itself.
    const std::size_t reports = link->view.reports.size();
    EXPECT_TRUE(link->runUntil([&] { return link->view.reports.size() > reports + 10; }, 10s));
    EXPECT_TRUE(link->device().unlocked());
    EXPECT_TRUE(link->view.connected);
}

TEST_P(LinkSuite, TheRightCodeTypedAfterTheDeviceGaveUpWaitingUnlocksIt) {
    const auto link = rig();
    ASSERT_TRUE(link->runUntil([&] { return link->view.dialog == Dialog::AccessPrompt; }, 5s));
    // The device waits 30 s for the code, then identifies anew; the prompt stays up.
    link->runUntil([] { return false; }, 30500ms);
    ASSERT_EQ(link->view.dialog, Dialog::AccessPrompt);
    EXPECT_FALSE(link->device().unlocked());
    link->link->submitAccessCode("6173");
    ASSERT_TRUE(link->runUntil([&] { return link->view.connected; }, 2s));
    EXPECT_TRUE(link->device().unlocked());
    EXPECT_TRUE(link->view.messages.empty()) << "no refusal, no unanswered code";
    EXPECT_TRUE(link->runUntil([&] { return !link->view.reports.empty(); }, 2s));
}

TEST_P(LinkSuite, NoiseBeforeEachIdentificationAndBetweenReportsIsPassedOver) {
    sim::DeviceOptions options = steady();
    options.faults.garbage = true;
    const auto link = rig(options);
    ASSERT_TRUE(link->unlock());
    ASSERT_EQ(link->transfer(TransferKind::Read), TransferEnd::Done);
    EXPECT_EQ(imageOf(link->config), link->device().memory().bytes());
}

TEST_P(LinkSuite, ADeviceThatFallsSilentEndsTheTransferWithinTheStallBound) {
    sim::DeviceOptions options = steady();
    options.faults.silentAfter = 40;
    const auto link = rig(options);
    ASSERT_TRUE(link->unlock());
    const Millis start = link->clock.now();
    ASSERT_EQ(link->transfer(TransferKind::Read), TransferEnd::NoAnswer);
    EXPECT_LT(link->clock.now() - start, 15s);
    EXPECT_EQ(link->view.dialog, Dialog::Hidden);
    ASSERT_EQ(link->view.messages.size(), 1u);
    EXPECT_EQ(link->view.messages[0].transfer, TransferKind::Read);
    if (overGprs()) { // the device must dial in anew: the connection is closed
        EXPECT_FALSE(link->view.connected);
        EXPECT_TRUE(link->runUntil([&] { return !link->view.linkUp; }, 1s));
    }
}

TEST_P(LinkSuite, ADeviceThatVanishesEndsTheTransferAndFreesTheTransportChoice) {
    sim::DeviceOptions options = steady();
    options.faults.dropAfter = 30;
    const auto link = rig(options);
    ASSERT_TRUE(link->unlock());
    ASSERT_EQ(link->transfer(TransferKind::EventLog), TransferEnd::LinkLost);
    EXPECT_TRUE(link->runUntil([&] { return !link->view.linkUp; }, 1s));
    EXPECT_FALSE(link->view.connected);
    EXPECT_FALSE(link->view.transportLocked);
    EXPECT_EQ(link->view.dialog, Dialog::Hidden);
}

TEST_P(LinkSuite, CancelEndsAWriteAndTheExchangeGoesOnAfterIt) {
    const auto link = rig();
    ASSERT_TRUE(link->unlock());
    link->link->requestTransfer(TransferKind::Write);
    // Over GPRS the connection thread runs a write through faster than the clock
    // moves: it is cancelled while its command waits for the next report.
    if (!overGprs()) {
        ASSERT_TRUE(link->runUntil([&] { return link->view.progress.size() >= 50; }, 30s));
    }
    link->link->cancelTransfer();
    ASSERT_TRUE(link->runUntil([&] { return !link->view.ended.empty(); }, 1s));
    EXPECT_EQ(link->view.ended.back(), (RecordingView::Ended{TransferKind::Write, TransferEnd::Cancelled}));
    EXPECT_EQ(link->view.dialog, Dialog::Hidden);
    // The device gives the write up and reports again; the reports are answered.
    const std::size_t reports = link->view.reports.size();
    EXPECT_TRUE(link->runUntil([&] { return link->view.reports.size() > reports + 2; }, 10s));
    EXPECT_TRUE(link->view.connected);
}

TEST_P(LinkSuite, AReadIntoAConfigurationOfItsOwnLeavesTheWindowsAlone) {
    const auto link = rig();
    ASSERT_TRUE(link->unlock());
    changeSome(link->config);
    const Bytes written = imageOf(link->config);
    ASSERT_EQ(link->transfer(TransferKind::Write), TransferEnd::Done);
    link->config.setText(*link->config.table().find("TNLS_1"), "112"); // an edit after the Send
    const Configuration window = link->config;
    int heard = 0;
    link->config.setObserver([&](FieldId) { ++heard; });

    Configuration scratch = Configuration::startup('.');
    const std::size_t before = link->view.ended.size();
    link->link->requestReadInto(scratch);
    ASSERT_TRUE(link->runUntil([&] { return link->view.ended.size() > before; }, 120s));
    EXPECT_EQ(link->view.ended.back().end, TransferEnd::Done);
    EXPECT_EQ(imageOf(scratch), written) << "the read went into the scratch configuration";
    EXPECT_TRUE(link->config == window);
    EXPECT_EQ(heard, 0) << "no field of the window changed";

    ASSERT_EQ(link->transfer(TransferKind::Read), TransferEnd::Done);
    EXPECT_EQ(imageOf(link->config), written) << "the next plain Read fills the window again";
}

INSTANTIATE_TEST_SUITE_P(Transports, LinkSuite,
                         ::testing::Values(Wire{Transport::Usb, 0}, Wire{Transport::Gprs, 0},
                                           Wire{Transport::Gprs, 5}),
                         [](const auto& param) {
                             if (param.param.transport == Transport::Usb)
                                 return "Usb";
                             return param.param.piece == 0 ? "Gprs" : "GprsInPieces";
                         });

// One device at a time: a second is turned away at once and the first finishes.
TEST(LinkSuiteGprs, ASecondDeviceIsRefusedAtOnceWhileTheFirstTransfers) {
    const auto link = makeRig(Transport::Gprs, steady());
    ASSERT_TRUE(link->unlock());
    link->link->requestTransfer(TransferKind::EventLog);
    ASSERT_TRUE(link->runUntil([&] { return link->view.progress.size() >= 10; }, 10s));
    TcpPeer second(link->link->gprsPort());
    ASSERT_TRUE(link->runUntil(
        [&] {
            second.pull();
            return second.closed();
        },
        1s));
    ASSERT_TRUE(link->runUntil([&] { return !link->view.ended.empty(); }, 30s));
    EXPECT_EQ(link->view.ended.back().end, TransferEnd::Done);
    EXPECT_TRUE(second.received().empty());
}

// Sessions are objects: two links run at once in one process, each with its own
// device, clock, record, view and Configuration, and neither sees the other's numbers.
TEST(LinkSuiteSessions, TwoRunAtOnceInOneProcessAndShareNothing) {
    const auto writeAndReadBack = [](LinkRig& link, const std::string& number) {
        ASSERT_TRUE(link.unlock());
        link.config.setText(*link.config.table().find("TNIN_V_3_1"), number);
        const Bytes written = imageOf(link.config);
        ASSERT_EQ(link.transfer(TransferKind::Write), TransferEnd::Done);
        EXPECT_EQ(link.device().memory().bytes(), written);
        link.config = Configuration::startup('.');
        ASSERT_EQ(link.transfer(TransferKind::Read), TransferEnd::Done);
        EXPECT_EQ(imageOf(link.config), written) << "every field read back as written";
    };
    const auto first = makeRig(Transport::Usb, steady());
    const auto second = makeRig(Transport::Usb, steady());
    std::thread a([&] { writeAndReadBack(*first, "0911111111"); });
    std::thread b([&] { writeAndReadBack(*second, "0922222222"); });
    a.join();
    b.join();
    EXPECT_EQ(first->config.text(*first->config.table().find("TNIN_V_3_1")), "0911111111");
    EXPECT_EQ(second->config.text(*second->config.table().find("TNIN_V_3_1")), "0922222222");
}

} // namespace
} // namespace qta::link::test
