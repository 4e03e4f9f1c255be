#pragma once

#include <filesystem>
#include <string>

// The temporary file a save writes beside its target before renaming it over the
// target. Each is named ".NAME.qta710-XXXXXXXX" and locked (flock) by the save that
// holds it, so a file of that name that nobody holds was left by a save that died
// before its rename (kill -9, a power cut) and may go.
namespace qta::temporary {

// A new, empty file beside `target`, open for writing and locked; its name in
// `name`. -1 when none can be made there (errno tells why).
int create(const std::filesystem::path& target, std::string& name);

// Removes the temporary files of `target` that this user's saves left behind:
// regular files of this user, named as above for this target, that no running
// save holds. Anything else in the folder stays.
void removeStale(const std::filesystem::path& target);

} // namespace qta::temporary
