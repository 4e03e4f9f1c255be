#include "SimFleet.h"

#include "catalogue/DeviceTexts.h"
#include "model/Configuration.h"
#include "transfer/ConfigEncoder.h"

#include <cmath>
#include <cstdio>

namespace qta::sim {
namespace {

// Accounts are four digits; a fleet up to this size never repeats one.
constexpr std::uint64_t kAccounts = 9000;

std::string digits(std::uint64_t value, int width) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*llu", width, static_cast<unsigned long long>(value));
    return text;
}

// Device i of a fleet is faulty when the share's running count steps up at i,
// so the faulty ones lie evenly among the others.
bool faultyAt(int index, double share) {
    constexpr double kRounding = 1e-9;
    return std::floor((index + 1) * share + kRounding) > std::floor(index * share + kRounding);
}

bool hasFaults(const Faults& faults) {
    return faults.corruptEcho > 0 || faults.silentAfter || faults.dropAfter || faults.garbage;
}

transfer::ConfigImage memoryOf(const std::string& account, const std::string& number) {
    Configuration config = Configuration::startup('.');
    const FieldTable& table = config.table();
    config.setText(table.id(Family::ObjCodeIN, 1), account);
    config.setText(table.id(Family::TNLS_, 1), number);
    return transfer::encodeImage(config, catalogue::imageDeviceTexts(Language::EN));
}

} // namespace

std::vector<FleetMember> fleetMembers(const DeviceOptions& base, int count, double faulty,
                                      bool networkFaults) {
    std::vector<FleetMember> members;
    members.reserve(static_cast<std::size_t>(std::max(count, 0)));
    const std::uint64_t first = (base.seed * 2654435761ULL) % kAccounts;
    for (int i = 0; i < count; ++i) {
        const auto index = static_cast<std::uint64_t>(i);
        FleetMember member{base,
                           transfer::ConfigImage(),
                           {},
                           {},
                           (networkFaults || hasFaults(base.faults)) && faultyAt(i, faulty)};
        member.device.seed = base.seed * 1000003ULL + index;
        if (!member.faulty)
            member.device.faults = Faults{};
        member.account = digits(1000 + (first + index) % kAccounts, 4);
        member.listeningNumber =
            "09" + digits(10000000 + (base.seed * 7919ULL + index * 104729ULL) % 90000000, 8);
        member.memory = memoryOf(member.account, member.listeningNumber);
        members.push_back(std::move(member));
    }
    return members;
}

} // namespace qta::sim
