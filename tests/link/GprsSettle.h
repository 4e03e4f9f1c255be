#pragma once

#include "TcpPeer.h"

#include "link/GprsLink.h"

#include <functional>

namespace qta::link::test {

// Lets everything happen that can without the manual clock: the connection
// thread, the work it queues for this thread, and the peers (`pull` reads what
// reached them). Once the link has caught up with `served`, its next piece goes out.
void settle(GprsLink& link, const std::function<void()>& pull, TcpPeer* served);

// Real-time waits only for what the connection thread does in real time.
bool waitFor(const std::function<bool()>& done, const std::function<void()>& pull);

} // namespace qta::link::test
