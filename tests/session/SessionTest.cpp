#include "ProtocolBytes.h"
#include "RecordingView.h"

#include "catalogue/DeviceTexts.h"
#include "log/EventRecord.h"
#include "session/Commands.h"
#include "session/ProgrammerSession.h"
#include "transfer/ConfigEncoder.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace qta::link::test {
namespace {

using namespace std::chrono_literals;
using Dialog = RecordingView::DialogShown;

class SessionTest : public ::testing::TestWithParam<Transport> {
protected:
    Transport transport() const { return GetParam(); }
    bool overGprs() const { return transport() == Transport::Gprs; }
};

// A session fed by hand with units no device would send.
struct Scripted {
    explicit Scripted(Transport transport)
        : session(transport == Transport::Gprs ? gprsProfile(60s, 100ms) : usbProfile(), state,
                  frozenClock()) {}
    static SessionOptions frozenClock() {
        SessionOptions options;
        options.wallClock = [] {
            return transfer::DateTime{2026, 12, 7, 22, 9};
        };
        return options;
    }

    Actions feed(Actions actions) {
        for (const Action& action : actions)
            if (action.kind == Action::Kind::View)
                action.call(view);
        return actions;
    }
    Actions unit(UnitKind kind, Bytes bytes) { return feed(session.unitArrived({kind, std::move(bytes)})); }
    // Unlocked, with `kind` requested and its command sent as the answer to a report.
    void requested(TransferKind kind, WriteSnapshot frames = {}) {
        feed(session.linkUp());
        unit(UnitKind::Identification, bytesOf("QTA71P"));
        feed(session.submitAccessCode("6173"));
        unit(UnitKind::Answer, {0x06});
        feed(session.requestTransfer(kind, std::move(frames)));
        unit(UnitKind::StatusReport,
             Bytes{0x80, 123, 45, 110, 2, '6'} + bytesOf("2612072205") + Bytes{1, 0x81, 0, 0x1C, 0x2C});
    }

    LinkState state;
    ProgrammerSession session;
    RecordingView view;
};

std::optional<std::size_t> firstOf(const Actions& actions, Action::Kind kind) {
    for (std::size_t i = 0; i < actions.size(); ++i)
        if (actions[i].kind == kind)
            return i;
    return std::nullopt;
}

TEST_P(SessionTest, AFrameIsSetBeforeItsAcknowledgementAndAReadEndsCompleteOnlyWithEveryBlock) {
    Scripted scripted(transport());
    scripted.requested(TransferKind::Read);
    scripted.unit(UnitKind::Acceptance, Bytes(16, 0x60));
    Bytes frame(transfer::kFrameSize, 0x00);
    const Actions actions = scripted.unit(UnitKind::Frame, frame);
    ASSERT_TRUE(firstOf(actions, Action::Kind::ApplyFrame) && firstOf(actions, Action::Kind::Send));
    EXPECT_LT(*firstOf(actions, Action::Kind::ApplyFrame), *firstOf(actions, Action::Kind::Send));
    EXPECT_EQ(actions[*firstOf(actions, Action::Kind::Send)].bytes, Bytes{0x1F});

    frame[1] = 0x20; // 0x0020 is no block of the image: dropped, not acknowledged
    EXPECT_FALSE(firstOf(scripted.unit(UnitKind::Frame, frame), Action::Kind::Send));
    frame[0] = 0x53;
    frame[1] = 0xC0;
    scripted.unit(UnitKind::Frame, frame);
    ASSERT_FALSE(scripted.view.ended.empty());
    EXPECT_EQ(scripted.view.ended.back(),
              (RecordingView::Ended{TransferKind::Read, TransferEnd::Incomplete}));
    EXPECT_EQ(scripted.view.messages.back().kind, LinkMessage::Kind::TransferIncomplete);
}

TEST_P(SessionTest, OnlyTheSixteenBytesTheCommandAsksForStartATransfer) {
    Scripted scripted(transport());
    scripted.requested(TransferKind::Write);
    // A report instead of the acceptance: the device did not take the command, which goes again.
    const Actions again =
        scripted.unit(UnitKind::StatusReport, Bytes{0x80, 123, 45, 110, 2, '6'} + bytesOf("2612072205") +
                                                  Bytes{1, 0x81, 0, 0x1C, 0x2C});
    ASSERT_TRUE(firstOf(again, Action::Kind::Send));
    EXPECT_EQ(again[*firstOf(again, Action::Kind::Send)].bytes, Bytes{0xAA});
    const Actions refused = scripted.unit(UnitKind::Acceptance, Bytes(16, 0x60));
    EXPECT_FALSE(firstOf(refused, Action::Kind::Send)) << "not a single Frame is written";
    EXPECT_EQ(scripted.view.ended.back(),
              (RecordingView::Ended{TransferKind::Write, TransferEnd::NotAccepted}));
    EXPECT_TRUE(scripted.session.unlocked());
    EXPECT_FALSE(scripted.session.transferRunning());
}

// Each Frame the actions send, echoed as `echo` has it; what the session answered.
Actions echoEach(Scripted& scripted, Actions actions, const std::function<Bytes(const Bytes&)>& echo) {
    for (;;) {
        const std::optional<std::size_t> sent = firstOf(actions, Action::Kind::Send);
        if (!sent || actions[*sent].bytes.size() != transfer::kFrameSize)
            return actions;
        const Bytes& frame = actions[*sent].bytes;
        actions = scripted.unit(UnitKind::Echo, echo(Bytes(frame.begin() + 2, frame.end())));
    }
}

TEST_P(SessionTest, AWriteWhoseImageWasConfirmedButNotItsClockSaysTheConfigurationIsWritten) {
    Scripted scripted(transport());
    scripted.requested(TransferKind::Write,
                       takeWriteSnapshot(Configuration::startup('.'), Language::EN, transport()));
    Actions actions = scripted.unit(UnitKind::Acceptance, Bytes(16, 0x06));
    int timeFrameSends = 0;
    echoEach(scripted, std::move(actions), [&](const Bytes& payload) {
        const bool timeFrame =
            std::equal(payload.begin(), payload.begin() + 10, bytesOf("2612072209").begin());
        if (!timeFrame)
            return payload;
        ++timeFrameSends;
        Bytes changed = payload;
        changed[3] ^= 0x01;
        return changed;
    });
    EXPECT_EQ(timeFrameSends, 10);
    ASSERT_FALSE(scripted.view.ended.empty());
    EXPECT_EQ(scripted.view.ended.back().end, TransferEnd::ClockNotConfirmed);
    EXPECT_EQ(scripted.view.messages.back().end, TransferEnd::ClockNotConfirmed);
}

INSTANTIATE_TEST_SUITE_P(BothTransports, SessionTest, ::testing::Values(Transport::Usb, Transport::Gprs),
                         [](const auto& param) { return param.param == Transport::Usb ? "Usb" : "Gprs"; });

} // namespace
} // namespace qta::link::test
