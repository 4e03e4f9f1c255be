#pragma once

#include <string>

namespace qta::app {

// QTA710Plus.ini in the working directory: section "Language", key "Lang". The
// file is opened for each access only; writing keeps its other lines.
class SettingsFile {
public:
    explicit SettingsFile(std::string path = "QTA710Plus.ini") : path_(std::move(path)) {}

    // The stored language code, or the empty text when the file, section or key is missing.
    std::string language() const;
    // False when the file cannot be written; the caller carries on.
    bool setLanguage(const std::string& code) const;

private:
    std::string path_;
};

} // namespace qta::app
