#include "SessionRig.h"

#include <algorithm>

namespace qta::link::test {
namespace {

sim::DeviceOptions forTransport(Transport transport, sim::DeviceOptions options) {
    options.transport = transport == Transport::Gprs ? sim::Transport::Network : sim::Transport::Serial;
    return options;
}

TransportProfile profileOf(Transport transport) {
    return transport == Transport::Gprs ? gprsProfile(Millis(60000), Millis(100)) : usbProfile();
}

SessionOptions fixedWallClock() {
    SessionOptions options;
    options.wallClock = [] {
        return transfer::DateTime{2026, 12, 7, 22, 9};
    };
    return options;
}

} // namespace

SessionRig::SessionRig(Transport transport, sim::DeviceOptions options)
    : device(forTransport(transport, options)), session(profileOf(transport), state, fixedWallClock()) {
    device.onOutput([this](std::span<const std::uint8_t> unit) { cutter_.append(unit); });
    device.onVanish([this] { vanished = true; });
    device.start(now_);
    carry(session.linkUp());
}

Millis SessionRig::now() const {
    return std::chrono::duration_cast<Millis>(now_);
}

void SessionRig::carry(const Actions& actions) {
    using Kind = Action::Kind;
    for (const Action& action : actions) {
        switch (action.kind) {
        case Kind::Send:
            sent.push_back(action.bytes);
            device.advanceTo(now_);
            device.receive(action.bytes);
            break;
        case Kind::Purge:
            cutter_.dropAll();
            break;
        case Kind::StartTimer:
            timers_[action.timer] = now_ + std::chrono::duration_cast<sim::Micros>(action.span);
            break;
        case Kind::StopTimer:
            timers_.erase(action.timer);
            break;
        case Kind::View:
            action.call(view);
            break;
        case Kind::StartDecoding:
            decoder_ = std::make_unique<transfer::ConfigDecoder>(config, '.');
            break;
        case Kind::ApplyFrame:
            decoder_->ReadData(action.frame);
            break;
        case Kind::Pause:
            break;
        case Kind::Close:
            ++closes;
            break;
        }
    }
}

void SessionRig::feedUnits() {
    while (const std::optional<Expect> expect = session.expect()) {
        const std::optional<Unit> unit = cutter_.next(*expect);
        if (!unit)
            return;
        carry(session.unitArrived(*unit));
    }
}

void SessionRig::fireTimers() {
    for (auto due = timers_.begin(); due != timers_.end();) {
        if (due->second > now_) {
            ++due;
            continue;
        }
        const SessionTimer timer = due->first;
        timers_.erase(due);
        carry(session.timerExpired(timer));
        due = timers_.begin();
    }
}

bool SessionRig::runUntil(const std::function<bool()>& done, Millis limit) {
    const sim::Micros until = now_ + std::chrono::duration_cast<sim::Micros>(limit);
    for (;;) {
        feedUnits();
        if (done())
            return true;
        if (vanished) {
            vanished = false;
            carry(session.linkLost());
            continue;
        }
        sim::Micros next = device.nextDue();
        for (const auto& [timer, at] : timers_)
            next = std::min(next, at);
        if (next > until)
            return false;
        now_ = std::max(now_, next);
        device.advanceTo(now_);
        fireTimers();
    }
}

bool SessionRig::unlock(const std::string& code) {
    if (!runUntil([&] { return view.dialog == RecordingView::DialogShown::AccessPrompt; }, Millis(5000)))
        return false;
    carry(session.submitAccessCode(code));
    return runUntil([&] { return !view.reports.empty(); }, Millis(5000));
}

std::optional<TransferEnd> SessionRig::transfer(TransferKind kind, Millis limit) {
    const std::size_t before = view.ended.size();
    WriteSnapshot frames;
    if (kind == TransferKind::Write)
        frames = takeWriteSnapshot(config, Language::EN, session.profile().transport);
    carry(session.requestTransfer(kind, std::move(frames)));
    if (!runUntil([&] { return view.ended.size() > before; }, limit))
        return std::nullopt;
    return view.ended.back().end;
}

} // namespace qta::link::test
