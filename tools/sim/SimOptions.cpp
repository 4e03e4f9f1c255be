#include "SimOptions.h"

#include "transfer/ConfigImage.h"

#include <charconv>
#include <set>

namespace qta::sim {
namespace {

template <typename Number> std::optional<Number> number(const std::string& text) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::optional<std::string> nonEmpty(const std::string& text) {
    return text.empty() ? std::nullopt : std::optional(text);
}

std::optional<Micros> period(const std::string& text) {
    const auto ms = number<long>(text);
    return ms && *ms > 0 ? std::optional(Micros(std::chrono::milliseconds(*ms))) : std::nullopt;
}

std::optional<int> baud(const std::string& text) {
    const auto value = number<int>(text);
    return value && *value >= 0 ? value : std::nullopt;
}

// An address of the configuration memory, decimal or hexadecimal with "0x".
std::optional<std::size_t> memoryAddress(const std::string& text) {
    std::size_t value = 0;
    const bool hex = text.starts_with("0x") || text.starts_with("0X");
    const char* begin = text.data() + (hex ? 2 : 0);
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(begin, end, value, hex ? 16 : 10);
    if (begin == end || ec != std::errc() || ptr != end || value >= transfer::kImageSize)
        return std::nullopt;
    return value;
}

std::optional<int> positive(const std::string& text, int most) {
    const auto value = number<int>(text);
    return value && *value > 0 && *value <= most ? value : std::nullopt;
}

std::optional<Micros> millis(const std::string& text, long most) {
    const auto ms = number<long>(text);
    return ms && *ms >= 0 && *ms <= most ? std::optional(Micros(std::chrono::milliseconds(*ms)))
                                         : std::nullopt;
}

std::optional<double> chance(const std::string& text) {
    const auto value = number<double>(text);
    return value && *value >= 0.0 && *value <= 1.0 ? value : std::nullopt;
}

struct HostPort {
    std::string host;
    std::uint16_t port = 0;
};

// HOST:PORT, the host also as [IPv6].
std::optional<HostPort> hostPort(const std::string& text) {
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return std::nullopt;
    const auto port = number<std::uint16_t>(text.substr(colon + 1));
    if (!port || *port == 0)
        return std::nullopt;
    std::string host = text.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    return HostPort{host, *port};
}

// Stores a parsed value; false when the text did not parse.
template <typename Value, typename Field> bool store(const std::optional<Value>& value, Field& field) {
    if (value)
        field = *value;
    return value.has_value();
}

bool storeDestination(const std::optional<HostPort>& value, SimOptions& options) {
    if (value) {
        options.host = value->host;
        options.port = value->port;
    }
    return value.has_value();
}

// clang-format off
const std::set<std::string> kValueOptions = {
    "--link", "--connect", "--memory", "--events", "--ident-period", "--report-period", "--relock-after",
    "--baud", "--seed", "--corrupt-echo", "--silent-after", "--drop-after", "--reconnect-pause",
    "--flip-after-write",
    "--fleet", "--spread", "--latency", "--rate", "--faulty", "--memory-dir",
};
// clang-format on

constexpr int kLargestFleet = 1000;
constexpr long kLongestSpreadS = 3600;
constexpr long kLongestLatencyMs = 60L * 1000;

bool takeFleetValue(const std::string& name, const std::string& v, SimOptions& o) {
    if (name == "--fleet")
        return store(positive(v, kLargestFleet), o.fleet);
    if (name == "--spread") {
        const auto seconds = number<long>(v);
        const bool fits = seconds && *seconds >= 0 && *seconds <= kLongestSpreadS;
        if (fits)
            o.spread = std::chrono::seconds(*seconds);
        return fits;
    }
    if (name == "--latency")
        return store(millis(v, kLongestLatencyMs), o.latency);
    if (name == "--rate")
        return store(positive(v, 1000000), o.rate);
    if (name == "--faulty")
        return store(chance(v), o.faulty);
    if (name == "--memory-dir")
        return store(nonEmpty(v), o.memoryDir);
    return false;
}

// One option with its value; false when the value does not fit.
bool takeValue(const std::string& name, const std::string& v, SimOptions& o) {
    Faults& faults = o.device.faults;
    if (name == "--link")
        return store(nonEmpty(v), o.linkPath);
    if (name == "--connect")
        return storeDestination(hostPort(v), o);
    if (name == "--memory")
        return store(nonEmpty(v), o.memoryFile);
    if (name == "--events")
        return store(nonEmpty(v), o.eventsFile);
    if (name == "--ident-period")
        return store(period(v), o.device.identPeriod);
    if (name == "--report-period")
        return store(period(v), o.device.reportPeriod);
    if (name == "--relock-after")
        return store(period(v), o.device.relockAfter);
    if (name == "--reconnect-pause")
        return store(period(v), o.reconnectPause);
    if (name == "--baud")
        return store(baud(v), o.baud);
    if (name == "--seed")
        return store(number<std::uint64_t>(v), o.device.seed);
    if (name == "--corrupt-echo")
        return store(chance(v), faults.corruptEcho);
    if (name == "--silent-after")
        return store(number<std::size_t>(v), faults.silentAfter);
    if (name == "--drop-after")
        return store(number<std::size_t>(v), faults.dropAfter);
    if (name == "--flip-after-write")
        return store(memoryAddress(v), faults.flipAfterWrite);
    return takeFleetValue(name, v, o);
}

// One option without a value; false when there is no such option.
bool takeFlag(const std::string& name, SimOptions& o) {
    bool* const flag = name == "--garbage"   ? &o.device.faults.garbage
                       : name == "--split"   ? &o.split
                       : name == "--join"    ? &o.join
                       : name == "--verbose" ? &o.verbose
                       : name == "--help"    ? &o.help
                       : name == "--version" ? &o.version
                                             : nullptr;
    if (flag != nullptr)
        *flag = true;
    else if (name == "--lock-failure-options")
        o.device.optionBoxesFree = false;
    return flag != nullptr || name == "--lock-failure-options" || name == "--pty";
}

} // namespace

std::optional<SimOptions> parseSimOptions(std::span<const std::string> args, std::string& error) {
    SimOptions options;
    bool pty = false;
    bool connect = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        pty = pty || arg == "--pty";
        connect = connect || arg == "--connect";
        if (takeFlag(arg, options))
            continue;
        if (!kValueOptions.contains(arg)) {
            error = "unknown option " + arg;
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = arg + " needs a value";
            return std::nullopt;
        }
        if (!takeValue(arg, args[++i], options)) {
            error = "bad value for " + arg + ": " + args[i];
            return std::nullopt;
        }
    }
    if (options.help || options.version)
        return options;
    if (pty == connect) {
        error = "choose one of --pty and --connect HOST:PORT";
        return std::nullopt;
    }
    if (pty && (options.split || options.join)) {
        error = "--split and --join are network faults: use them with --connect";
        return std::nullopt;
    }
    if (connect && !options.linkPath.empty()) {
        error = "--link goes with --pty";
        return std::nullopt;
    }
    if (pty && (options.fleet > 0 || options.latency.count() > 0 || options.rate > 0)) {
        error = "--fleet, --latency and --rate imitate GPRS: use them with --connect";
        return std::nullopt;
    }
    if (options.fleet > 0 && !options.memoryFile.empty()) {
        error = "--memory holds one device: a --fleet makes a memory for each (see --memory-dir)";
        return std::nullopt;
    }
    if (options.fleet == 0 && !options.memoryDir.empty()) {
        error = "--memory-dir goes with --fleet";
        return std::nullopt;
    }
    options.mode = pty ? SimOptions::Mode::Pty : SimOptions::Mode::Connect;
    options.device.transport = pty ? Transport::Serial : Transport::Network;
    return options;
}

std::string simUsage() {
    return R"(Usage: qta710-sim (--pty [--link PATH] | --connect HOST:PORT) [options]

A virtual QTA 710 communicator for trying and testing the programmer without hardware.

Link (choose one):
  --pty                  act as the USB bridge: create a pseudo-terminal and print
                         its slave's path as the first line of standard output
  --link PATH            with --pty: also make PATH a symbolic link to the slave
                         (removed on exit)
  --connect HOST:PORT    act as the GPRS modem: connect to the programmer's server;
                         connect again after a pause when the connection ends

Device:
  --memory FILE          configuration memory (21504 bytes), loaded at start when the
                         file exists and saved back at exit; without it the memory
                         holds the start-up configuration (access code 6173)
  --events FILE          event log (256 records of 32 bytes); without it a
                         plausible log is made up
  --ident-period MS      "QTA71P" this often while locked (500)
  --report-period MS     from an answer to the next status report (250)
  --relock-after MS      unanswered reports for this long lock it again, so that a
                         programmer started afresh finds it identifying (4000)
  --baud B               pace every byte as a serial line at B baud would, both
                         ways (9600; 0 for no pacing)
  --lock-failure-options report byte 17 with bit 7 clear: the programmer then
                         keeps its three failure-report options checked and locked

Faults (reproducible with --seed):
  --seed S               seed of every random choice (1)
  --corrupt-echo P       chance 0..1 per echo that one byte of it is changed
  --silent-after N       N Frames into a transfer the device falls silent for good
  --drop-after N         N Frames into a transfer the device vanishes (the pty is
                         closed and the program ends / the connection is dropped)
  --garbage              noise before each identification and between reports
  --flip-after-write ADDR  once a write has finished, flip the lowest bit of the
                         memory byte at ADDR (0..21503, or 0x0000..0x53FF)
  --split                with --connect: send each unit in several chunks
  --join                 with --connect: send a unit together with the next one
  --reconnect-pause MS   with --connect: wait before connecting again (2000)

Fleet (with --connect):
  --fleet N              N devices in one process, each with a memory of its own:
                         distinct object codes of input 1 and listening numbers,
                         made from --seed
  --spread S             the fleet dials in over S seconds, evenly (0: together)
  --latency MS           one-way delay of every chunk, as a GPRS link (0)
  --rate B               each device's link carries at most B bytes per second
                         each way (default: the --baud pacing)
  --faulty P             the faults above go to this share 0..1 of the fleet,
                         spread evenly over it; the others run clean (1)
  --memory-dir DIR       save each device's memory at exit as DIR/ACCOUNT.img

Other:
  --verbose              one line per notable event on standard error
  --help                 show this text
  --version              show the version
)";
}

} // namespace qta::sim
