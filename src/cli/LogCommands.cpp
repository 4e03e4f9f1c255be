// events, status: the device's event records and status report as text.
#include "Cli.h"
#include "StatusText.h"
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

int runStatus(const Context& context, std::span<const std::string> args) {
    const auto parsed = Arguments::parse(args, {});
    parsed.expectPositionals(1);
    const std::string& input = parsed.positional[0];
    const std::string report = readInputFile(input);
    if (report.size() != log::kStatusReportSize)
        throw Failure{input + ": size " + std::to_string(report.size()) + ", but a status report has " +
                      std::to_string(log::kStatusReportSize) + " bytes"};
    printStatus(
        *context.out,
        log::decodeStatusReport(log::StatusReportBytes(reinterpret_cast<const unsigned char*>(report.data()),
                                                       log::kStatusReportSize),
                                context.decimalSeparator));
    return kExitOk;
}

const Registration events({"events", "events RECORDS.bin -o LOG.txt", runEvents,
                           "Decodes event records (32 bytes each; empty slots skipped) into the event log's\n"
                           "lines in the --lang language (Windows-1250, CR LF).\n"
                           "  -o LOG.txt  the text file\n"});
const Registration status({"status", "status REPORT.bin", runStatus,
                           "Prints one 21-byte status report as the diagnostics page shows it.\n"});

} // namespace
} // namespace qta::cli
