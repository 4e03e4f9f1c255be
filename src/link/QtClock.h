#pragma once

#include "Clock.h"

#include <QElapsedTimer>
#include <QObject>

#include <unordered_map>

class QTimer;

namespace qta::link {

// The real clock: the monotonic time since start, and precise single-shot QTimers
// on the event loop of the thread that owns it.
class QtClock : public QObject, public Clock {
    Q_OBJECT
public:
    explicit QtClock(QObject* parent = nullptr);
    ~QtClock() override;

    Millis now() const override;
    TimerId callAfter(Millis delay, std::function<void()> fn) override;
    void cancel(TimerId id) override;

private:
    QElapsedTimer elapsed_;
    TimerId nextId_ = 1;
    std::unordered_map<TimerId, QTimer*> timers_;
};

} // namespace qta::link
