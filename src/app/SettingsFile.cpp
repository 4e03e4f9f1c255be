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
    std::string content;
    const ReadStatus status = readWholeFile(path_, content);
    if (status == ReadStatus::Failed)
        return false; // an unreadable file is left alone rather than replaced
    ProfileDocument document =
        status == ReadStatus::Read ? ProfileDocument::parse(content) : ProfileDocument();
    document.setValue(kSection, kKey, code);
    return replaceFileContent(path_, document.serialize());
}

} // namespace qta::app
