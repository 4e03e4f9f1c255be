// Feeds every 21-byte window of arbitrary bytes to the StatusReport decoder
// with both decimal separators: nothing may crash or read out of bounds, and
// the signal gauge never leaves 0 to 9.
#include "log/StatusReport.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const unsigned char> bytes(data, size);
    for (std::size_t at = 0; at + qta::log::kStatusReportSize <= bytes.size(); ++at) {
        const auto report = bytes.subspan(at).first<qta::log::kStatusReportSize>();
        for (const char separator : {',', '.'}) {
            const qta::log::StatusView view = qta::log::decodeStatusReport(report, separator);
            if (view.gaugeSIGNAL && (view.gaugeSIGNAL->level < 0 || view.gaugeSIGNAL->level > 9))
                __builtin_trap();
        }
    }
    return 0;
}
