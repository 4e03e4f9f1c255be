#pragma once

#include "model/Language.h"

#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qta::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitCodeRefused = 3;
inline constexpr int kExitTimedOut = 4; // or cancelled

// The global options, given before the command.
struct Context {
    char decimalSeparator = '.';
    Language language = Language::EN;
    std::ostream* out = nullptr;
    std::ostream* err = nullptr;
};

// A usage error: main prints it with the usage text and exits with 2.
struct UsageError {
    std::string message;
};

using Handler = std::function<int(const Context&, std::span<const std::string> args)>;

struct Command {
    std::string name;
    std::string synopsis; // shown in the usage text, e.g. "convert IN.pff -o OUT.pff"
    Handler run;
    // What `qta710-cli NAME --help` prints after the synopsis: what the command does
    // and each of its options, one per line, indented by two blanks.
    std::string help;
};

// Each command file registers its commands at start-up:
//   static const qta::cli::Registration reg({"name", "synopsis", handler, "help"});
struct Registration {
    explicit Registration(Command command);
};

const std::vector<Command>& commands();

// Splits a command's arguments into positionals, "-x VALUE" / "--name VALUE"
// options and flags without a value; throws UsageError for an unknown option or
// a missing value.
struct Arguments {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::string> flags;

    static Arguments parse(std::span<const std::string> args, std::span<const std::string_view> knownOptions,
                           std::span<const std::string_view> knownFlags = {});
    bool flag(std::string_view name) const;
    // The value of an option, or empty when absent; `required` throws UsageError when absent.
    std::string option(std::string_view name, bool required = false) const;
    // Every value of an option given more than once, in order.
    std::vector<std::string> values(std::string_view name) const;
    // Exactly `count` positionals, or UsageError.
    void expectPositionals(std::size_t count) const;
};

// The whole number `text` from `low` to `high`, or UsageError naming `option`.
int parseNumber(const std::string& text, std::string_view option, int low, int high);

// Fails the command: main prints "qta710-cli: <message>" and exits with 1.
struct Failure {
    std::string message;
};

// A whole input file, or Failure "Unable to read PATH" (or that it is too large to read).
std::string readInputFile(const std::string& path);
// Replaces PATH with `content` (never half-written), or Failure "Unable to write to PATH"
// (or that PATH is a link that is not followed).
void writeOutputFile(const std::string& path, const std::string& content);
// The Failure writeOutputFile(path, ...) would meet now, for a job that would
// otherwise find it only at its end.
void checkOutputFile(const std::string& path);

// Runs the command line (without the program name); returns the exit code.
int run(std::span<const std::string> argv, std::ostream& out, std::ostream& err);

} // namespace qta::cli
