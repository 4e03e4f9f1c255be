#include "SharedLinkState.h"

namespace qta::link {

void SharedLinkState::Locked::notify() {
    shared_.fields_.threadWaiting = false; // the thread looks again before it waits again
    shared_.changed_.notify_all();
    shared_.doorbell_.ring();
}

} // namespace qta::link
