#include "SharedLinkState.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace qta::link {

std::optional<TransferKind> GprsShared::transferRequested() const {
    if (readConfigRequested)
        return TransferKind::Read;
    if (eventLogRequested)
        return TransferKind::EventLog;
    if (writeConfigRequested)
        return TransferKind::Write;
    return std::nullopt;
}

bool& GprsShared::requestFlag(TransferKind kind) {
    switch (kind) {
    case TransferKind::Write:
        return writeConfigRequested;
    case TransferKind::Read:
        return readConfigRequested;
    case TransferKind::EventLog:
        break;
    }
    return eventLogRequested;
}

void GprsShared::clearRequests() {
    readConfigRequested = false;
    writeConfigRequested = false;
    eventLogRequested = false;
    frames.reset();
}

SharedLinkState::SharedLinkState() : doorbell_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (doorbell_ < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
}

SharedLinkState::~SharedLinkState() {
    ::close(doorbell_);
}

void SharedLinkState::Locked::notify() {
    shared_.fields_.threadWaiting = false; // the thread looks again before it waits again
    shared_.changed_.notify_all();
    shared_.ring();
}

void SharedLinkState::ring() {
    const eventfd_t one = 1;
    // Only a full counter fails, and then the doorbell is rung already.
    [[maybe_unused]] const int written = eventfd_write(doorbell_, one);
}

void SharedLinkState::clearDoorbell() {
    eventfd_t count = 0;
    [[maybe_unused]] const int read = eventfd_read(doorbell_, &count); // EAGAIN when not rung
}

} // namespace qta::link
