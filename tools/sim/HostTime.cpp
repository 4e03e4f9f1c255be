#include "HostTime.h"

#include <algorithm>

namespace qta::sim {

Micros hostNow() {
    static const auto start = std::chrono::steady_clock::now();
    return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now() - start);
}

timespec pollTimeout(Micros due, Micros now, Micros cap) {
    const Micros wait = due <= now ? Micros(0) : std::min(due - now, cap);
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
    return {static_cast<std::time_t>(seconds.count()),
            static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(wait - seconds).count())};
}

} // namespace qta::sim
