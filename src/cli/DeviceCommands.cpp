// read, write, log, watch: the device itself, over USB or GPRS.
#include "DeviceCommands.h"
#include "Cli.h"
#include "DeviceSession.h"
#include "InterruptPipe.h"

#include "catalogue/LanguageCatalogue.h"
#include "link/BridgeDrivers.h"
#include "link/DeviceLink.h"
#include "link/LinkMessages.h"
#include "link/NoDeviceDiagnosis.h"
#include "link/PortCheck.h"
#include "link/QtClock.h"
#include "link/TracingBridge.h"
#include "log/EventRecord.h"
#include "model/Cp1250.h"
#include "model/EntryRules.h"
#include "model/PffFile.h"
#include "transfer/TimeFrame.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <algorithm>
#include <array>
#include <csignal>
#include <fstream>
#include <memory>
#include <optional>
#include <unistd.h>

namespace qta::cli {
namespace {

constexpr std::array<std::string_view, 11> kDeviceOptions = {"--port",   "--listen",  "--bind", "--allow",
                                                             "--code",   "-i",        "-o",     "--count",
                                                             "--switch", "--timeout", "--trace"};
constexpr std::array<std::string_view, 2> kTransportFlags = {"--usb", "--gprs"};

constexpr int kGprsPort = 48006;

struct DeviceArguments {
    DeviceSession::Settings settings;
    bool gprs = false;
    int listenPort = kGprsPort;
    link::GprsAccess access;
    std::string port;
    std::string base;
    std::string output;
    std::string input;
    std::string trace;
};

// --bind ADDRESS and each --allow CIDR; a value that is none is a usage error naming it.
link::GprsAccess parseAccess(const Arguments& parsed) {
    link::GprsAccess access;
    for (const std::string& address : parsed.values("--bind")) {
        if (!access.listenAddress.empty())
            throw UsageError{"--bind takes one address"};
        if (!link::PeerFilter::isAddress(address))
            throw UsageError{"--bind takes one IPv4 or IPv6 address: \"" + address + "\""};
        access.listenAddress = address;
    }
    std::string why;
    auto peers = link::PeerFilter::parse(parsed.values("--allow"), why);
    if (!peers)
        throw UsageError{"--allow: " + why};
    access.peers = std::move(*peers);
    return access;
}

DeviceArguments parseDeviceArguments(const Context& context, std::span<const std::string> args,
                                     DeviceSession::Job job) {
    const auto parsed = Arguments::parse(args, kDeviceOptions, kTransportFlags);
    if (parsed.flag("--usb") == parsed.flag("--gprs"))
        throw UsageError{"choose the link: --usb or --gprs"};
    DeviceArguments device;
    device.gprs = parsed.flag("--gprs");
    const auto onlyWith = [&](std::string_view option, const char* link) {
        if (!parsed.values(option).empty())
            throw UsageError{std::string(option) + ": only with " + link};
    };
    if (device.gprs) {
        onlyWith("--port", "--usb");
        onlyWith("--trace", "--usb");
    } else {
        for (const char* option : {"--listen", "--bind", "--allow"})
            onlyWith(option, "--gprs");
    }
    if (const std::string listen = parsed.option("--listen"); !listen.empty())
        device.listenPort = parseNumber(listen, "--listen", 1, 65535);
    device.access = parseAccess(parsed);
    device.settings.job = job;
    device.settings.code = utf8ToCp1250(parsed.option("--code", true));
    device.settings.language = context.language;
    device.settings.decimalSeparator = context.decimalSeparator;
    device.settings.progress = ::isatty(STDERR_FILENO) == 1;
    if (const std::string timeout = parsed.option("--timeout"); !timeout.empty())
        device.settings.timeout = link::Millis(parseNumber(timeout, "--timeout", 1, 86400) * 1000LL);
    device.port = parsed.option("--port");
    device.trace = parsed.option("--trace");
    switch (job) {
    case DeviceSession::Job::Read:
        parsed.expectPositionals(0);
        device.base = parsed.option("-i");
        device.output = parsed.option("-o", true);
        break;
    case DeviceSession::Job::Write:
        parsed.expectPositionals(1);
        device.input = parsed.positional[0];
        break;
    case DeviceSession::Job::EventLog:
        parsed.expectPositionals(0);
        device.output = parsed.option("-o", true);
        break;
    case DeviceSession::Job::Watch:
        parsed.expectPositionals(0);
        if (const std::string count = parsed.option("--count"); !count.empty())
            device.settings.count = parseNumber(count, "--count", 1, 1000000);
        if (const std::string output = parsed.option("--switch"); !output.empty())
            device.settings.switchOutput = parseNumber(output, "--switch", 1, 8);
        break;
    }
    return device;
}

void openOrFail(Configuration& config, const std::string& path) {
    if (const auto result = pff::open(config, path); !result)
        throw Failure{result.message()};
}

// The link's bounds: the user's --timeout for every wait on the device, each a
// little shorter, so that the link ends a quiet step with its own message before
// the run's deadline, which counts from the same moment, ends it without one.
link::LinkOptions linkOptions(const Context& context, const DeviceArguments& device) {
    link::LinkOptions options;
    const link::Millis margin = std::min(device.settings.timeout / 10, link::Millis(500));
    options.stallLimit = device.settings.timeout - margin;
    options.unlockAnswerLimit = device.settings.timeout - margin;
    options.decimalSeparator = context.decimalSeparator;
    options.gprs.listenPort = static_cast<std::uint16_t>(device.listenPort);
    options.gprs.access = device.access;
    options.gprs.closeWait = std::min(options.gprs.closeWait, device.settings.timeout);
    return options;
}

// Runs the link until the session ends; returns its exit status.
int runLink(const Context& context, DeviceArguments& device, Configuration& config,
            const std::function<void(DeviceSession&)>& keep) {
    int argc = 1;
    char name[] = "qta710-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    link::QtClock clock;
    const std::unique_ptr<link::BridgeDriver> system = link::systemBridgeDriver(clock, device.port);
    if (!device.gprs) {
        // A tty named that is not there is said at once: waiting for it looks like a silent device.
        const auto problem = device.port.empty()
                                 ? link::attachedBridgeProblem(clock)
                                 : link::portProblem(*system, device.port, link::MissingPort::Reported);
        if (problem)
            throw Failure{
                link::wordMessage(*problem, catalogue::languageCatalogue(context.language).messages)};
    }
    std::ofstream traceFile;
    std::optional<link::TracingDriver> tracing;
    if (!device.trace.empty()) {
        traceFile.open(device.trace, std::ios::binary | std::ios::trunc);
        if (!traceFile)
            throw Failure{"Unable to write to " + device.trace};
        tracing.emplace(*system, clock, traceFile);
    }
    link::BridgeDriver& driver = tracing ? static_cast<link::BridgeDriver&>(*tracing) : *system;

    int status = kExitFailure;
    link::DeviceLink* running = nullptr;
    bool closing = false;
    DeviceSession session(device.settings, clock, *context.out, *context.err, [&](int code) {
        status = code;
        // Over GPRS the device is asked to end the connection first; the run ends
        // once it has, or after the close wait.
        closing = running && !running->closeWindow([code] { QCoreApplication::exit(code); });
        if (!closing)
            QCoreApplication::exit(code);
    });
    // The search for the USB bridge also says why none is found.
    std::optional<link::NoDeviceDiagnosis> diagnosis;
    if (!device.gprs && device.port.empty())
        diagnosis.emplace(driver, clock, session);
    link::BridgeDriver& searched = diagnosis ? static_cast<link::BridgeDriver&>(*diagnosis) : driver;
    link::DeviceLink deviceLink(config, session, searched, clock, transfer::localDateTime,
                                linkOptions(context, device));
    session.attach(deviceLink);
    running = &deviceLink;

    InterruptPipe interrupts;
    QSocketNotifier interrupted(interrupts.readEnd(), QSocketNotifier::Read);
    // A signal while the device is asked to end the connection (the second Ctrl+C
    // of a cancelled run) stops waiting for it.
    QObject::connect(&interrupted, &QSocketNotifier::activated, &app, [&] {
        interrupts.take();
        if (closing)
            QCoreApplication::exit(status);
        else
            session.interrupt();
    });

    session.begin();
    if (device.gprs) {
        deviceLink.rdbGPRSClick();
        if (deviceLink.gprsPort() == 0)
            return kExitFailure; // the session has told why the port cannot be opened
        if (device.access.openToAll())
            *context.err << "qta710-cli: warning: "
                         << catalogue::languageCatalogue(context.language).messages.msgGprsOpenToAll
                         << " (--bind ADDRESS, --allow CIDR)\n";
    }
    deviceLink.start();
    QCoreApplication::exec();
    if (status == kExitOk)
        keep(session);
    return status;
}

// What would stop the job only at its end, or harm the device, stops it before
// the first byte: an output file that cannot be written, a code the device cannot take.
void checkBeforeTransfer(const Context& context, const DeviceArguments& device, const Configuration& config,
                         DeviceSession::Job job) {
    if (job == DeviceSession::Job::Read) {
        if (const auto result = pff::checkSave(device.output); !result)
            throw Failure{result.message()};
    } else if (job == DeviceSession::Job::EventLog) {
        checkOutputFile(device.output);
    } else if (job == DeviceSession::Job::Write) {
        const catalogue::Messages& texts = catalogue::languageCatalogue(context.language).messages;
        if (!entry::isWritableAccessCode(config.text(config.table().id(Family::Pass))))
            throw Failure{texts.msgBadAccessCode};
        // Warnings only: the values are written as they are.
        for (const WriteWarning& warning : writeWarnings(config))
            *context.err << "qta710-cli: warning: " << link::wordWriteWarning(warning, config, texts) << '\n';
    }
}

} // namespace

std::string linkHelp() {
    return "  --usb                over the device's USB bridge, found by its USB description\n"
           "  --port PATH          with --usb: the tty at PATH instead\n"
           "  --trace FILE         with --usb: every byte in and out, one line per read or write\n"
           "  --gprs               listen for the device to dial in over GPRS\n"
           "  --listen PORT        with --gprs: the TCP port to listen on (48006)\n"
           "  --bind ADDRESS       with --gprs: listen on this local address only (every address)\n"
           "  --allow CIDR         with --gprs: keep only peers from this network (an address: that\n"
           "                       host); repeatable; others are closed before a byte is read\n"
           "  --code CODE          the device's access code\n"
           "  --timeout S          the longest wait for the device without progress (60 s)\n";
}

std::string linkSynopsis() {
    return "(--usb [--port PATH] [--trace FILE] | --gprs [--listen PORT] [--bind ADDRESS] [--allow CIDR]...) "
           "--code CODE [--timeout S]";
}

int runTransfers(const Context& context, std::span<const std::string> args, Configuration& linkConfig,
                 const PlanTransfers& plan) {
    DeviceArguments device = parseDeviceArguments(context, args, DeviceSession::Job::Write);
    plan(device.input, device.settings);
    return runLink(context, device, linkConfig, [](DeviceSession&) {});
}

namespace {

int runDevice(const Context& context, std::span<const std::string> args, DeviceSession::Job job) {
    DeviceArguments device = parseDeviceArguments(context, args, job);
    Configuration config = Configuration::startup(context.decimalSeparator);
    if (!device.base.empty())
        openOrFail(config, device.base);
    if (!device.input.empty())
        openOrFail(config, device.input);
    checkBeforeTransfer(context, device, config, job);
    return runLink(context, device, config, [&](DeviceSession& finished) {
        if (job == DeviceSession::Job::Read) {
            if (const auto result = pff::save(config, device.output); !result)
                throw Failure{result.message()};
        } else if (job == DeviceSession::Job::EventLog) {
            writeOutputFile(device.output, log::eventLogFileContent(finished.eventLines()));
        }
    });
}

const std::string kLinkSynopsis = linkSynopsis();
const std::string kLinkHelp = linkHelp();

const Registration
    readCommand({"read", "read " + kLinkSynopsis + " [-i BASE.pff] -o OUT.pff",
                 [](const Context& c, std::span<const std::string> a) {
                     return runDevice(c, a, DeviceSession::Job::Read);
                 },
                 "Reads the device's configuration and saves it.\n" + kLinkHelp +
                     "  -i BASE.pff          the configuration it is read into (default: the start-up one)\n"
                     "  -o OUT.pff           the file to save into\n"});
const Registration
    writeCommand({"write", "write " + kLinkSynopsis + " [--verify] [--backup OUT.pff] IN.pff",
                  [](const Context& c, std::span<const std::string> a) {
                      if (isCheckedWrite(a))
                          return runCheckedWrite(c, a);
                      return runDevice(c, a, DeviceSession::Job::Write);
                  },
                  "Writes IN.pff into the device, then the computer's date and time. Values the\n"
                  "device is unlikely to work with (an alarm-centre address that is not IPv4, a port\n"
                  "outside 1..65535, numbers over 14 characters) are warned about on standard error\n"
                  "and written as they are.\n" +
                      kLinkHelp +
                      "  --verify             read the device back in the same connection and compare every\n"
                      "                       setting the device holds; exit 5 when it differs (listed on\n"
                      "                       standard error)\n"
                      "  --backup OUT.pff     read the device first and save what it held as the new file\n"
                      "                       OUT.pff; nothing is written when it cannot be saved\n"});
const Registration
    logCommand({"log", "log " + kLinkSynopsis + " -o LOG.txt",
                [](const Context& c, std::span<const std::string> a) {
                    return runDevice(c, a, DeviceSession::Job::EventLog);
                },
                "Reads the device's event log and writes it as the window's event-log Save does.\n" +
                    kLinkHelp + "  -o LOG.txt           the text file\n"});
const Registration
    watchCommand({"watch", "watch " + kLinkSynopsis + " [--count N] [--switch N]",
                  [](const Context& c, std::span<const std::string> a) {
                      return runDevice(c, a, DeviceSession::Job::Watch);
                  },
                  "Prints each status report as status does, until N have come (or Ctrl+C).\n" + kLinkHelp +
                      "  --count N            stop after N reports\n"
                      "  --switch N           send output command N with the first answer: 1 to 4 switch\n"
                      "                       that output off, 5 to 8 switch output N-4 on\n"});

} // namespace
} // namespace qta::cli
