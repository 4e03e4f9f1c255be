#pragma once

#include <optional>
#include <string_view>

namespace qta {

// The four text sets. Danish is English but for its code, title and one caption.
enum class Language { SK, EN, DE, DK };

// "SK", "EN", "DE", "DK": exactly these, letter case included.
std::optional<Language> languageFromCode(std::string_view code);
std::string_view languageCode(Language language);

} // namespace qta
