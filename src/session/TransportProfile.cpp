#include "TransportProfile.h"

#include "transfer/ConfigImage.h"
#include "transfer/GprsSlots.h"

namespace qta::link {
namespace {

constexpr int kEventRecords = 256;
constexpr int kImageMaximum = transfer::kLastFrameAddress; // the progress of a read is the block address
constexpr Millis kPromptLimit{31000};
constexpr Millis kWatchdog{11000};

} // namespace

// Over USB the gauge counts block addresses (records for the event log) from the
// start. Over GPRS the waiting dialog shows the maxima it always has, and a running
// write counts slots.
int TransportProfile::waitingMaximum(TransferKind kind) const {
    if (kind == TransferKind::EventLog)
        return kEventRecords;
    if (transport == Transport::Usb)
        return kImageMaximum;
    return kind == TransferKind::Write ? 315 : 20160;
}

int TransportProfile::runningMaximum(TransferKind kind) const {
    if (transport == Transport::Usb)
        return kind == TransferKind::EventLog ? kEventRecords : kImageMaximum;
    switch (kind) {
    case TransferKind::Write:
        return transfer::GprsSlots::kSlotCount;
    case TransferKind::Read:
        return kImageMaximum;
    case TransferKind::EventLog:
        break;
    }
    return kEventRecords - 1;
}

// USB shows the TimeFrame's address 0x8080, beyond the gauge, as full; GPRS its slot.
int TransportProfile::timeFrameProgress() const {
    return transport == Transport::Usb ? kImageMaximum : transfer::GprsSlots::kTimeFrameSlot;
}

const TransportProfile& usbProfile() {
    static const TransportProfile profile;
    return profile;
}

TransportProfile gprsProfile(Millis unlockLimit, Millis transferEndPause, Millis closeDelay) {
    TransportProfile profile;
    profile.transport = Transport::Gprs;
    profile.refusalAcknowledged = false;
    profile.promptLimit = kPromptLimit;
    profile.unlockLimit = unlockLimit;
    profile.watchdog = kWatchdog;
    profile.closeOnStall = true;
    profile.hasEndCommand = true;
    profile.transferEndPause = transferEndPause;
    profile.closeDelay = closeDelay;
    return profile;
}

} // namespace qta::link
