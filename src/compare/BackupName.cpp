#include "BackupName.h"

#include "model/AtomicFile.h"
#include "model/PffFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace qta::compare {
namespace {

std::string safeName(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          c == '+' || c == '-' || c == '_';
        if (keep)
            out += c;
    }
    return out;
}

// The content written whole beside its target, given a name by hard links:
// link() never replaces a file. Removed when it goes out of scope.
class PartFile {
public:
    PartFile(std::string path, const std::string& content)
        : path_(std::move(path)), written_(replaceFileContent(path_, content) == WriteStatus::Written) {}
    ~PartFile() {
        if (written_)
            ::unlink(path_.c_str());
    }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    bool written() const { return written_; }
    // 0 when `name` now holds the content, else errno.
    int linkTo(const std::string& name) const { return ::link(path_.c_str(), name.c_str()) == 0 ? 0 : errno; }

private:
    std::string path_;
    bool written_;
};

// Names tried for one stem before giving up.
constexpr int kLargestSuffix = 1000;

std::string serialized(const Configuration& config) {
    ProfileDocument doc;
    pff::write(config, doc);
    return doc.serialize();
}

} // namespace

std::optional<std::string> heldAccount(const Configuration& config, bool listeningNumber) {
    if (std::string code = safeName(config.text(config.table().id(Family::ObjCodeIN, 1))); !code.empty())
        return code;
    if (listeningNumber) {
        if (std::string number = safeName(config.text(config.table().id(Family::TNLS_, 1))); !number.empty())
            return number;
    }
    return std::nullopt;
}

std::string accountName(const Configuration& config, const AccountRule& rule) {
    if (auto held = heldAccount(config, rule.listeningNumber))
        return *held;
    return safeName(rule.fallback).empty() ? "unknown" : safeName(rule.fallback);
}

std::string fileStamp(const std::tm& when) {
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &when);
    return stamp;
}

std::string stampedFileName(std::string_view account, const std::tm& when) {
    return std::string(account) + "-" + fileStamp(when) + ".pff";
}

std::string saveUnderFreeName(const std::string& stem, const std::string& extension,
                              const std::string& content, std::string& error) {
    const PartFile part(stem + extension + ".part", content);
    if (!part.written()) {
        error = "Unable to write to " + stem + extension;
        return {};
    }
    int reason = EEXIST;
    for (int suffix = 1; suffix <= kLargestSuffix && reason == EEXIST; ++suffix) {
        const std::string name = stem + (suffix == 1 ? "" : "-" + std::to_string(suffix)) + extension;
        reason = part.linkTo(name);
        if (reason == 0)
            return name;
    }
    error = "Unable to write to " + stem + extension + ": " + std::strerror(reason);
    return {};
}

std::optional<std::string> backupFolder(const Environment& environment) {
    const char* data = environment("XDG_DATA_HOME");
    if (data && data[0] == '/')
        return std::string(data) + "/qta710/backups";
    const char* home = environment("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.local/share/qta710/backups";
    return std::nullopt;
}

bool saveNewFile(const Configuration& config, const std::string& path, std::string& error) {
    const std::filesystem::path target(path);
    const PartFile part((target.parent_path() / ("." + target.filename().string() + ".part")).string(),
                        serialized(config));
    if (!part.written()) {
        error = "Unable to write to " + path;
        return false;
    }
    if (const int reason = part.linkTo(path); reason != 0) {
        error = reason == EEXIST ? path + " exists already; a backup is never replaced"
                                 : "Unable to write to " + path + ": " + std::strerror(reason);
        return false;
    }
    return true;
}

std::string saveNewBackup(const Configuration& config, const std::string& folder, const std::tm& when,
                          std::string& error) {
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    if (made) {
        error = "Unable to make the folder " + folder + ": " + made.message();
        return {};
    }
    return saveUnderFreeName(folder + "/" + accountName(config) + "-" + fileStamp(when), ".pff",
                             serialized(config), error);
}

} // namespace qta::compare
