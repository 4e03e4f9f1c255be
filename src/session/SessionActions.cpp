#include "ProgrammerSession.h"

#include <utility>

namespace qta::link {

// ---- the actions ----

void ProgrammerSession::send(Bytes bytes) {
    Action action = Action::of(Action::Kind::Send);
    action.bytes = std::move(bytes);
    out_.push_back(std::move(action));
}

void ProgrammerSession::purge() {
    out_.push_back(Action::of(Action::Kind::Purge));
}

void ProgrammerSession::view(std::function<void(LinkView&)> call, bool landsFirst) {
    Action action = Action::of(Action::Kind::View);
    action.call = std::move(call);
    action.landsFirst = landsFirst;
    out_.push_back(std::move(action));
}

void ProgrammerSession::applyFrame(const transfer::Frame& frame) {
    Action action = Action::of(Action::Kind::ApplyFrame);
    action.frame = frame;
    out_.push_back(std::move(action));
}

void ProgrammerSession::startTimer(SessionTimer timer, Millis delay) {
    Action action = Action::of(Action::Kind::StartTimer);
    action.timer = timer;
    action.span = delay;
    out_.push_back(std::move(action));
}

void ProgrammerSession::stopTimer(SessionTimer timer) {
    Action action = Action::of(Action::Kind::StopTimer);
    action.timer = timer;
    out_.push_back(std::move(action));
}

void ProgrammerSession::pause(Millis span) {
    Action action = Action::of(Action::Kind::Pause);
    action.span = span;
    out_.push_back(std::move(action));
}

void ProgrammerSession::closeLink(Millis after) {
    Action action = Action::of(Action::Kind::Close);
    action.span = after;
    out_.push_back(std::move(action));
}

Actions ProgrammerSession::take() {
    return std::exchange(out_, {});
}

} // namespace qta::link
