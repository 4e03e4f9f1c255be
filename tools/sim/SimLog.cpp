#include "SimLog.h"

#include "HostTime.h"

#include <cstdio>

namespace qta::sim {

void SimLog::operator()(const std::string& line) const {
    if (!verbose_)
        return;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(hostNow()).count();
    std::fprintf(stderr, "qta710-sim %6lld.%03lld %s\n", static_cast<long long>(ms / 1000),
                 static_cast<long long>(ms % 1000), line.c_str());
}

void SimLog::error(const std::string& line) {
    std::fprintf(stderr, "qta710-sim: %s\n", line.c_str());
}

} // namespace qta::sim
