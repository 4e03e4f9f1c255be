#pragma once

#include "link/Bridge.h"
#include "model/Language.h"

#include <optional>
#include <string>

namespace qta::cli {

// Why the tty the user named (--port) cannot be opened: held by another program,
// or not this user's to open. Nullopt when it opens, and for a path that does not
// exist yet: the adapter may still be plugged in, so that one is waited for.
// Otherwise the poll would retry the tty until the time-out and the run would end
// as if the device had not answered.
std::optional<std::string> portProblem(link::BridgeDriver& driver, const std::string& path,
                                       Language language);

} // namespace qta::cli
