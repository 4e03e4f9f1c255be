#pragma once

#include <string>

// Names of the controls that are not named prefix + number. The catalogue puts its
// texts on them by these names, and the pages name their controls by them.
namespace qta::catalogue {

// The label in front of entry `position` (1 to 32) of number list `list` (0 to 31, in
// the field table's order of lists): Label10001 onwards, 32 to a list.
std::string numberLabelName(int list, int position);

// The caption of input `input`'s row (1 to 8) on the alarm-centre page: Label2 for
// input 1, Label7 to Label13 for inputs 2 to 8.
std::string arcInputLabelName(int input);

} // namespace qta::catalogue
