#pragma once

#include "model/Language.h"

#include <array>
#include <string>

// The texts the device words its own SMS reports with, in the language of the
// programmer at the time of a write.
namespace qta::catalogue {

inline constexpr std::size_t kImageDeviceTextCount = 14;

// The fourteen texts of the ConfigImage in image order (0x4B00 bytes 0..31
// first), as Windows-1250 bytes: the thirteen device texts and, last, the event
// text of code 0. Danish has the English texts.
std::array<std::string, kImageDeviceTextCount> imageDeviceTexts(Language language);

} // namespace qta::catalogue
