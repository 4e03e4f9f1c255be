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

// Why none of the device's bridges attached to the machine under `root` ("/"
// except in tests: its sys and dev folders) can be opened, each held by another
// program or not this user's: the first one's reason. Nullopt when one opens,
// and when none is attached: one may still be plugged in, so the search waits.
std::optional<std::string> attachedBridgeProblem(link::Clock& clock, Language language,
                                                 const std::string& root = "/");

} // namespace qta::cli
