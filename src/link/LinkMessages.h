#pragma once

#include "session/LinkView.h"

#include "catalogue/LanguageCatalogue.h"
#include "model/WriteWarnings.h"

#include <string>

namespace qta::link {

// The UTF-8 text of a link message in the catalogue's language.
std::string wordMessage(const LinkMessage& message, const catalogue::Messages& texts);

// Why a transfer ended early, without what that leaves behind (UTF-8).
std::string wordTransferEnd(TransferEnd end, int resends, const catalogue::Messages& texts);

// One warning before a write, naming the field, in the catalogue's language (UTF-8;
// the value shown as the Windows-1250 bytes it is, converted).
std::string wordWriteWarning(const WriteWarning& warning, const Configuration& config,
                             const catalogue::Messages& texts);

} // namespace qta::link
