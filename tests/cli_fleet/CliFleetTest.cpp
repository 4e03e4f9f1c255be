// serve end to end: qta710-cli takes a virtual fleet (qta710-sim --fleet) on a
// free loopback port, with faulty devices, a session limit, a peer filter and
// Ctrl+C.
#include "ChildProcess.h"
#include "CliRunner.h"
#include "DeviceRun.h"

#include "model/Configuration.h"
#include "model/PffFile.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <thread>

namespace qta::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string quoted(const std::string& arg) {
    std::string text = "'";
    for (const char c : arg)
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

// A program whose output and errors go to files, and whose signals reach it.
class Program : public ChildProcess {
public:
    Program(const std::string& path, const Args& args, const std::string& out, const std::string& err)
        : ChildProcess("/bin/sh", {"-c", command(path, args, out, err)}) {}

private:
    static std::string command(const std::string& path, const Args& args, const std::string& out,
                               const std::string& err) {
        std::string text = "exec " + quoted(path);
        for (const std::string& arg : args)
            text += " " + quoted(arg);
        return text + " >" + quoted(out) + " 2>" + quoted(err);
    }
};

// Waits until `path` holds `text`; false after `seconds`.
bool waitForText(const std::string& path, const std::string& text, double seconds = 20) {
    const auto start = std::chrono::steady_clock::now();
    while (secondsSince(start) < seconds) {
        if (fs::exists(path) && readFile(path).find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

// The program's exit status once it has ended by itself, -1 if it has not within about `seconds`.
int exitStatus(ChildProcess& program, int seconds = 60) {
    int status = -1;
    for (int waited = 0; status == -1 && waited < seconds; waited += 5)
        status = program.terminate(0);
    return status;
}

// serve as a program of its own, listening once this returns.
class Server : public Program {
public:
    Server(const Args& args, const TempDir& dir)
        : Program(QTA_CLI_PATH, args, dir / "serve.out", dir / "serve.err"), dir_(dir) {
        EXPECT_TRUE(waitForText(dir / "serve.err", "listening on port")) << readFile(dir / "serve.err");
    }
    std::string out() const { return readFile(dir_ / "serve.out"); }
    std::string err() const { return readFile(dir_ / "serve.err"); }

private:
    const TempDir& dir_;
};

// A virtual fleet dialling in to `port`: quick to identify and report, unpaced
// unless told otherwise, and (unless told) not dialling again within a test.
Args fleet(std::uint16_t port, int count, const Args& extra = {}) {
    return join({{"--connect", "127.0.0.1:" + std::to_string(port), "--fleet", std::to_string(count),
                  "--baud", "0", "--ident-period", "100", "--report-period", "20", "--relock-after", "300",
                  "--reconnect-pause", "60000"},
                 extra});
}

// serve on `port` with the protocol's waits short (and the virtual device's code unless told).
Args serve(std::uint16_t port, const Args& job, const Args& code = {"--code", "6173"}) {
    return join({{"serve", "--gprs", "--listen", std::to_string(port), "--timeout", "2", "--close-delay",
                  "100", "--end-pause", "10"},
                 code,
                 job});
}

// One device's JSON line, its fields as text.
struct Line {
    std::map<std::string, std::string> fields;
    std::vector<std::string> files;
};

std::string field(const std::string& line, const std::string& name) {
    const std::string key = "\"" + name + "\":";
    const auto at = line.find(key);
    if (at == std::string::npos)
        return {};
    const auto start = at + key.size();
    if (line[start] != '"')
        return line.substr(start, line.find_first_of(",}", start) - start);
    return line.substr(start + 1, line.find('"', start + 1) - start - 1);
}

std::vector<Line> deviceLines(const std::string& out) {
    std::vector<Line> lines;
    std::istringstream text(out);
    for (std::string line; std::getline(text, line);) {
        if (line.find("\"peer\"") == std::string::npos)
            continue;
        Line parsed;
        for (const char* name : {"peer", "account", "job", "result", "transfer", "why"})
            parsed.fields[name] = field(line, name);
        const auto open = line.find("\"files\":[") + 9;
        const std::string files = line.substr(open, line.find(']', open) - open);
        for (std::size_t at = files.find('"'); at != std::string::npos;) {
            const std::size_t end = files.find('"', at + 1);
            parsed.files.push_back(files.substr(at + 1, end - at - 1));
            at = files.find('"', end + 1);
        }
        lines.push_back(parsed);
    }
    return lines;
}

std::set<std::string> filesIn(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.insert(entry.path().string());
    return names;
}

std::string textOf(const Configuration& config, const char* name) {
    return config.text(config.table().id(name));
}

TEST(CliFleet, AFleetWithFaultyDevicesIsPatchedVerifiedBackedUpAndLoggedDeviceByDevice) {
    TempDir dir;
    for (const char* sub : {"backup", "log", "memory"})
        fs::create_directory(dir.path() / sub);
    writeFile(dir / "changes.pff", "[8D]\r\nIP_PCO2=10.0.0.9\r\n");
    const std::uint16_t port = freePort();
    Server server(serve(port, {"--patch", dir / "changes.pff", "--verify", "--backup-dir", dir / "backup",
                               "--log-dir", dir / "log", "--count", "20", "--json"}),
                  dir);
    // Each device dials once: a faulty one that failed does not come back within the test.
    Program sim(QTA_SIM_PATH,
                fleet(port, 20, {"--faulty", "0.2", "--drop-after", "100", "--memory-dir", dir / "memory"}),
                dir / "sim.out", dir / "sim.err");
    CliResult run;
    run.exitCode = exitStatus(server);
    run.out = server.out();
    run.err = server.err();
    EXPECT_EQ(run.exitCode, 1) << "four devices failed: " << run.err;
    EXPECT_NE(run.err.find("taking devices from any address"), std::string::npos) << run.err;

    const std::vector<Line> lines = deviceLines(run.out);
    ASSERT_EQ(lines.size(), 20u) << run.out;
    std::set<std::string> patched;
    std::set<std::string> listed;
    for (const Line& line : lines) {
        EXPECT_EQ(line.fields.at("job"), "patch");
        if (line.fields.at("result") != "ok") {
            EXPECT_EQ(line.fields.at("result"), "aborted") << run.out;
            EXPECT_EQ(line.fields.at("transfer"), "read");
            EXPECT_EQ(line.fields.at("why"), "the connection was lost");
            EXPECT_EQ(line.fields.at("account"), line.fields.at("peer")) << "nothing was read to name it by";
            EXPECT_TRUE(line.files.empty()) << "nothing is saved for a device whose read failed";
            continue;
        }
        const std::string& account = line.fields.at("account");
        EXPECT_EQ(account.size(), 4u);
        patched.insert(account);
        ASSERT_EQ(line.files.size(), 2u);
        const std::string& backup = line.files[0];
        EXPECT_EQ(fs::path(backup).parent_path(), dir.path() / "backup");
        EXPECT_TRUE(fs::path(backup).filename().string().starts_with(account + "-")) << backup;
        const Configuration before = openPff(backup);
        EXPECT_EQ(textOf(before, "ObjCodeIN1"), account) << "the backup is this device's own";
        EXPECT_EQ(textOf(before, "IP_PCO2"), "") << "the backup holds what was there before the patch";
        const std::string log = readFile(line.files[1]);
        EXPECT_TRUE(fs::path(line.files[1]).filename().string().starts_with(account + "-"));
        EXPECT_TRUE(!log.empty() && log.ends_with("\r\n"));
        listed.insert(line.files.begin(), line.files.end());
    }
    EXPECT_EQ(patched.size(), 16u) << "every good device has its own account: " << run.out;
    std::set<std::string> saved = filesIn(dir / "backup");
    saved.merge(filesIn(dir / "log"));
    EXPECT_EQ(saved, listed) << "no file but those the good devices' lines name";
    EXPECT_NE(run.out.find("\"summary\":{\"devices\":20,\"ok\":16,"), std::string::npos) << run.out;

    // What each device holds now, as the fleet saves its memories on exit.
    EXPECT_EQ(sim.terminate(), 0);
    int changed = 0;
    for (const auto& image : fs::directory_iterator(dir.path() / "memory")) {
        const std::string account = image.path().stem().string();
        ASSERT_EQ(runCli({"decode", image.path().string(), "-o", dir / (account + ".pff")}).exitCode, 0);
        const Configuration now = openPff(dir / (account + ".pff"));
        const bool wasPatched = patched.contains(account);
        EXPECT_EQ(textOf(now, "IP_PCO2"), wasPatched ? "10.0.0.9" : "") << account;
        EXPECT_EQ(textOf(now, "ObjCodeIN1"), account) << "the rest of the device's memory kept";
        changed += wasPatched ? 1 : 0;
    }
    EXPECT_EQ(changed, 16);
}

TEST(CliFleet, ADeviceBeyondTheSessionLimitIsRefusedAtOnceAndServedWhenItDialsAgain) {
    TempDir dir;
    fs::create_directory(dir.path() / "read");
    // The codes are tried in order, one per identification.
    writeFile(dir / "codes.csv", "# code,site\n1111,old\n\n6173,depot\n");
    const std::uint16_t port = freePort();
    Program sim(QTA_SIM_PATH, fleet(port, 2, {"--reconnect-pause", "200"}), dir / "sim.out", dir / "sim.err");
    const CliResult run = runCli(serve(
        port, {"--read-to", dir / "read", "--max-sessions", "1", "--count", "2", "--allow", "127.0.0.0/8"},
        {"--codes", dir / "codes.csv"}));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find(" refused: all 1 sessions busy"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("any address"), std::string::npos) << "--allow limits the peers";
    EXPECT_NE(run.out.find("devices 2, ok 2,"), std::string::npos) << run.out;
    EXPECT_EQ(filesIn(dir / "read").size(), 2u);

    writeFile(dir / "wrong.csv", "1111\n2222\n");
    const CliResult refused =
        runCli(serve(port, {"--read-to", dir / "read", "--once"}, {"--codes", dir / "wrong.csv"}));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.out.find(" read refused (the device refused every code (2)) "), std::string::npos)
        << refused.out;
    EXPECT_EQ(filesIn(dir / "read").size(), 2u) << "nothing saved for a device that stayed locked";
}

TEST(CliFleet, APeerOutsideTheAllowedNetworksIsClosedBeforeItSaysAWord) {
    TempDir dir;
    fs::create_directory(dir.path() / "read");
    const std::uint16_t port = freePort();
    Program sim(QTA_SIM_PATH, fleet(port, 1, {"--reconnect-pause", "200"}), dir / "sim.out", dir / "sim.err");
    const CliResult run =
        runCli(serve(port, {"--read-to", dir / "read", "--duration", "1", "--allow", "10.9.0.0/16"}));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("127.0.0.1:"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(" refused: outside the allowed networks"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("devices 0,"), std::string::npos) << run.out;
    EXPECT_TRUE(filesIn(dir / "read").empty());
}

TEST(CliFleet, CtrlCLetsTheRunningTransfersFinishEndsEverySessionAndLeavesNoPartialFile) {
    TempDir dir;
    for (const char* sub : {"backup", "log"})
        fs::create_directory(dir.path() / sub);
    writeFile(dir / "changes.pff", "[8D]\r\nIP_PCO2=10.0.0.9\r\n");
    const std::uint16_t port = freePort();
    Server server(serve(port, {"--patch", dir / "changes.pff", "--verify", "--backup-dir", dir / "backup",
                               "--log-dir", dir / "log", "--close-wait", "5"}),
                  dir);
    Program sim(QTA_SIM_PATH, fleet(port, 4, {"--latency", "5", "--verbose"}), dir / "sim.out",
                dir / "sim.err");
    // The first reads are in: the event logs run (each a few seconds with the latency).
    const auto start = std::chrono::steady_clock::now();
    while (filesIn(dir / "backup").empty() && secondsSince(start) < 30)
        std::this_thread::sleep_for(20ms);
    ASSERT_FALSE(filesIn(dir / "backup").empty());
    int status = server.terminate(SIGINT);
    if (status == -1)
        status = exitStatus(server);
    EXPECT_EQ(status, 1) << "the patch was not done: " << server.err();

    const std::string out = server.out();
    std::set<std::string> listed;
    int interrupted = 0;
    std::istringstream text(out);
    for (std::string line; std::getline(text, line);) {
        if (line.find(" patch ") == std::string::npos)
            continue;
        interrupted += line.find(" patch aborted (interrupted) ") != std::string::npos ? 1 : 0;
        for (std::size_t at = line.find(dir.path().string()); at != std::string::npos;
             at = line.find(dir.path().string(), at + 1))
            listed.insert(line.substr(at, line.find(' ', at) - at));
    }
    EXPECT_EQ(interrupted, 4) << out;
    std::set<std::string> saved = filesIn(dir / "backup");
    saved.merge(filesIn(dir / "log"));
    EXPECT_EQ(saved, listed) << "only whole files, each named in its device's line";
    for (const std::string& path : saved) {
        EXPECT_FALSE(path.ends_with(".part")) << path;
        if (path.ends_with(".txt")) {
            EXPECT_TRUE(readFile(path).ends_with("\r\n")) << path;
        }
    }
    EXPECT_NE(out.find("devices 4, ok 0, refused 0, verify-failed 0, aborted 4,"), std::string::npos) << out;

    sim.terminate();
    const std::string simLog = readFile(dir / "sim.err");
    int ended = 0;
    for (std::size_t at = simLog.find(": end of connection"); at != std::string::npos;
         at = simLog.find(": end of connection", at + 1))
        ++ended;
    EXPECT_EQ(ended, 4) << "every device was asked to end its connection: " << simLog;
}

} // namespace
} // namespace qta::test
