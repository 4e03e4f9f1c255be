#include "SharedLinkState.h"

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

void SharedLinkState::Locked::notify() {
    shared_.fields_.threadWaiting = false; // the thread looks again before it waits again
    shared_.changed_.notify_all();
    shared_.doorbell_.ring();
}

} // namespace qta::link
