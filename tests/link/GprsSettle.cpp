#include "GprsSettle.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace qta::link::test {

using namespace std::chrono_literals;

void settle(GprsLink& link, const std::function<void()>& pull, TcpPeer* served) {
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    for (;;) {
        QCoreApplication::processEvents();
        pull();
        const GprsLink::Activity activity = link.activity();
        // A connection that ended is caught up once both ends have seen it go.
        const bool caughtUp =
            !served || (activity.connected ? !served->closed() && activity.bytesIn == served->sent() &&
                                                 activity.bytesOut == served->received().size()
                                           : served->closed());
        if (activity.settled && caughtUp) {
            if (!served || served->closed() || !served->hasPieces())
                return;
            served->sendNextPiece();
            continue;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "the link did not settle";
            return;
        }
        std::this_thread::yield();
    }
}

bool waitFor(const std::function<bool()>& done, const std::function<void()>& pull) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        pull();
        QCoreApplication::processEvents();
        std::this_thread::yield();
    }
    return done();
}

} // namespace qta::link::test
