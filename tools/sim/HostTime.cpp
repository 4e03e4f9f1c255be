#include "HostTime.h"

#include <algorithm>

namespace qta::sim {

Micros hostNow() {
    static const auto start = std::chrono::steady_clock::now();
    return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now() - start);
}

int pollTimeout(Micros due, Micros now, Micros cap) {
    if (due <= now)
        return 0;
    const Micros wait = std::min(due - now, cap);
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count());
}

} // namespace qta::sim
