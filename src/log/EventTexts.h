#pragma once

#include "model/Language.h"

#include <string>

namespace qta::log {

// Codes 0 to 133 carry a text; every other code has none.
inline constexpr int kEventTextCount = 134;

// The UTF-8 text that the event log appends for an event code in a language,
// exactly as the device's users know it (typos and trailing blanks included).
// Empty for a code without text. Danish shows the English texts.
std::string eventText(int code, qta::Language language);

} // namespace qta::log
