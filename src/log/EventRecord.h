#pragma once

#include "model/Language.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qta::log {

// One record of the device's event log: time stamp (bytes 0-9, day, month,
// year, hour, minute as ASCII digits), free text (bytes 10-25, 0x00 is
// padding), unused bytes, event code (byte 31).
inline constexpr std::size_t kEventRecordSize = 32;
using EventRecordBytes = std::span<const unsigned char, kEventRecordSize>;

// A slot the device never wrote: byte 0 is 0x00 or 0xFF. The log shows no line for it.
bool isEmptySlot(EventRecordBytes record);

// The line the event log shows for a record, as Windows-1250 bytes: the time
// part ("07.12.2026   14:30 ", or nothing unless all ten stamp bytes are
// non-zero), the separator when the text field starts with a character, the
// text field without its 0x00 bytes, and the event text of the code in
// `language` (nothing for a code without text).
std::string WriteEvent(EventRecordBytes record, qta::Language language);

// The lines of a sequence of records, empty slots skipped. Nothing when the
// bytes are not a whole number of records.
std::optional<std::vector<std::string>> decodeEventRecords(std::string_view records, qta::Language language);

// What the event log's Save writes: every line followed by CR LF.
std::string eventLogFileContent(std::span<const std::string> lines);

} // namespace qta::log
