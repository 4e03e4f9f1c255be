#pragma once

#include "BenchView.h"
#include "CountingDriver.h"

#include "link/DeviceLink.h"
#include "link/FixedPathDriver.h"
#include "link/QtClock.h"
#include "model/Configuration.h"

#include <memory>

namespace qta::bench {

// What one transfer took, from the menu command to its end.
struct TransferRun {
    link::TransferKind kind = link::TransferKind::Write;
    bool finished = false; // ended within the limit
    link::TransferEnd end = link::TransferEnd::Done;
    BenchClock::time_point requested;
    BenchClock::time_point accepted; // the device's acceptance read whole
    BenchClock::time_point ended;
    std::vector<Traffic> traffic; // every byte that crossed meanwhile
};

// The engine as the CLI runs it, without a window, on the real clock and the real
// serial backend opened at a fixed tty, with every byte counted.
class HeadlessLink {
public:
    explicit HeadlessLink(const std::string& ttyPath);
    ~HeadlessLink();

    // Starts the poll and waits until the device has taken the access code and the
    // poll has answered its first StatusReport.
    bool unlock(int limitMs);
    // One menu command, given just after the poll has answered a StatusReport, run
    // to its end.
    TransferRun transfer(link::TransferKind kind, int limitMs);

private:
    link::QtClock clock_;
    link::FixedPathDriver tty_;
    CountingDriver counter_;
    Configuration config_;
    BenchView view_;
    std::unique_ptr<link::DeviceLink> device_;
};

} // namespace qta::bench
