#include "PacedLine.h"

#include <algorithm>

namespace qta::sim {
namespace {

constexpr std::int64_t kBitsPerByte = 10;
constexpr std::int64_t kMicrosPerSecond = 1'000'000;

} // namespace

Micros PacedLine::duration(std::size_t count) const {
    if (baud_ <= 0)
        return Micros(0);
    // Rounded up, counted from the start of a burst so that the rounding never adds up.
    const std::int64_t bits = static_cast<std::int64_t>(count) * kBitsPerByte * kMicrosPerSecond;
    return Micros((bits + baud_ - 1) / baud_);
}

Micros PacedLine::lineFreeAt() const {
    return burstStart_ + duration(burstBytes_);
}

Micros PacedLine::crossedAt(const Unit& unit, std::size_t byte) const {
    return unit.burstStart + duration(unit.burstIndex + byte + 1);
}

void PacedLine::push(std::span<const std::uint8_t> unit, Micros now) {
    if (unit.empty())
        return;
    if (now >= lineFreeAt()) {
        burstStart_ = now;
        burstBytes_ = 0;
    }
    units_.push_back(Unit{Bytes(unit.begin(), unit.end()), burstStart_, burstBytes_});
    burstBytes_ += unit.size();
}

std::vector<Bytes> PacedLine::take(Micros now) {
    std::vector<Bytes> out;
    while (!units_.empty()) {
        Unit& unit = units_.front();
        if (delivery_ == Delivery::WholeUnits) {
            if (crossedAt(unit, unit.bytes.size() - 1) > now)
                break;
            out.push_back(std::move(unit.bytes));
            units_.pop_front();
            continue;
        }
        std::size_t end = unit.taken;
        while (end < unit.bytes.size() && crossedAt(unit, end) <= now)
            ++end;
        if (end > unit.taken) {
            if (out.empty())
                out.emplace_back();
            out.front().insert(out.front().end(),
                               unit.bytes.begin() + static_cast<std::ptrdiff_t>(unit.taken),
                               unit.bytes.begin() + static_cast<std::ptrdiff_t>(end));
            unit.taken = end;
        }
        if (unit.taken < unit.bytes.size())
            break;
        units_.pop_front();
    }
    return out;
}

Micros PacedLine::nextDue() const {
    if (units_.empty())
        return kNever;
    const Unit& unit = units_.front();
    return crossedAt(unit, delivery_ == Delivery::WholeUnits ? unit.bytes.size() - 1 : unit.taken);
}

void PacedLine::clear() {
    units_.clear();
    burstBytes_ = 0;
}

} // namespace qta::sim
