#pragma once

#include "compare/ConfigDiff.h"
#include "compare/ConfigPatch.h"

#include <iosfwd>
#include <span>

namespace qta::cli {

// One line per difference, "NAME: A-VALUE -> B-VALUE", the values as a .pff holds
// them (in UTF-8, a line break as \r and \n); a forced one says so.
// With `json`, one object per line: {"name", "caption", "a", "b", "forced"}.
void printDifferences(std::ostream& out, std::span<const compare::Difference> differences, bool json);

// Why a patch is refused: the entries it sets behind an empty one, which the list rule would empty.
std::string patchDroppedMessage(const compare::PatchResult& result);

// The differences a verify found, on `err`: a heading line and one line each.
void printVerifyDifferences(std::ostream& err, std::span<const compare::Difference> differences);

} // namespace qta::cli
