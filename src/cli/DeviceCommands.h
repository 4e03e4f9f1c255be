#pragma once

#include "Cli.h"
#include "DeviceSession.h"

#include "model/Configuration.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qta::cli {

// The link options of the device commands, "(--usb ... | --gprs ...) --code CODE [--timeout S]".
std::string linkSynopsis();
// The help lines of those options.
std::string linkHelp();

// Fills in the transfers of a job, given the one file the command names.
using PlanTransfers = std::function<void(const std::string& file, DeviceSession::Settings& settings)>;

// Runs a job of several transfers in one connection: `args` are the link's options
// and one file; the link reads into and writes from `linkConfig`.
int runTransfers(const Context& context, std::span<const std::string> args, Configuration& linkConfig,
                 const PlanTransfers& plan);

// "write" with --verify or --backup: a read before, a read after, or both.
bool isCheckedWrite(std::span<const std::string> args);
int runCheckedWrite(const Context& context, std::span<const std::string> args);

} // namespace qta::cli

namespace qta::cli {

// The options a command adds to the link's, split off before the link's own are read.
struct OwnArguments {
    std::vector<std::string> flags;
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::string> rest; // everything else, in order
    bool flag(std::string_view name) const;
    std::string option(std::string_view name) const;
};
// Throws UsageError for an option without its value.
OwnArguments takeOwnArguments(std::span<const std::string> args, std::span<const std::string_view> flags,
                              std::span<const std::string_view> options);

// The configuration of a .pff file over the start-up values, or Failure with the reason.
Configuration openedFile(const Context& context, const std::string& path);
// Opens `path` into `config`, or Failure with the reason (`config` then stays as it was).
void openInto(Configuration& config, const std::string& path);

// Whether the arguments choose a device (--usb or --gprs).
bool namesDevice(std::span<const std::string> args);

// "diff (link) FILE.pff": the device read first, then compared with the file
// (device -> file); "patch (link) CHANGES.pff": read, patched, written, verified.
int runDeviceDiff(const Context& context, std::span<const std::string> args, bool json,
                  const std::string& patchOut);
int runDevicePatch(const Context& context, std::span<const std::string> args);

// Exit status when the device holds something else than was written to it.
inline constexpr int kExitDeviceDiffers = 5;

} // namespace qta::cli
