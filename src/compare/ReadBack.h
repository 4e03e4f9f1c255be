#pragma once

#include "ConfigDiff.h"

#include <cstdint>
#include <vector>

// Read-back verify: what the device holds after a write, compared with what was written.
namespace qta::compare {

// What a device that stored `written` faithfully gives back when it is read: the
// image's own changes included (object codes padded to four digits, voltages in
// tenths). Fields the image does not carry keep `written`'s values.
Configuration expectedReadBack(const Configuration& written, char decimalSeparator);

// The settings the verify read found otherwise than written, over every field the
// image carries. The failure-reporting boxes are compared as written too; while the
// device reports them forced on, a difference there is marked `forced`.
std::vector<Difference> verifyDifferences(const Configuration& written, const Configuration& readBack,
                                          bool failureReportsForced, Language language,
                                          char decimalSeparator);

// The boxes the status report forces on while it reports them locked.
bool isForcedByDevice(FieldId id);

} // namespace qta::compare
