#include "Language.h"

#include <array>
#include <utility>

namespace qta {
namespace {

constexpr std::array<std::pair<Language, std::string_view>, 4> kCodes = {{
    {Language::SK, "SK"},
    {Language::EN, "EN"},
    {Language::DE, "DE"},
    {Language::DK, "DK"},
}};

} // namespace

std::optional<Language> languageFromCode(std::string_view code) {
    for (const auto& [language, text] : kCodes) {
        if (text == code)
            return language;
    }
    return std::nullopt;
}

std::string_view languageCode(Language language) {
    for (const auto& [lang, text] : kCodes) {
        if (lang == language)
            return text;
    }
    return "EN";
}

} // namespace qta
