#pragma once

#include "DeviceOptions.h"
#include "transfer/ConfigImage.h"

#include <string>
#include <vector>

namespace qta::sim {

// One device of a virtual fleet: its own seed and faults, and a memory of its
// own, told apart by what an installer tells devices apart by: the object code
// of input 1 (the account the alarm centre knows it by) and its listening number.
struct FleetMember {
    DeviceOptions device;
    transfer::ConfigImage memory;
    std::string account;         // ObjCodeIN1
    std::string listeningNumber; // TNLS_1
    bool faulty = false;
};

// `count` devices from `base`: distinct accounts and numbers from its seed, and
// its faults (and the network's, when `networkFaults`) given to the share
// `faulty` (0..1) of them, spread evenly over the fleet; the others run clean.
std::vector<FleetMember> fleetMembers(const DeviceOptions& base, int count, double faulty,
                                      bool networkFaults);

} // namespace qta::sim
