#include "SessionActionSink.h"

namespace qta::link {

bool carryOutActions(const Actions& actions, SessionActionSink& sink) {
    using Kind = Action::Kind;
    for (const Action& action : actions) {
        switch (action.kind) {
        case Kind::Send:
            if (!sink.sendBytes(action.bytes))
                return false;
            break;
        case Kind::Purge:
            sink.purgeInput();
            break;
        case Kind::Pause:
            if (!sink.pauseReading(action.span))
                return false;
            break;
        case Kind::Close:
            sink.closeAfter(action.span);
            return false;
        default:
            sink.forUser(action);
            break;
        }
    }
    return true;
}

} // namespace qta::link
