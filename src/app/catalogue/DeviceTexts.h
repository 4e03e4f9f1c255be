#pragma once

#include "model/Language.h"

#include <array>
#include <string>
#include <string_view>

// The texts the device words its own SMS reports with, in the language of the
// programmer at the time of a write.
namespace qta::catalogue {

// The thirteen device texts of one language, as UTF-8.
struct DeviceTextSet {
    std::string_view gsmSignal;
    std::string_view gprsAccess;
    std::string_view voltage;
    std::string_view time;
    std::string_view analogInput;
    std::string_view restartDialer;
    std::string_view activated;
    std::string_view deactivated;
    std::string_view mainPowerFailure;
    std::string_view mainPowerOk;
    std::string_view lowSupplyVoltage;
    std::string_view input;
    std::string_view output;
};

// Danish has the English texts.
const DeviceTextSet& deviceTextSet(Language language);

inline constexpr std::size_t kImageDeviceTextCount = 14;

// The fourteen texts of the ConfigImage in image order (0x4B00 bytes 0..31
// first), as Windows-1250 bytes: the thirteen device texts and, last, the event
// text of code 0.
std::array<std::string, kImageDeviceTextCount> imageDeviceTexts(Language language);

} // namespace qta::catalogue
