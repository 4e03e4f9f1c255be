#include "Cli.h"

#include "model/AtomicFile.h"
#include "version/Version.h"

#include <algorithm>
#include <clocale>
#include <exception>
#include <ostream>

namespace qta::cli {
namespace {

std::vector<Command>& registry() {
    static std::vector<Command> all;
    return all;
}

// The user's decimal separator from the locale's LC_NUMERIC, leaving the
// process in the "C" locale for everything else.
char localeDecimalSeparator() {
    char separator = '.';
    if (std::setlocale(LC_NUMERIC, "")) {
        const std::lconv* conv = std::localeconv();
        if (conv && conv->decimal_point && (conv->decimal_point[0] == ',' || conv->decimal_point[0] == '.'))
            separator = conv->decimal_point[0];
    }
    std::setlocale(LC_NUMERIC, "C");
    return separator;
}

void printUsage(std::ostream& err) {
    err << "usage: qta710-cli [--decimal-separator ,|.] [--lang EN|SK|DE|DK] COMMAND ...\n"
           "       qta710-cli --help | --version\n"
           "       qta710-cli COMMAND --help\n"
           "commands:\n";
    for (const Command& c : commands())
        err << "  qta710-cli " << c.synopsis << '\n';
}

// The whole help: the usage, what the global options do, the exit statuses.
void printHelp(std::ostream& out) {
    printUsage(out);
    out << "global options, before the command:\n"
           "  --decimal-separator ,|.  the number fields' decimal separator (default: the locale's)\n"
           "  --lang EN|SK|DE|DK       the language of device texts, event texts and messages (default EN)\n"
           "  --help                   this text; after a command, the command's own help\n"
           "  --version                the version\n"
           "exit status:\n"
           "  0  success\n"
           "  1  failure, with a one-line message on standard error\n"
           "  2  a usage error\n"
           "  3  the device refused the access code\n"
           "  4  the device did not answer in time, or the run was cancelled (Ctrl+C, SIGHUP)\n";
}

void printCommandHelp(const Command& command, std::ostream& out) {
    out << "usage: qta710-cli " << command.synopsis << '\n' << command.help;
    if (!command.help.empty() && command.help.back() != '\n')
        out << '\n';
}

char parseSeparator(const std::string& value) {
    if (value != "," && value != ".")
        throw UsageError{"--decimal-separator takes ',' or '.'"};
    return value[0];
}

Language parseLanguage(const std::string& value) {
    if (const auto language = languageFromCode(value))
        return *language;
    throw UsageError{"--lang takes EN, SK, DE or DK"};
}

} // namespace

Registration::Registration(Command command) {
    auto& all = registry();
    all.push_back(std::move(command));
    std::sort(all.begin(), all.end(), [](const Command& a, const Command& b) { return a.name < b.name; });
}

const std::vector<Command>& commands() {
    return registry();
}

Arguments Arguments::parse(std::span<const std::string> args, std::span<const std::string_view> knownOptions,
                           std::span<const std::string_view> knownFlags) {
    Arguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 1 && arg[0] == '-') {
            if (std::find(knownFlags.begin(), knownFlags.end(), arg) != knownFlags.end()) {
                parsed.flags.push_back(arg);
                continue;
            }
            if (std::find(knownOptions.begin(), knownOptions.end(), arg) == knownOptions.end())
                throw UsageError{"unknown option " + arg};
            if (i + 1 >= args.size())
                throw UsageError{arg + " needs a value"};
            parsed.options.emplace_back(arg, args[++i]);
        } else {
            parsed.positional.push_back(arg);
        }
    }
    return parsed;
}

std::string Arguments::option(std::string_view name, bool required) const {
    for (const auto& [key, value] : options) {
        if (key == name)
            return value;
    }
    if (required)
        throw UsageError{std::string(name) + " is required"};
    return {};
}

std::vector<std::string> Arguments::values(std::string_view name) const {
    std::vector<std::string> all;
    for (const auto& [key, value] : options) {
        if (key == name)
            all.push_back(value);
    }
    return all;
}

bool Arguments::flag(std::string_view name) const {
    return std::find(flags.begin(), flags.end(), name) != flags.end();
}

void Arguments::expectPositionals(std::size_t count) const {
    if (positional.size() != count)
        throw UsageError{"expected " + std::to_string(count) + " file argument(s), got " +
                         std::to_string(positional.size())};
}

int parseNumber(const std::string& text, std::string_view option, int low, int high) {
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used == text.size() && value >= low && value <= high)
            return value;
    } catch (const std::exception&) {
    }
    throw UsageError{std::string(option) + " takes a number from " + std::to_string(low) + " to " +
                     std::to_string(high)};
}

std::string readInputFile(const std::string& path) {
    std::string content;
    switch (readWholeFile(path, content)) {
    case ReadStatus::Read:
        return content;
    case ReadStatus::TooLarge:
        throw Failure{tooLargeMessage(path)};
    case ReadStatus::Missing:
    case ReadStatus::Failed:
        break;
    }
    throw Failure{"Unable to read " + path};
}

namespace {

void failUnlessWritten(WriteStatus status, const std::string& path) {
    switch (status) {
    case WriteStatus::Written:
        return;
    case WriteStatus::UnsafeLink:
        throw Failure{unsafeLinkMessage(path)};
    case WriteStatus::Failed:
        break;
    }
    throw Failure{"Unable to write to " + path};
}

} // namespace

void writeOutputFile(const std::string& path, const std::string& content) {
    failUnlessWritten(replaceFileContent(path, content), path);
}

void checkOutputFile(const std::string& path) {
    failUnlessWritten(checkWritable(path), path);
}

int run(std::span<const std::string> argv, std::ostream& out, std::ostream& err) {
    Context context;
    context.out = &out;
    context.err = &err;
    context.decimalSeparator = localeDecimalSeparator();
    try {
        std::size_t i = 0;
        for (; i < argv.size() && argv[i].starts_with("--"); i += 2) {
            if (argv[i] == "--help" || argv[i] == "--version")
                break;
            if (i + 1 >= argv.size())
                throw UsageError{argv[i] + " needs a value"};
            if (argv[i] == "--decimal-separator")
                context.decimalSeparator = parseSeparator(argv[i + 1]);
            else if (argv[i] == "--lang")
                context.language = parseLanguage(argv[i + 1]);
            else
                throw UsageError{"unknown option " + argv[i]};
        }
        if (i < argv.size() && argv[i] == "--help") {
            printHelp(out);
            return kExitOk;
        }
        if (i < argv.size() && argv[i] == "--version") {
            out << "qta710-cli " << kVersion << '\n';
            return kExitOk;
        }
        if (i >= argv.size())
            throw UsageError{"no command given"};
        const auto& all = commands();
        const auto command =
            std::find_if(all.begin(), all.end(), [&](const Command& c) { return c.name == argv[i]; });
        if (command == all.end())
            throw UsageError{"unknown command " + argv[i]};
        const auto args = argv.subspan(i + 1);
        if (std::find(args.begin(), args.end(), "--help") != args.end()) {
            printCommandHelp(*command, out);
            return kExitOk;
        }
        return command->run(context, args);
    } catch (const UsageError& e) {
        err << "qta710-cli: " << e.message << '\n';
        printUsage(err);
        return kExitUsage;
    } catch (const Failure& e) {
        err << "qta710-cli: " << e.message << '\n';
        return kExitFailure;
    } catch (const std::exception& e) {
        err << "qta710-cli: " << e.what() << '\n';
        return kExitFailure;
    }
}

} // namespace qta::cli
