#include "SettingsFile.h"

#include "model/AtomicFile.h"
#include "model/ProfileDocument.h"

namespace qta::app {
namespace {

constexpr const char* kLanguageSection = "Language";
constexpr const char* kLanguageKey = "Lang";
constexpr const char* kGprsSection = "GPRS";
constexpr const char* kBindKey = "Bind";
constexpr const char* kAllowKey = "Allow";

} // namespace

std::string SettingsFile::value(const char* section, const char* key) const {
    std::string content;
    if (readWholeFile(path_, content) != ReadStatus::Read)
        return {};
    return ProfileDocument::parse(content).value(section, key).value_or(std::string());
}

bool SettingsFile::setValues(const char* section,
                             std::initializer_list<std::pair<const char*, std::string>> values) const {
    std::optional<ProfileDocument> document = ProfileDocument::loadForUpdate(path_);
    if (!document)
        return false;
    for (const auto& [key, value] : values)
        document->setValue(section, key, value);
    return document->saveTo(path_) == WriteStatus::Written;
}

std::string SettingsFile::language() const {
    return value(kLanguageSection, kLanguageKey);
}

bool SettingsFile::setLanguage(const std::string& code) const {
    return setValues(kLanguageSection, {{kLanguageKey, code}});
}

SettingsFile::GprsAccessText SettingsFile::gprsAccess() const {
    return {value(kGprsSection, kBindKey), value(kGprsSection, kAllowKey)};
}

bool SettingsFile::setGprsAccess(const GprsAccessText& access) const {
    return setValues(kGprsSection, {{kBindKey, access.bind}, {kAllowKey, access.allow}});
}

} // namespace qta::app
