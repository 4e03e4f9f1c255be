#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace qta::app {

// QTA710Plus.ini in the working directory: section "Language", key "Lang", and
// who may connect over GPRS in section "GPRS". The file is opened for each access
// only; writing keeps its other lines.
class SettingsFile {
public:
    explicit SettingsFile(std::string path = "QTA710Plus.ini") : path_(std::move(path)) {}

    // The stored language code, or the empty text when the file, section or key is missing.
    std::string language() const;
    // False when the file cannot be written; the caller carries on.
    bool setLanguage(const std::string& code) const;

    // The files opened or saved last, newest first (section "Recent", keys "File1"
    // to "File8", the paths' bytes as the system spells them).
    static constexpr std::size_t kRecentFiles = 8;
    std::vector<std::string> recentFiles() const;
    // Keeps the first kRecentFiles paths, and blanks the keys of the rest; a path the
    // file's lines could not hold as it is (a line break, blanks or a quote at an
    // end) is left out. False when the file cannot be written.
    bool setRecentFiles(const std::vector<std::string>& paths) const;

    // Section "Safety": whether every Send is verified by reading it back (key
    // "VerifyAfterSend", "1" or "0"), and what a Send to a device not read in its
    // connection does first (key "Backup": "always", "never", else asked).
    enum class BackupPolicy { Ask, Always, Never };
    bool verifyAfterSend() const;
    bool setVerifyAfterSend(bool verify) const;
    BackupPolicy backupPolicy() const;
    bool setBackupPolicy(BackupPolicy policy) const;

    // Who may connect over GPRS, as the user typed it: the listening address
    // (key "Bind") and the allowed networks separated by blanks (key "Allow");
    // empty when missing.
    struct GprsAccessText {
        std::string bind;
        std::string allow;
    };
    GprsAccessText gprsAccess() const;
    bool setGprsAccess(const GprsAccessText& access) const;

private:
    std::string value(const char* section, const char* key) const;
    bool setValues(const char* section,
                   std::initializer_list<std::pair<const char*, std::string>> values) const;

    std::string path_;
};

} // namespace qta::app
