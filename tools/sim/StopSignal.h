#pragma once

namespace qta::sim {

// SIGINT and SIGTERM, turned into a readable descriptor for the poll loop, so
// the program ends its loop and saves the memory instead of dying mid-way.
class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    // Readable once a stop was asked for.
    int fd() const { return pipe_[0]; }
    bool requested() const;

private:
    int pipe_[2] = {-1, -1};
};

} // namespace qta::sim
