// events, status: the device's event records and status report as text.
#include "Cli.h"
#include "log/EventRecord.h"
#include "log/StatusReport.h"

#include <array>
#include <ostream>

namespace qta::cli {
namespace {

constexpr std::array<std::string_view, 1> kOutputOption = {"-o"};

int runEvents(const Context& context, std::span<const std::string> args) {
    const auto parsed = Arguments::parse(args, kOutputOption);
    parsed.expectPositionals(1);
    const std::string output = parsed.option("-o", true);
    const std::string& input = parsed.positional[0];
    const std::string records = readInputFile(input);
    const auto lines = log::decodeEventRecords(records, context.language);
    if (!lines)
        throw Failure{input + ": size " + std::to_string(records.size()) + " is not a multiple of " +
                      std::to_string(log::kEventRecordSize) + " bytes, the size of an event record"};
    writeOutputFile(output, log::eventLogFileContent(*lines));
    return kExitOk;
}

// Indexed by log::Colour and log::OptionBoxes.
constexpr std::array<std::string_view, 3> kColourNames = {"red", "yellow", "green"};
constexpr std::array<std::string_view, 3> kOptionBoxesNames = {"locked", "enabled", "unchanged"};
static_assert(static_cast<int>(log::Colour::Green) == 2 &&
              static_cast<int>(log::OptionBoxes::Unchanged) == 2);

std::string_view colourName(log::Colour colour) {
    return kColourNames[static_cast<std::size_t>(colour)];
}

template <std::size_t N> std::string lamps(const std::array<bool, N>& lit) {
    std::string digits;
    for (const bool on : lit)
        digits += on ? '1' : '0';
    return digits;
}

std::string coloured(const log::ColouredText& text) {
    return text.text + ' ' + std::string(colourName(text.colour));
}

std::string colouredOrUnchanged(const std::optional<log::ColouredText>& text) {
    return text ? coloured(*text) : "unchanged";
}

std::string gaugeOrUnchanged(const std::optional<log::SignalLevel>& gauge) {
    return gauge ? std::to_string(gauge->level) + ' ' + std::string(colourName(gauge->colour)) : "unchanged";
}

int runStatus(const Context& context, std::span<const std::string> args) {
    const auto parsed = Arguments::parse(args, {});
    parsed.expectPositionals(1);
    const std::string& input = parsed.positional[0];
    const std::string report = readInputFile(input);
    if (report.size() != log::kStatusReportSize)
        throw Failure{input + ": size " + std::to_string(report.size()) + ", but a status report has " +
                      std::to_string(log::kStatusReportSize) + " bytes"};
    const log::StatusView view = log::decodeStatusReport(
        log::StatusReportBytes(reinterpret_cast<const unsigned char*>(report.data()), log::kStatusReportSize),
        context.decimalSeparator);
    std::ostream& out = *context.out;
    out << "inputs=" << lamps(view.inputActive) << '\n'
        << "AIN_1=" << view.AIN_1 << '\n'
        << "AIN_2=" << view.AIN_2 << '\n'
        << "MemoPSU=" << coloured(view.MemoPSU) << '\n'
        << "Memo230V=" << colouredOrUnchanged(view.Memo230V) << '\n'
        << "gaugeSIGNAL=" << gaugeOrUnchanged(view.gaugeSIGNAL) << '\n'
        << "editTIME=" << view.editTIME << '\n'
        << "MemoGPRS=" << colouredOrUnchanged(view.MemoGPRS) << '\n'
        << "outputs=" << lamps(view.outputOn) << '\n'
        << "options=" << kOptionBoxesNames[static_cast<std::size_t>(view.optionBoxes)] << '\n';
    return kExitOk;
}

const Registration events({"events", "events RECORDS.bin -o LOG.txt", runEvents});
const Registration status({"status", "status REPORT.bin", runStatus});

} // namespace
} // namespace qta::cli
