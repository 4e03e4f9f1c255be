#pragma once

#include <string>

namespace qta::sim {

// The verbose log on standard error: one line per notable event, with the time
// since start, or nothing.
class SimLog {
public:
    explicit SimLog(bool verbose) : verbose_(verbose) {}
    void operator()(const std::string& line) const;
    // Always shown: the program cannot go on as asked.
    static void error(const std::string& line);

private:
    bool verbose_;
};

} // namespace qta::sim
