#pragma once

#include "model/Configuration.h"
#include "model/ProfileDocument.h"

#include <string>

namespace qta::cli {

// `device` with every key that `changes` holds set over it; the keys it lacks
// keep the device's values.
Configuration patched(const Configuration& device, const ProfileDocument& changes);
// How many of the program's keys `changes` holds.
int patchKeyCount(const FieldTable& table, const ProfileDocument& changes);
// The whole .pff file of `config`.
std::string pffContent(const Configuration& config);

} // namespace qta::cli
