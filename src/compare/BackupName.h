#pragma once

#include "model/Configuration.h"

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Names of configuration files kept for a device: the backup taken before a
// write, the files a server keeps for each device.
namespace qta::compare {

// Which settings name the device's file.
struct AccountRule {
    bool listeningNumber = false;     // after the object code, the first listening number
    std::string fallback = "unknown"; // when neither is set
};

// The account a device's files are named by: its object code `ObjCodeIN1`, else
// (when the rule says so) its first listening number `TNLS_1`, else the fallback.
// Only letters, digits, '+', '-' and '_' are kept, so that no value read from a
// file or a device can lead the name out of its folder.
std::string accountName(const Configuration& config, const AccountRule& rule = {});
// The same without a fallback: nullopt when the device holds neither.
std::optional<std::string> heldAccount(const Configuration& config, bool listeningNumber);

// "YYYYmmdd-HHMMSS" for the local time `when`.
std::string fileStamp(const std::tm& when);

// "<account>-<YYYYmmdd-HHMMSS>.pff" for the local time `when`.
std::string stampedFileName(std::string_view account, const std::tm& when);

// The folder of backups: $XDG_DATA_HOME/qta710/backups, or
// $HOME/.local/share/qta710/backups when XDG_DATA_HOME is unset or not absolute.
// `environment` reads a variable (getenv in the program); nullopt when neither is known.
using Environment = std::function<const char*(const char* name)>;
std::optional<std::string> backupFolder(const Environment& environment);

// Saves `config` as a new .pff named stampedFileName(accountName(config), when) in
// `folder` (made if missing), never replacing a file: a name already taken gets
// "-2", "-3", ... before ".pff". The file appears whole or not at all. Returns the
// path, or an empty path and the reason in `error`.
std::string saveNewBackup(const Configuration& config, const std::string& folder, const std::tm& when,
                          std::string& error);

// Saves `content` whole as `<stem><extension>`, or the first of `<stem>-2<extension>`,
// `<stem>-3<extension>`, ... that no file has: a file is never replaced, and none is
// left half-written. Returns the path, or an empty path and the reason in `error`.
std::string saveUnderFreeName(const std::string& stem, const std::string& extension,
                              const std::string& content, std::string& error);

// Saves `config` as the new file `path`, which must not exist yet; false and the
// reason in `error` otherwise. The file appears whole or not at all.
bool saveNewFile(const Configuration& config, const std::string& path, std::string& error);

} // namespace qta::compare
