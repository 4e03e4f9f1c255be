#include "StallProbe.h"

namespace qta::bench {

StallProbe::StallProbe() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        const BenchClock::time_point now = BenchClock::now();
        longest_ = std::max(longest_, std::chrono::duration<double, std::milli>(now - last_));
        last_ = now;
    });
    reset();
    timer_.start();
}

void StallProbe::reset() {
    last_ = BenchClock::now();
    longest_ = {};
}

} // namespace qta::bench
