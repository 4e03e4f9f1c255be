#pragma once

#include "LinkView.h"

#include "model/Configuration.h"
#include "transfer/Frame.h"

#include <cstdint>
#include <vector>

namespace qta::link {

// One Frame of a write and what the dialog's gauge shows once its echo is in.
struct OutgoingFrame {
    transfer::Frame frame;
    int progress = 0;
};
using WriteSnapshot = std::vector<OutgoingFrame>;

// The image's Frames of `config` in address order, encoded when a write starts so
// that nothing done to the Configuration afterwards changes what is written.
// Over USB the gauge shows each Frame's block address; over GPRS the Frames are
// stored in their slots first, as the server sends them, and the gauge shows the slot.
WriteSnapshot takeWriteSnapshot(const Configuration& config, Language language, Transport transport);

} // namespace qta::link
