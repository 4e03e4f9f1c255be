#include "GprsMailbox.h"

namespace qta::link {

GprsMailbox::GprsMailbox(SharedLinkState& shared, Carry carry, std::function<void()> ended)
    : shared_(shared), carry_(std::move(carry)), ended_(std::move(ended)),
      notifier_(doorbell_.fd(), QSocketNotifier::Read) {
    connect(&notifier_, &QSocketNotifier::activated, this, [this] { deliver(); });
}

void GprsMailbox::deliver() {
    doorbell_.clear();
    std::vector<PostedAction> work;
    std::uint64_t batch = 0;
    bool ended = false;
    {
        auto shared = shared_.lock();
        work.swap(shared->uiWork);
        batch = shared->posted;
        shared->uiRung = false;
        ended = shared->ended;
    }
    for (const PostedAction& posted : work)
        carry_(posted);
    {
        auto shared = shared_.lock();
        shared->applied = std::max(shared->applied, batch);
        shared.notifyWaiters();
    }
    if (ended)
        ended_();
}

void GprsMailbox::send(SessionRequest request) {
    auto shared = shared_.lock();
    shared->requests.push_back(std::move(request));
    shared.notify();
}

void GprsMailbox::expired(SessionTimer timer, std::uint64_t start) {
    auto shared = shared_.lock();
    shared->expired.emplace_back(timer, start);
    shared.notify();
}

} // namespace qta::link
