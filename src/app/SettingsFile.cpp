#include "SettingsFile.h"

#include "model/AtomicFile.h"
#include "model/ProfileDocument.h"

namespace qta::app {
namespace {

constexpr const char* kSection = "Language";
constexpr const char* kKey = "Lang";

} // namespace

std::string SettingsFile::language() const {
    std::string content;
    if (readWholeFile(path_, content) != ReadStatus::Read)
        return {};
    return ProfileDocument::parse(content).value(kSection, kKey).value_or(std::string());
}

bool SettingsFile::setLanguage(const std::string& code) const {
    std::optional<ProfileDocument> document = ProfileDocument::loadForUpdate(path_);
    if (!document)
        return false;
    document->setValue(kSection, kKey, code);
    return document->saveTo(path_) == WriteStatus::Written;
}

} // namespace qta::app
