#include "UnitReader.h"

namespace qta::link {

void UnitReader::arrived(std::span<const std::uint8_t> bytes, TimePoint now) {
    cutter_.append(bytes);
    lastArrival_ = now;
}

std::optional<Unit> UnitReader::next(std::optional<Expect> expect, TimePoint now,
                                     std::optional<Millis>& silenceLeft) {
    if (!expect)
        return std::nullopt;
    std::optional<Unit> unit = cutter_.next(*expect);
    if (unit || cutter_.buffered() == 0)
        return unit;
    const auto silent = std::chrono::duration_cast<Millis>(now - lastArrival_);
    if (silent >= partialUnitDrop_) {
        cutter_.dropAll();
        return std::nullopt;
    }
    silenceLeft = partialUnitDrop_ - silent;
    return std::nullopt;
}

} // namespace qta::link
