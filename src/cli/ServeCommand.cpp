// serve: a fleet of devices over GPRS, each backed up, changed, verified and logged.
#include "Cli.h"
#include "FleetFiles.h"
#include "FleetJob.h"
#include "FleetPatch.h"
#include "FleetReport.h"
#include "InterruptPipe.h"

#include "catalogue/LanguageCatalogue.h"
#include "compare/ConfigPatch.h"
#include "link/FleetServer.h"
#include "model/Cp1250.h"
#include "model/EntryRules.h"
#include "model/PffFile.h"

#include <array>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <unistd.h>

namespace qta::cli {
namespace {

constexpr std::array<std::string_view, 17> kServeOptions = {
    "--listen",  "--code",       "--codes",           "--max-sessions", "--write",    "--patch",
    "--read-to", "--log-dir",    "--backup-dir",      "--count",        "--duration", "--allow",
    "--timeout", "--close-wait", "--identify-within", "--close-delay",  "--end-pause"};
constexpr std::array<std::string_view, 4> kServeFlags = {"--gprs", "--verify", "--json", "--once"};
constexpr int kMostCodes = 100;
constexpr int kLargestFleet = 10000;
constexpr int kLongestWaitS = 86400;

// One code per line (its first field, when the line has several); empty lines
// and lines starting with '#' are skipped.
std::vector<std::string> readCodes(const std::string& path) {
    std::istringstream lines(readInputFile(path));
    std::vector<std::string> codes;
    for (std::string line; std::getline(lines, line);) {
        line = line.substr(0, line.find_first_of(",;\t\r"));
        const auto first = line.find_first_not_of(" \"");
        const auto last = line.find_last_not_of(" \"");
        if (first == std::string::npos || line[first] == '#')
            continue;
        codes.push_back(utf8ToCp1250(line.substr(first, last - first + 1)));
        if (codes.size() > static_cast<std::size_t>(kMostCodes))
            throw Failure{path + ": more than " + std::to_string(kMostCodes) + " codes"};
    }
    if (codes.empty())
        throw Failure{path + ": no codes"};
    return codes;
}

std::string folder(const Arguments& parsed, std::string_view option) {
    const std::string dir = parsed.option(option);
    if (!dir.empty() && (!std::filesystem::is_directory(dir) || ::access(dir.c_str(), W_OK | X_OK) != 0))
        throw Failure{"Unable to write to " + dir};
    return dir;
}

void refuseUnwritableCode(const Configuration& target, Language language) {
    if (!entry::isWritableAccessCode(target.text(target.table().id(Family::Pass))))
        throw Failure{catalogue::languageCatalogue(language).messages.msgBadAccessCode};
}

FleetJobSettings jobSettings(const Context& context, const Arguments& parsed) {
    FleetJobSettings job;
    job.language = context.language;
    job.decimalSeparator = context.decimalSeparator;
    const std::string write = parsed.option("--write");
    const std::string patch = parsed.option("--patch");
    job.readDir = folder(parsed, "--read-to");
    if (int(!write.empty()) + int(!patch.empty()) + int(!job.readDir.empty()) != 1)
        throw UsageError{"choose one job: --write IN.pff, --patch CHANGES.pff or --read-to DIR"};
    const Configuration startup = Configuration::startup(context.decimalSeparator);
    if (!write.empty()) {
        job.kind = FleetJobSettings::Kind::Write;
        job.written = startup;
        if (const auto result = pff::open(*job.written, write); !result)
            throw Failure{result.message()};
        refuseUnwritableCode(*job.written, context.language);
    } else if (!patch.empty()) {
        job.kind = FleetJobSettings::Kind::Patch;
        job.changes = ProfileDocument::parse(readInputFile(patch));
        Configuration probe = startup;
        if (!compare::applyPatch(*job.changes, probe).anyKey())
            throw Failure{patch + ": holds none of the program's keys"};
        refuseUnwritableCode(probe, context.language);
    } else {
        job.kind = FleetJobSettings::Kind::ReadTo;
        if (parsed.flag("--verify"))
            throw UsageError{"--verify goes with --write or --patch"};
    }
    const std::string code = parsed.option("--code");
    const std::string codes = parsed.option("--codes");
    if (code.empty() == codes.empty())
        throw UsageError{"give the access code: --code CODE or --codes FILE.csv"};
    job.codes = codes.empty() ? std::vector{utf8ToCp1250(code)} : readCodes(codes);
    job.verify = parsed.flag("--verify");
    job.logDir = folder(parsed, "--log-dir");
    job.backupDir = folder(parsed, "--backup-dir");
    return job;
}

link::Millis secondsOption(const Arguments& parsed, std::string_view option, link::Millis fallback) {
    const std::string text = parsed.option(option);
    return text.empty() ? fallback : link::Millis(parseNumber(text, option, 1, kLongestWaitS) * 1000LL);
}

// The protocol's waits: tests and slow networks set them.
link::FleetSettings serverSettings(const Context& context, const Arguments& parsed) {
    link::FleetSettings settings;
    settings.decimalSeparator = context.decimalSeparator;
    if (const std::string listen = parsed.option("--listen"); !listen.empty())
        settings.gprs.listenPort = static_cast<std::uint16_t>(parseNumber(listen, "--listen", 0, 65535));
    if (const std::string most = parsed.option("--max-sessions"); !most.empty())
        settings.maxSessions = parseNumber(most, "--max-sessions", 1, kLargestFleet);
    settings.session.stallLimit = secondsOption(parsed, "--timeout", settings.session.stallLimit);
    settings.session.unlockAnswerLimit = settings.session.stallLimit;
    settings.closeWait = secondsOption(parsed, "--close-wait", settings.closeWait);
    settings.gprs.closeWait = settings.closeWait;
    settings.gprs.unlockLimit = secondsOption(parsed, "--identify-within", settings.gprs.unlockLimit);
    if (const std::string delay = parsed.option("--close-delay"); !delay.empty())
        settings.gprs.closeDelay = link::Millis(parseNumber(delay, "--close-delay", 0, 60000));
    if (const std::string pause = parsed.option("--end-pause"); !pause.empty())
        settings.gprs.transferEndPause = link::Millis(parseNumber(pause, "--end-pause", 0, 60000));
    std::vector<std::string> networks;
    for (const auto& [name, value] : parsed.options) {
        if (name == "--allow")
            networks.push_back(value);
    }
    std::string why;
    settings.allowed = link::PeerFilter::parse(networks, why);
    if (!settings.allowed)
        throw UsageError{"--allow: " + why};
    if (settings.allowed->allowsAll())
        *context.err << "qta710-cli: no --allow given: taking devices from any address\n";
    return settings;
}

// When the run ends by itself: --once, --count N, --duration S.
struct RunBounds {
    int count = 0;
    link::Millis duration{0};
};

RunBounds runBounds(const Arguments& parsed) {
    RunBounds bounds;
    if (parsed.flag("--once"))
        bounds.count = 1;
    if (const std::string count = parsed.option("--count"); !count.empty())
        bounds.count = parseNumber(count, "--count", 1, 1000000);
    bounds.duration = secondsOption(parsed, "--duration", link::Millis(0));
    return bounds;
}

// Ticks the live count once a second for as long as the run lasts.
void keepTicking(link::OneShot& ticker, FleetReport& report, link::FleetServer& server) {
    ticker.start(link::Millis(1000), [&] {
        report.tick(server.counts());
        keepTicking(ticker, report, server);
    });
}

int serve(const Context& context, std::span<const std::string> args) {
    const auto parsed = Arguments::parse(args, kServeOptions, kServeFlags);
    if (!parsed.flag("--gprs"))
        throw UsageError{"serve takes devices over GPRS: give --gprs"};
    parsed.expectPositionals(0);
    const FleetJobSettings job = [&] {
        FleetJobSettings settings = jobSettings(context, parsed);
        settings.closeWait = secondsOption(parsed, "--close-wait", settings.closeWait);
        return settings;
    }();
    const RunBounds bounds = runBounds(parsed);
    FleetReport report(*context.out, *context.err, parsed.flag("--json"), ::isatty(STDERR_FILENO) == 1);
    FleetFiles files;
    link::FleetServer* running = nullptr;
    link::FleetServer server(
        serverSettings(context, parsed),
        [&](const std::string& peer) {
            return std::make_unique<FleetJob>(job, peer, files, [&](const FleetResult& result) {
                report.device(result);
                if (bounds.count > 0 && report.devices() >= bounds.count && running)
                    running->stopTaking();
            });
        },
        [&](const std::string& peer, const std::string& why) { report.refused(peer, why); });
    running = &server;
    std::string error;
    if (!server.listen(error))
        throw Failure{"cannot listen: " + error};
    *context.err << "qta710-cli: listening on port " << server.port() << std::endl;

    link::OneShot ticker(server.clock());
    keepTicking(ticker, report, server);
    link::OneShot deadline(server.clock());
    if (bounds.duration.count() > 0)
        deadline.start(bounds.duration, [&] { server.stop(); });
    InterruptPipe interrupts;
    server.run(interrupts.readEnd());
    ticker.stop();
    report.summary(server.counts());
    return report.failed() == 0 ? kExitOk : kExitFailure;
}

const Registration serveCommand(
    {"serve",
     "serve --gprs [--listen PORT] (--code CODE | --codes FILE.csv) (--write IN.pff | --patch CHANGES.pff | "
     "--read-to DIR) [--verify] [--log-dir DIR] [--backup-dir DIR] [--max-sessions N] [--allow CIDR]... "
     "[--json] [--once | --count N] [--duration S] [--timeout S] [--close-wait S] [--identify-within S] "
     "[--close-delay MS] [--end-pause MS]",
     serve,
     "Listens for devices that dial in over GPRS and runs the job on each, up to N at once;\n"
     "one result line per device on standard output, a summary at the end. Exit 0 when every\n"
     "device that connected succeeded, 1 when any failed.\n"
     "  --gprs               the devices dial in over GPRS (the only transport of serve)\n"
     "  --listen PORT        the TCP port to listen on (48006; 0 takes any free port)\n"
     "  --code CODE          the access code of every device\n"
     "  --codes FILE.csv     codes tried in order, one a line (the first field of a CSV line)\n"
     "  --write IN.pff       write IN into each device\n"
     "  --patch CHANGES.pff  read each device, set the keys CHANGES holds, write the result\n"
     "  --read-to DIR        only read each device and save its configuration in DIR\n"
     "  --verify             read back after the write and compare every setting\n"
     "  --log-dir DIR        save each device's event log in DIR\n"
     "  --backup-dir DIR     save what each device held before anything was written\n"
     "  --max-sessions N     devices served at once (64); one more is closed at once\n"
     "  --allow CIDR         keep only peers from this network; repeatable\n"
     "  --json               one JSON object per device instead of a line\n"
     "  --once, --count N    stop taking devices after the first or N results\n"
     "  --duration S         stop taking devices after S seconds, as Ctrl+C does\n"
     "  --timeout S          the longest wait for a device without progress (10 s)\n"
     "  --close-wait S       after Ctrl+C, the wait for running transfers and each device's end\n"
     "  --identify-within S  a peer not unlocked this long after it connected is closed (60 s)\n"
     "  --close-delay MS, --end-pause MS\n"
     "                       the protocol's pauses, shortened by tests\n"});

} // namespace
} // namespace qta::cli
