// Feeds arbitrary bytes to the event-record decoder in every language: nothing
// may crash or read out of bounds, whole records always give lines and a
// broken tail never does.
#include "log/EventRecord.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const bool wholeRecords = size % qta::log::kEventRecordSize == 0;
    for (const qta::Language language :
         {qta::Language::SK, qta::Language::EN, qta::Language::DE, qta::Language::DK}) {
        const auto lines = qta::log::decodeEventRecords(bytes, language);
        if (lines.has_value() != wholeRecords || (lines && lines->size() > size / qta::log::kEventRecordSize))
            __builtin_trap();
        if (lines)
            qta::log::eventLogFileContent(*lines);
    }
    return 0;
}
