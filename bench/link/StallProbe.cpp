#include "StallProbe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace qta::bench {

StallProbe::StallProbe() : schedstat_(::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1);
    QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
    reset();
    timer_.start();
}

StallProbe::~StallProbe() {
    if (schedstat_ >= 0)
        ::close(schedstat_);
}

// "on-CPU ns, waiting-for-a-core ns, timeslices"; zeros when the kernel keeps no such accounts.
StallProbe::Sample StallProbe::sample() const {
    Sample now;
    now.at = BenchClock::now();
    char text[128] = {};
    unsigned long long cpu = 0;
    unsigned long long waiting = 0;
    if (schedstat_ >= 0 && ::pread(schedstat_, text, sizeof text - 1, 0) > 0 &&
        std::sscanf(text, "%llu %llu", &cpu, &waiting) == 2) {
        now.cpu = Millis(static_cast<double>(cpu) / 1e6);
        now.waiting = Millis(static_cast<double>(waiting) / 1e6);
    }
    return now;
}

void StallProbe::reset() {
    last_ = sample();
    longest_ = {};
    busiest_ = {};
}

void StallProbe::fire() {
    const Sample now = sample();
    const Gap gap{now.at - last_.at, now.cpu - last_.cpu, now.waiting - last_.waiting};
    if (gap.wall > longest_.wall)
        longest_ = gap;
    busiest_ = std::max(busiest_, gap.cpu);
    last_ = now;
}

} // namespace qta::bench
