// diff, patch, export-lists, import-lists: configurations compared, patched and
// their number lists exchanged with a spreadsheet.
#include "Cli.h"
#include "DeviceCommands.h"
#include "DiffOutput.h"

#include "compare/ConfigPatch.h"
#include "compare/ListsCsv.h"
#include "model/PffFile.h"

#include <array>
#include <filesystem>
#include <ostream>

namespace qta::cli {
namespace {

constexpr std::array<std::string_view, 1> kJsonFlag = {"--json"};
constexpr std::array<std::string_view, 1> kPatchOutOption = {"--patch-out"};

// A configuration file for a command whose failure to read is a usage error (diff).
bool openForDiff(const Context& context, Configuration& config, const std::string& path) {
    if (const auto result = pff::open(config, path); !result) {
        *context.err << "qta710-cli: " << result.message() << '\n';
        return false;
    }
    return true;
}

bool namesSameFile(const std::string& a, const std::string& b) {
    std::error_code failed;
    return std::filesystem::equivalent(a, b, failed) && !failed;
}

void writePatch(const Configuration& from, const Configuration& to, const std::string& path) {
    writeOutputFile(path, compare::makePatch(from, to).serialize());
}

constexpr const char* kDiffHelp =
    "Compares two configurations setting by setting, or the device's with a file "
    "(read first); exit 0 same, 1 different, 2 usage or unreadable.";

int runDiff(const Context& context, std::span<const std::string> args) {
    const OwnArguments own = takeOwnArguments(args, kJsonFlag, kPatchOutOption);
    if (namesDevice(own.rest))
        return runDeviceDiff(context, own.rest, own.flag("--json"), own.option("--patch-out"));
    const auto parsed = Arguments::parse(own.rest, {});
    parsed.expectPositionals(2);
    Configuration a = Configuration::startup(context.decimalSeparator);
    Configuration b = a;
    if (!openForDiff(context, a, parsed.positional[0]) || !openForDiff(context, b, parsed.positional[1]))
        return kExitUsage;
    const auto differences = compare::diff(a, b, context.language);
    if (const std::string patchOut = own.option("--patch-out"); !patchOut.empty()) {
        if (namesSameFile(patchOut, parsed.positional[0]) || namesSameFile(patchOut, parsed.positional[1]))
            throw UsageError{"--patch-out must not name one of the files compared"};
        try {
            writePatch(a, b, patchOut);
        } catch (const Failure& failure) {
            *context.err << "qta710-cli: " << failure.message << '\n';
            return kExitUsage; // exit 1 says the files differ
        }
    }
    printDifferences(*context.out, differences, own.flag("--json"));
    return differences.empty() ? kExitOk : kExitFailure;
}

constexpr const char* kPatchHelp =
    "Applies a partial .pff (only some keys) over a configuration, or over the "
    "device's (read, apply, write, verify).";

// The patch file's keys; an empty file is a patch that changes nothing.
ProfileDocument readPatch(const std::string& path, Configuration& probe) {
    const std::string content = readInputFile(path);
    ProfileDocument patch = ProfileDocument::parse(content);
    if (content.find_first_not_of(" \t\r\n") != std::string::npos &&
        !compare::applyPatch(patch, probe).anyKey())
        throw Failure{path + " is not a QTA 710 configuration file"};
    return patch;
}

int runPatch(const Context& context, std::span<const std::string> args) {
    if (namesDevice(args))
        return runDevicePatch(context, args);
    constexpr std::array<std::string_view, 1> options = {"-o"};
    const auto parsed = Arguments::parse(args, options);
    parsed.expectPositionals(2);
    const std::string output = parsed.option("-o", true);
    Configuration config = openedFile(context, parsed.positional[0]);
    Configuration probe = config;
    const ProfileDocument patch = readPatch(parsed.positional[1], probe);
    const compare::PatchResult applied = compare::applyPatch(patch, config);
    if (!applied.clean())
        throw Failure{patchDroppedMessage(applied)};
    if (const auto result = pff::save(config, output); !result)
        throw Failure{result.message()};
    return kExitOk;
}

constexpr const char* kExportHelp =
    "Writes the 32 number lists and the SMS texts as CSV (list,position,value), "
    "UTF-8 with a byte-order mark or Windows-1250, separated by ',' or ';'.";

compare::CsvFormat csvFormat(const Arguments& parsed) {
    compare::CsvFormat format;
    if (const std::string encoding = parsed.option("--encoding"); encoding == "cp1250")
        format.encoding = compare::CsvEncoding::Cp1250;
    else if (!encoding.empty() && encoding != "utf-8")
        throw UsageError{"--encoding takes utf-8 or cp1250"};
    if (const std::string separator = parsed.option("--separator"); separator == ";" || separator == ",")
        format.separator = separator[0];
    else if (!separator.empty())
        throw UsageError{"--separator takes ',' or ';'"};
    return format;
}

int runExportLists(const Context& context, std::span<const std::string> args) {
    constexpr std::array<std::string_view, 3> options = {"-o", "--encoding", "--separator"};
    const auto parsed = Arguments::parse(args, options);
    parsed.expectPositionals(1);
    const std::string output = parsed.option("-o", true);
    const compare::CsvFormat format = csvFormat(parsed);
    Configuration config = openedFile(context, parsed.positional[0]);
    writeOutputFile(output, compare::exportLists(config, format));
    return kExitOk;
}

constexpr const char* kImportHelp =
    "Takes number lists and SMS texts from a CSV into a configuration; refuses "
    "every bad row by name and changes nothing, unless --partial takes the good ones.";

int runImportLists(const Context& context, std::span<const std::string> args) {
    constexpr std::array<std::string_view, 1> options = {"-o"};
    constexpr std::array<std::string_view, 1> flags = {"--partial"};
    const auto parsed = Arguments::parse(args, options, flags);
    parsed.expectPositionals(2);
    const std::string output = parsed.option("-o", true);
    Configuration config = openedFile(context, parsed.positional[0]);
    const std::string csvPath = parsed.positional[1];
    const compare::ImportResult imported =
        compare::importLists(readInputFile(csvPath), config, parsed.flag("--partial"));
    if (!imported.fault.empty())
        throw Failure{csvPath + " is " + imported.fault};
    for (const compare::RefusedRow& row : imported.refused)
        *context.err << "qta710-cli: " << csvPath << ": " << row.message() << '\n';
    if (!imported.refused.empty() && !parsed.flag("--partial")) {
        *context.err << "qta710-cli: " << imported.refused.size() << " rows refused; nothing was imported\n";
        return kExitFailure;
    }
    if (const auto result = pff::save(config, output); !result)
        throw Failure{result.message()};
    return imported.refused.empty() ? kExitOk : kExitFailure;
}

const Registration diffCommand(
    {"diff", "diff [--json] [--patch-out P.pff] (A.pff B.pff | " + linkSynopsis() + " FILE.pff)", runDiff,
     "Compares two configurations setting by setting, or the device (read first) with FILE.pff:\n"
     "one line per difference, NAME: A-VALUE -> B-VALUE, the values as a .pff holds them.\n"
     "Exit status 0 when they are the same, 1 when they differ, 2 for a usage error or a file\n"
     "that cannot be read.\n"
     "  --json               one JSON object per difference: name, caption, a, b, forced\n"
     "  --patch-out P.pff    also write the keys where the second differs, as a patch\n" +
         linkHelp()});
const Registration patchCommand(
    {"patch", "patch (BASE.pff CHANGES.pff -o OUT.pff | " + linkSynopsis() + " CHANGES.pff)", runPatch,
     "Applies a partial .pff (only the keys it holds) over BASE.pff and saves OUT.pff; with a\n"
     "device instead, reads it, applies the keys, writes the result and verifies it (exit 5\n"
     "when the device holds something else).\n"
     "  -o OUT.pff           the file to save into\n" +
         linkHelp()});
const Registration exportCommand(
    {"export-lists", "export-lists IN.pff -o LISTS.csv [--encoding utf-8|cp1250] [--separator ,|;]",
     runExportLists,
     "Writes the 32 number lists and the SMS texts as CSV: list,position,value.\n"
     "  -o LISTS.csv         the file to write\n"
     "  --encoding E         utf-8 (with a byte-order mark, the default) or cp1250\n"
     "  --separator S        , (the default) or ; (what a German or Slovak spreadsheet expects)\n"});
const Registration importCommand(
    {"import-lists", "import-lists BASE.pff LISTS.csv -o OUT.pff [--partial]", runImportLists,
     "Takes the rows of such a CSV into BASE.pff and saves OUT.pff. A row that cannot be taken\n"
     "is named on standard error and nothing is saved (exit 1).\n"
     "  -o OUT.pff           the file to save into\n"
     "  --partial            save the good rows all the same (still exit 1)\n"});

} // namespace
} // namespace qta::cli
