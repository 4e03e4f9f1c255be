#include "FleetReport.h"

#include "model/Cp1250.h"

#include <cstdio>
#include <ostream>

namespace qta::cli {
namespace {

constexpr const char* kResults[] = {"ok", "refused", "verify-failed", "aborted", "timeout"};

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string jsonLine(const FleetResult& r) {
    std::string files;
    for (const std::string& file : r.files)
        files += (files.empty() ? "" : ",") + jsonString(file);
    const auto orNull = [](const std::string& text) {
        return text.empty() ? std::string("null") : jsonString(text);
    };
    return "{\"peer\":" + jsonString(r.peer) + ",\"account\":" + jsonString(cp1250ToUtf8(r.account)) +
           ",\"job\":" + jsonString(r.job) + ",\"result\":" + jsonString(r.result) +
           ",\"transfer\":" + orNull(r.transfer) + ",\"why\":" + orNull(r.why) +
           ",\"seconds\":" + seconds(r.seconds) + ",\"files\":[" + files + "]}";
}

std::string textLine(const FleetResult& r) {
    std::string line = cp1250ToUtf8(r.account) + " " + r.peer + " " + r.job + " " + r.result;
    if (!r.why.empty())
        line += " (" + (r.transfer.empty() ? "" : r.transfer + ": ") + r.why + ")";
    line += " " + seconds(r.seconds) + "s";
    for (const std::string& file : r.files)
        line += " " + file;
    return line;
}

} // namespace

FleetReport::FleetReport(std::ostream& out, std::ostream& err, bool json, bool live)
    : out_(out), err_(err), json_(json), live_(live) {}

// A peer that never said "QTA71P" is no device: it is counted, not listed.
void FleetReport::device(const FleetResult& result) {
    if (!result.identified) {
        ++unidentified_;
        return;
    }
    ++devices_;
    ++byResult_[result.result];
    clearLive();
    out_ << (json_ ? jsonLine(result) : textLine(result)) << std::endl;
}

void FleetReport::refused(const std::string& peer, const std::string& why) {
    clearLive();
    err_ << "qta710-cli: " << peer << " refused: " << why << std::endl;
}

void FleetReport::tick(const link::FleetCounts& counts) {
    if (!live_)
        return;
    err_ << "\r" << counts.running << " connected, " << byResult_["ok"] << " ok, " << failed() << " failed"
         << std::flush;
    liveShown_ = true;
}

void FleetReport::clearLive() {
    if (liveShown_)
        err_ << "\r\033[K" << std::flush;
    liveShown_ = false;
}

void FleetReport::summary(const link::FleetCounts& counts) {
    clearLive();
    if (json_) {
        std::string line = "{\"summary\":{\"devices\":" + std::to_string(devices_);
        for (const char* result : kResults)
            line += ",\"" + std::string(result) + "\":" + std::to_string(byResult_[result]);
        line += ",\"refused-busy\":" + std::to_string(counts.refusedFull) +
                ",\"refused-peer\":" + std::to_string(counts.refusedPeer) +
                ",\"unidentified\":" + std::to_string(unidentified_) + "}}";
        out_ << line << std::endl;
        return;
    }
    out_ << "devices " << devices_;
    for (const char* result : kResults)
        out_ << ", " << result << " " << byResult_[result];
    out_ << "; connections refused while busy " << counts.refusedFull << ", refused from outside --allow "
         << counts.refusedPeer << ", closed unidentified " << unidentified_ << std::endl;
}

} // namespace qta::cli
