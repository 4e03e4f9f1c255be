#pragma once

#include "model/FieldTable.h"
#include "model/Language.h"

#include <string>

namespace qta::compare {

// Where a setting stands in the window, in the user's language (UTF-8), built
// from the catalogue's captions: page, sub-page, group and the label of its row,
// or its list position for a list entry: "Digit. inputs, 3 .input, Phone numbers
// for voice messages, 17. num.". A control without a caption of its own is named
// by its hint.
std::string fieldCaption(FieldId id, Language language);

} // namespace qta::compare
