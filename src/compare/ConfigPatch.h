#pragma once

#include "model/Configuration.h"
#include "model/ProfileDocument.h"

#include <string>
#include <vector>

// A patch is a partial .pff: only the keys it holds are applied, every other
// setting stays as it was.
namespace qta::compare {

struct PatchResult {
    int applied = 0; // keys found in the patch
    // Keys whose value could not be kept: a list entry behind an empty one, which
    // the list rule empties. Their names, in key order.
    std::vector<std::string> dropped;
    bool anyKey() const { return applied > 0; }
    bool clean() const { return dropped.empty(); }
};

// Applies every key `patch` holds over `config`, as Open reads that key; a key
// absent from the patch leaves its field alone.
PatchResult applyPatch(const ProfileDocument& patch, Configuration& config);

// The patch that turns `from` into `to`: only the keys whose values differ (as
// diff() decides), with `to`'s values, in Save's order.
ProfileDocument makePatch(const Configuration& from, const Configuration& to);

} // namespace qta::compare
