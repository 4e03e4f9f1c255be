#pragma once

#include <initializer_list>
#include <string>
#include <utility>

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
