#pragma once

#include "JsonText.h"

#include "FleetJob.h"

#include "link/FleetServer.h"

#include <iosfwd>
#include <map>
#include <string>

namespace qta::cli {

// serve's output: one line per device as it finishes (or one JSON object per
// line), the summary at the end, and a live count on standard error while it is
// a terminal.
class FleetReport {
public:
    FleetReport(std::ostream& out, std::ostream& err, bool json, bool live);

    void device(const FleetResult& result);
    void refused(const std::string& peer, const std::string& why);
    // The live count, at most once a second.
    void tick(const link::FleetCounts& counts);
    void summary(const link::FleetCounts& counts);

    int devices() const { return devices_; }
    int failed() const { return devices_ - byResult_["ok"]; }

private:
    void clearLive();

    std::ostream& out_;
    std::ostream& err_;
    bool json_;
    bool live_;
    bool liveShown_ = false;
    int devices_ = 0;
    int unidentified_ = 0;
    mutable std::map<std::string, int> byResult_;
};

} // namespace qta::cli
