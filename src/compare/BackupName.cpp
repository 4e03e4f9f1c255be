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

std::string withSuffix(const std::string& name, int number) {
    if (number == 1)
        return name + ".pff";
    return name + "-" + std::to_string(number) + ".pff";
}

} // namespace

std::string accountName(const Configuration& config, const AccountRule& rule) {
    if (std::string code = safeName(config.text(config.table().id(Family::ObjCodeIN, 1))); !code.empty())
        return code;
    if (rule.listeningNumber) {
        if (std::string number = safeName(config.text(config.table().id(Family::TNLS_, 1))); !number.empty())
            return number;
    }
    return safeName(rule.fallback).empty() ? "unknown" : safeName(rule.fallback);
}

std::string stampedFileName(std::string_view account, const std::tm& when) {
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &when);
    return std::string(account) + "-" + stamp + ".pff";
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
    ProfileDocument doc;
    pff::write(config, doc);
    // Written whole beside the target first; a hard link then gives it its name
    // only if that name is free, so nothing is ever replaced.
    const std::filesystem::path target(path);
    const std::string part = (target.parent_path() / ("." + target.filename().string() + ".part")).string();
    if (replaceFileContent(part, doc.serialize()) != WriteStatus::Written) {
        error = "Unable to write to " + path;
        return false;
    }
    const bool linked = ::link(part.c_str(), path.c_str()) == 0;
    const int reason = errno;
    ::unlink(part.c_str());
    if (!linked) {
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
    const std::string name = stampedFileName(accountName(config), when);
    const std::string stem = name.substr(0, name.size() - 4);
    for (int number = 1; number < 1000; ++number) {
        const std::string path = folder + "/" + withSuffix(stem, number);
        std::error_code ignored;
        if (std::filesystem::exists(std::filesystem::symlink_status(path, ignored)))
            continue;
        if (saveNewFile(config, path, error))
            return path;
        if (std::filesystem::exists(std::filesystem::symlink_status(path, ignored)))
            continue; // taken meanwhile
        return {};
    }
    error = "Unable to find a free name for a backup in " + folder;
    return {};
}

} // namespace qta::compare
