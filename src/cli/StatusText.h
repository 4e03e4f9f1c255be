#pragma once

#include "log/StatusReport.h"

#include <iosfwd>

namespace qta::cli {

// A StatusReport as the diagnostics page shows it, one "control=value" line each.
void printStatus(std::ostream& out, const log::StatusView& view);

} // namespace qta::cli
