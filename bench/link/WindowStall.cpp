#include "WindowStall.h"

#include "EventWait.h"
#include "StallProbe.h"

#include "app/TfMain.h"
#include "app/TfRead.h"

#include <QAction>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace qta::bench {
namespace {

constexpr int kPromptLimitMs = 10000;
constexpr int kUnlockLimitMs = 10000;
constexpr int kReadLimitMs = 90000;

bool promptShown(app::TfMain& window) {
    auto* pass = window.transferDialog().findChild<QLineEdit*>(QStringLiteral("Pass"));
    return window.transferDialog().isVisible() && pass && pass->isVisible() && pass->isEnabled();
}

} // namespace

std::optional<WindowStalls> measureWindowStalls(const QString& ptyPath, int idleMs) {
    QTemporaryDir directory; // the window's settings file
    app::LinkSetup setup;
    setup.port = ptyPath.toStdString();
    app::TfMain window(nullptr,
                       app::SettingsFile(directory.filePath(QStringLiteral("QTA710Plus.ini")).toStdString()),
                       setup);
    window.show();
    window.completePages(); // the window's own start is not the link's cost

    if (!waitFor([&] { return promptShown(window); }, kPromptLimitMs)) {
        std::fprintf(stderr, "window: the access-code prompt did not come\n");
        return std::nullopt;
    }
    auto* pass = window.transferDialog().findChild<QLineEdit*>(QStringLiteral("Pass"));
    QTest::keyClicks(pass, QStringLiteral("6173"));
    QTest::keyClick(pass, Qt::Key_Return);
    if (!waitFor([&] { return window.device().state().unlocked && !window.transferDialog().isVisible(); },
                 kUnlockLimitMs)) {
        std::fprintf(stderr, "window: the device was not unlocked\n");
        return std::nullopt;
    }

    WindowStalls stalls;
    StallProbe probe;
    waitFor([] { return false; }, idleMs);
    stalls.idle = probe.longest();
    stalls.idleBusiest = probe.busiest();

    auto* read = window.findChild<QAction*>(QStringLiteral("Nata2"));
    const BenchClock::time_point start = BenchClock::now();
    probe.reset();
    read->trigger();
    stalls.readDone = waitFor([&] { return !window.device().transferRunning(); }, kReadLimitMs) &&
                      !window.device().state().transferAborted;
    stalls.read = probe.longest();
    stalls.readBusiest = probe.busiest();
    stalls.readSeconds = std::chrono::duration<double>(BenchClock::now() - start).count();
    return stalls;
}

} // namespace qta::bench
