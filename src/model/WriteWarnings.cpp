#include "WriteWarnings.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace qta {
namespace {

struct AlarmCentre {
    Family address;
    Family port;
};
constexpr std::array kAlarmCentres = {AlarmCentre{Family::IP_PCO, Family::Port_PCO},
                                      AlarmCentre{Family::IP_PCO2, Family::Port_PCO2}};

bool isPort(std::string_view text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 1 && value <= 65535;
}

void checkAlarmCentre(const Configuration& config, const AlarmCentre& centre,
                      std::vector<WriteWarning>& out) {
    const FieldId address = config.table().id(centre.address);
    const FieldId port = config.table().id(centre.port);
    const std::string& addressText = config.text(address);
    if (!addressText.empty() && !isIpv4Address(addressText))
        out.push_back({WriteWarningKind::AddressNotIpv4, address});
    // An unused centre (no address) may keep an empty port.
    const std::string& portText = config.text(port);
    if ((!portText.empty() || !addressText.empty()) && !isPort(portText))
        out.push_back({WriteWarningKind::PortOutOfRange, port});
}

void checkList(const Configuration& config, const NumberList& list, std::vector<WriteWarning>& out) {
    WriteWarning warning{WriteWarningKind::NumbersTooLong, 0, 0};
    for (int j = 0; j < kListLength; ++j) {
        const auto entry = static_cast<FieldId>(list.first + j);
        if (config.text(entry).size() <= kLongestNumber)
            continue;
        if (warning.count++ == 0)
            warning.field = entry;
    }
    if (warning.count > 0)
        out.push_back(warning);
}

} // namespace

bool isIpv4Address(std::string_view text) {
    int parts = 0;
    while (true) {
        const std::size_t dot = std::min(text.find('.'), text.size());
        const std::string_view part = text.substr(0, dot);
        unsigned value = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || part.size() > 3 || error != std::errc() || end != part.data() + part.size() ||
            value > 255)
            return false;
        ++parts;
        if (dot == text.size())
            return parts == 4;
        text.remove_prefix(dot + 1);
    }
}

std::vector<WriteWarning> writeWarnings(const Configuration& config) {
    std::vector<WriteWarning> warnings;
    for (const AlarmCentre& centre : kAlarmCentres)
        checkAlarmCentre(config, centre, warnings);
    for (const NumberList& list : config.table().lists())
        checkList(config, list, warnings);
    return warnings;
}

} // namespace qta
