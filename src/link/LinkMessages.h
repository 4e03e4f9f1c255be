#pragma once

#include "session/LinkView.h"

#include "catalogue/LanguageCatalogue.h"

#include <string>

namespace qta::link {

// The UTF-8 text of a link message in the catalogue's language.
std::string wordMessage(const LinkMessage& message, const catalogue::Messages& texts);

} // namespace qta::link
