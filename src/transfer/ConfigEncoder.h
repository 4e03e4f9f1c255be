#pragma once

#include "ConfigImage.h"
#include "FrameSink.h"
#include "model/Configuration.h"

#include <array>
#include <string>

namespace qta::transfer {

inline constexpr std::size_t kDeviceTextCount = 14;

// The texts the device words its own SMS reports with, in image order (0x4B00
// bytes 0..31 first, 0x4C80 bytes 32..63 last), as Windows-1250 bytes.
using DeviceTexts = std::array<std::string, kDeviceTextCount>;

// The Configuration as the 336 Frames of the ConfigImage, sent to `sink` in
// ascending address order. Returns false when the sink aborted the transfer.
bool SendDataFromForm(const Configuration& config, const DeviceTexts& deviceTexts, FrameSink& sink);

// The whole image in memory.
ConfigImage encodeImage(const Configuration& config, const DeviceTexts& deviceTexts);

} // namespace qta::transfer
