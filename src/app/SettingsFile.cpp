#include "SettingsFile.h"

#include "model/AtomicFile.h"
#include "model/ProfileDocument.h"

namespace qta::app {
namespace {

constexpr const char* kSection = "Language";
constexpr const char* kKey = "Lang";
constexpr const char* kGprsSection = "GPRS";
constexpr const char* kBindKey = "Bind";
constexpr const char* kAllowKey = "Allow";
constexpr const char* kRecentSection = "Recent";
constexpr const char* kSafetySection = "Safety";
constexpr const char* kVerifyKey = "VerifyAfterSend";
constexpr const char* kBackupKey = "Backup";
constexpr const char* kAlways = "always";
constexpr const char* kNever = "never";

std::string recentKey(std::size_t index) {
    return "File" + std::to_string(index + 1);
}

// Reading trims blanks and one pair of quotes, and a line ends a value.
bool storable(const std::string& path) {
    const auto awkward = [](char c) {
        return c == ' ' || c == '\t' || c == '"' || c == '\'';
    };
    return !path.empty() && path.find_first_of("\r\n") == std::string::npos && !awkward(path.front()) &&
           !awkward(path.back());
}

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
    return value(kSection, kKey);
}

bool SettingsFile::setLanguage(const std::string& code) const {
    return setValues(kSection, {{kKey, code}});
}

bool SettingsFile::verifyAfterSend() const {
    return value(kSafetySection, kVerifyKey) == "1";
}

bool SettingsFile::setVerifyAfterSend(bool verify) const {
    return setValues(kSafetySection, {{kVerifyKey, verify ? "1" : "0"}});
}

SettingsFile::BackupPolicy SettingsFile::backupPolicy() const {
    const std::string stored = value(kSafetySection, kBackupKey);
    if (stored == kAlways)
        return BackupPolicy::Always;
    if (stored == kNever)
        return BackupPolicy::Never;
    return BackupPolicy::Ask;
}

bool SettingsFile::setBackupPolicy(BackupPolicy policy) const {
    switch (policy) {
    case BackupPolicy::Always:
        return setValues(kSafetySection, {{kBackupKey, kAlways}});
    case BackupPolicy::Never:
        return setValues(kSafetySection, {{kBackupKey, kNever}});
    case BackupPolicy::Ask:
        break;
    }
    return setValues(kSafetySection, {{kBackupKey, "ask"}});
}

SettingsFile::GprsAccessText SettingsFile::gprsAccess() const {
    return {value(kGprsSection, kBindKey), value(kGprsSection, kAllowKey)};
}

bool SettingsFile::setGprsAccess(const GprsAccessText& access) const {
    return setValues(kGprsSection, {{kBindKey, access.bind}, {kAllowKey, access.allow}});
}

std::vector<std::string> SettingsFile::recentFiles() const {
    std::string content;
    if (readWholeFile(path_, content) != ReadStatus::Read)
        return {};
    const ProfileDocument document = ProfileDocument::parse(content);
    std::vector<std::string> paths;
    for (std::size_t k = 0; k < kRecentFiles; ++k) {
        std::string path = document.value(kRecentSection, recentKey(k)).value_or(std::string());
        if (!path.empty())
            paths.push_back(std::move(path));
    }
    return paths;
}

bool SettingsFile::setRecentFiles(const std::vector<std::string>& paths) const {
    std::optional<ProfileDocument> document = ProfileDocument::loadForUpdate(path_);
    if (!document)
        return false;
    std::size_t stored = 0;
    for (const std::string& path : paths) {
        if (stored < kRecentFiles && storable(path))
            document->setValue(kRecentSection, recentKey(stored++), path);
    }
    for (; stored < kRecentFiles; ++stored)
        document->setValue(kRecentSection, recentKey(stored), "");
    return document->saveTo(path_) == WriteStatus::Written;
}

} // namespace qta::app
