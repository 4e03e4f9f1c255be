#pragma once

#include "model/Configuration.h"

#include <string>

namespace qta::cli {

// The whole .pff file of `config`.
std::string pffContent(const Configuration& config);

} // namespace qta::cli
