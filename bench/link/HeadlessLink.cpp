#include "HeadlessLink.h"

#include "EventWait.h"

#include "transfer/TimeFrame.h"

namespace qta::bench {

HeadlessLink::HeadlessLink(const std::string& ttyPath)
    : tty_(clock_, ttyPath), counter_(tty_), config_(Configuration::startup('.')),
      view_("6173", [this](const std::string& code) { device_->submitAccessCode(code); }),
      device_(std::make_unique<link::DeviceLink>(config_, view_, counter_, clock_, transfer::localDateTime)) {
}

HeadlessLink::~HeadlessLink() {
    device_.reset(); // before the bridges and the clock it runs on
}

bool HeadlessLink::unlock(int limitMs) {
    device_->start();
    // Unlocked, and the poll has settled into answering reports.
    return waitFor([this] { return view_.unlocked() && view_.reports() > 0; }, limitMs);
}

TransferRun HeadlessLink::transfer(link::TransferKind kind, int limitMs) {
    TransferRun run;
    run.kind = kind;
    // The command comes just after the poll has answered a report, as the device
    // goes quiet for its report period: the longest wait for the report that the
    // command can answer, and the same for every run.
    const int reports = view_.reports();
    waitFor([&] { return view_.reports() > reports; }, limitMs);
    view_.clearTransfer();
    const std::size_t firstTraffic = counter_.traffic().size();
    run.requested = BenchClock::now();
    switch (kind) {
    case link::TransferKind::Write:
        device_->requestTransfer(link::TransferKind::Write);
        break;
    case link::TransferKind::Read:
        device_->requestTransfer(link::TransferKind::Read);
        break;
    case link::TransferKind::EventLog:
        device_->requestTransfer(link::TransferKind::EventLog);
        break;
    }
    run.finished = waitFor([this] { return view_.ended.has_value(); }, limitMs);
    run.ended = view_.ended.value_or(BenchClock::now());
    run.accepted = view_.accepted.value_or(run.ended);
    run.end = view_.end;
    const auto& traffic = counter_.traffic();
    run.traffic.assign(traffic.begin() + static_cast<std::ptrdiff_t>(firstTraffic), traffic.end());
    return run;
}

} // namespace qta::bench
