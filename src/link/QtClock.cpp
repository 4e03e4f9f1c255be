#include "QtClock.h"

#include <QTimer>

namespace qta::link {

QtClock::QtClock(QObject* parent) : QObject(parent) {
    elapsed_.start();
}

QtClock::~QtClock() = default; // the timers are children and go with it

Millis QtClock::now() const {
    return Millis(elapsed_.elapsed());
}

Clock::TimerId QtClock::callAfter(Millis delay, std::function<void()> fn) {
    const TimerId id = nextId_++;
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    // The poll runs every 5 ms; a coarse timer would stretch that to the platform's slack.
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, id, timer, fn = std::move(fn)] {
        timers_.erase(id);
        timer->deleteLater();
        fn();
    });
    timers_.emplace(id, timer);
    timer->start(static_cast<int>(std::max<Millis::rep>(delay.count(), 0)));
    return id;
}

void QtClock::cancel(TimerId id) {
    const auto it = timers_.find(id);
    if (it == timers_.end())
        return;
    it->second->stop();
    it->second->deleteLater();
    timers_.erase(it);
}

} // namespace qta::link
