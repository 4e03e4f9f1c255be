// The device commands of several transfers in one connection: a write with a
// backup read before it and a verify read after it, a diff with the device, a
// patch of the device.
#include "DeviceCommands.h"
#include "DiffOutput.h"

#include "catalogue/LanguageCatalogue.h"
#include "compare/BackupName.h"
#include "compare/ConfigPatch.h"
#include "compare/ReadBack.h"
#include "model/EntryRules.h"
#include "model/PffFile.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <ostream>

namespace qta::cli {

bool OwnArguments::flag(std::string_view name) const {
    return std::find(flags.begin(), flags.end(), name) != flags.end();
}

std::string OwnArguments::option(std::string_view name) const {
    for (const auto& [key, value] : options) {
        if (key == name)
            return value;
    }
    return {};
}

OwnArguments takeOwnArguments(std::span<const std::string> args, std::span<const std::string_view> flags,
                              std::span<const std::string_view> options) {
    OwnArguments own;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (std::find(flags.begin(), flags.end(), args[i]) != flags.end()) {
            own.flags.push_back(args[i]);
        } else if (std::find(options.begin(), options.end(), args[i]) != options.end()) {
            if (i + 1 >= args.size())
                throw UsageError{args[i] + " needs a value"};
            own.options.emplace_back(args[i], args[i + 1]);
            ++i;
        } else {
            own.rest.push_back(args[i]);
        }
    }
    return own;
}

void openInto(Configuration& config, const std::string& path) {
    if (const auto result = pff::open(config, path); !result)
        throw Failure{result.message()};
}

Configuration openedFile(const Context& context, const std::string& path) {
    Configuration config = Configuration::startup(context.decimalSeparator);
    openInto(config, path);
    return config;
}

bool namesDevice(std::span<const std::string> args) {
    return std::any_of(args.begin(), args.end(),
                       [](const std::string& a) { return a == "--usb" || a == "--gprs"; });
}

namespace {

constexpr std::array<std::string_view, 1> kVerifyFlag = {"--verify"};
constexpr std::array<std::string_view, 1> kBackupOption = {"--backup"};

// What each transfer of a job is for.
enum class Step { Backup, Write, Verify, Compare };

link::TransferKind kindOf(Step step) {
    return step == Step::Write ? link::TransferKind::Write : link::TransferKind::Read;
}

// What the user is told when a transfer fails, beyond the link's own message.
std::string failedNote(Step step) {
    switch (step) {
    case Step::Backup:
        return "the backup could not be read; nothing was written";
    case Step::Write:
        return {};
    case Step::Verify:
        return "the write itself completed; verifying it did not";
    case Step::Compare:
        return {};
    }
    return {};
}

// The configurations a job's reads go into, each of its own, so that no read
// replaces what is being written.
struct ReadTargets {
    Configuration* backup = nullptr;
    Configuration* verify = nullptr;
    Configuration* compare = nullptr;
    Configuration* of(Step step) const {
        return step == Step::Backup    ? backup
               : step == Step::Verify  ? verify
               : step == Step::Compare ? compare
                                       : nullptr;
    }
};

void fillPlan(DeviceSession::Settings& settings, std::vector<Step> steps, ReadTargets targets,
              std::function<std::optional<int>(Step, DeviceSession&)> done) {
    settings.plan.readInto = [steps, targets](std::size_t i) {
        return targets.of(steps[i]);
    };
    for (const Step step : steps)
        settings.plan.transfers.push_back(kindOf(step));
    settings.plan.failedNote = [steps](std::size_t i) {
        return failedNote(steps[i]);
    };
    settings.plan.done = [steps, done = std::move(done)](std::size_t i, DeviceSession& session) {
        return done(steps[i], session);
    };
}

void checkAccessCode(const Context& context, const Configuration& config) {
    if (!entry::isWritableAccessCode(config.text(config.table().id(Family::Pass))))
        throw Failure{catalogue::languageCatalogue(context.language).messages.msgBadAccessCode};
}

// A backup is a new file: it never replaces one, and it must be possible to write.
void checkBackupPath(const std::string& path) {
    std::error_code ignored;
    if (std::filesystem::exists(std::filesystem::symlink_status(path, ignored)))
        throw Failure{path + " exists already; a backup is never replaced"};
    if (const auto result = pff::checkSave(path); !result)
        throw Failure{result.message() + "; nothing was read or written"};
}

// The verify read against what was written: 0, or 5 with the differences on standard error.
int verdictOfVerify(const Context& context, const Configuration& written, const Configuration& readBack,
                    const DeviceSession& session) {
    const auto differences = compare::verifyDifferences(written, readBack, session.failureReportsForced(),
                                                        context.language, context.decimalSeparator);
    if (differences.empty())
        return kExitOk;
    printVerifyDifferences(*context.err, differences);
    return kExitDeviceDiffers;
}

} // namespace

bool isCheckedWrite(std::span<const std::string> args) {
    const OwnArguments own = takeOwnArguments(args, kVerifyFlag, kBackupOption);
    return own.flag("--verify") || !own.option("--backup").empty();
}

int runCheckedWrite(const Context& context, std::span<const std::string> args) {
    const OwnArguments own = takeOwnArguments(args, kVerifyFlag, kBackupOption);
    const std::string backup = own.option("--backup");
    Configuration written = Configuration::startup(context.decimalSeparator); // the link writes this
    Configuration held = written;     // what the device held before, read for the backup
    Configuration readBack = written; // what it holds after, read for the verify
    const auto done = [&](Step step, DeviceSession& session) -> std::optional<int> {
        if (step == Step::Backup) {
            if (std::string error; !compare::saveNewFile(held, backup, error))
                throw Failure{error + "; nothing was written"};
        } else if (step == Step::Verify) {
            return verdictOfVerify(context, written, readBack, session);
        }
        return std::nullopt;
    };
    return runTransfers(context, own.rest, written, [&](const std::string& file, DeviceSession::Settings& s) {
        openInto(written, file);
        checkAccessCode(context, written);
        std::vector<Step> steps;
        if (!backup.empty()) {
            checkBackupPath(backup);
            steps.push_back(Step::Backup);
        }
        steps.push_back(Step::Write);
        if (own.flag("--verify"))
            steps.push_back(Step::Verify);
        readBack = written;
        fillPlan(s, steps, {&held, &readBack, nullptr}, done);
    });
}

int runDeviceDiff(const Context& context, std::span<const std::string> args, bool json,
                  const std::string& patchOut) {
    Configuration file = Configuration::startup(context.decimalSeparator);
    Configuration device = file;
    const auto done = [&](Step, DeviceSession&) -> std::optional<int> {
        const auto differences = compare::diff(device, file, context.language);
        if (!patchOut.empty())
            writeOutputFile(patchOut, compare::makePatch(device, file).serialize());
        printDifferences(*context.out, differences, json);
        return differences.empty() ? kExitOk : kExitFailure;
    };
    return runTransfers(context, args, file, [&](const std::string& path, DeviceSession::Settings& s) {
        openInto(file, path);
        std::error_code failed;
        if (!patchOut.empty() && std::filesystem::equivalent(patchOut, path, failed))
            throw UsageError{"--patch-out must not name the file compared"};
        if (!patchOut.empty())
            checkOutputFile(patchOut);
        fillPlan(s, {Step::Compare}, {nullptr, nullptr, &device}, done);
    });
}

int runDevicePatch(const Context& context, std::span<const std::string> args) {
    Configuration written = Configuration::startup(context.decimalSeparator); // the link writes this
    Configuration held = written;
    Configuration readBack = written;
    ProfileDocument patch;
    // The device's configuration with the patch over it, or the exit status when there is nothing to write.
    const auto patched = [&]() -> std::optional<int> {
        written = held;
        const compare::PatchResult applied = compare::applyPatch(patch, written);
        if (!applied.clean())
            throw Failure{patchDroppedMessage(applied) + "; nothing was written"};
        checkAccessCode(context, written);
        if (compare::diff(held, written, context.language).empty()) {
            *context.err << "qta710-cli: the device holds the patch already; nothing was written\n";
            return kExitOk;
        }
        readBack = written;
        return std::nullopt;
    };
    const auto done = [&](Step step, DeviceSession& session) -> std::optional<int> {
        if (step == Step::Compare)
            return patched();
        if (step == Step::Verify)
            return verdictOfVerify(context, written, readBack, session);
        return std::nullopt;
    };
    return runTransfers(context, args, written, [&](const std::string& path, DeviceSession::Settings& s) {
        patch = ProfileDocument::parse(readInputFile(path));
        if (Configuration probe = written; !compare::applyPatch(patch, probe).anyKey())
            throw Failure{path + " is not a QTA 710 configuration file"};
        fillPlan(s, {Step::Compare, Step::Write, Step::Verify}, {nullptr, &readBack, &held}, done);
    });
}

} // namespace qta::cli
