// defaults, new, convert: the Configuration to and from .pff files.
#include "Cli.h"
#include "model/PffFile.h"

#include <array>

namespace qta::cli {
namespace {

constexpr std::array<std::string_view, 1> kOutputOption = {"-o"};

void saveOrFail(const Configuration& config, const std::string& path) {
    if (const auto result = pff::save(config, path); !result)
        throw Failure{result.message()};
}

int runDefaults(const Context& context, std::span<const std::string> args) {
    const auto parsed = Arguments::parse(args, kOutputOption);
    parsed.expectPositionals(0);
    saveOrFail(Configuration::startup(context.decimalSeparator), parsed.option("-o", true));
    return kExitOk;
}

int runNew(const Context& context, std::span<const std::string> args) {
    const auto parsed = Arguments::parse(args, kOutputOption);
    parsed.expectPositionals(0);
    Configuration config = Configuration::startup(context.decimalSeparator);
    config.applyNew();
    saveOrFail(config, parsed.option("-o", true));
    return kExitOk;
}

int runConvert(const Context& context, std::span<const std::string> args) {
    const auto parsed = Arguments::parse(args, kOutputOption);
    parsed.expectPositionals(1);
    const std::string output = parsed.option("-o", true);
    Configuration config = Configuration::startup(context.decimalSeparator);
    if (const auto result = pff::open(config, parsed.positional[0]); !result)
        throw Failure{result.message()};
    saveOrFail(config, output);
    return kExitOk;
}

const Registration defaults({"defaults", "defaults -o OUT.pff", runDefaults,
                             "Saves the start-up configuration.\n"
                             "  -o OUT.pff  the file to save into (created, or updated in place)\n"});
const Registration fresh({"new", "new -o OUT.pff", runNew,
                          "Saves the configuration after File > New (factory values).\n"
                          "  -o OUT.pff  the file to save into (created, or updated in place)\n"});
const Registration convert({"convert", "convert IN.pff -o OUT.pff", runConvert,
                            "Opens IN.pff and saves it again.\n"
                            "  -o OUT.pff  the file to save into (created, or updated in place)\n"});

} // namespace
} // namespace qta::cli
