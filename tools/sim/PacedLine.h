#pragma once

#include "SimTime.h"

#include <deque>
#include <span>

namespace qta::sim {

// One direction of a serial line at a given baud rate: every byte takes ten bit
// times (start, eight data, stop bits), so bytes cross no faster than the wire
// carries them. Baud 0 carries everything at once.
class PacedLine {
public:
    enum class Delivery {
        EachByte,  // each byte as soon as it has crossed (a serial line)
        WholeUnits // a unit only once all of it has crossed (a network peer sends it in one piece)
    };

    explicit PacedLine(int baud, Delivery delivery = Delivery::EachByte) : baud_(baud), delivery_(delivery) {}

    // How long `count` bytes take on the wire.
    Micros duration(std::size_t count) const;

    // Puts a unit on the line at `now`; it follows whatever is still crossing.
    void push(std::span<const std::uint8_t> unit, Micros now);
    // What has crossed by `now` and was not taken yet. In WholeUnits delivery each
    // whole unit is one entry; in EachByte delivery all bytes come as one entry.
    std::vector<Bytes> take(Micros now);
    // When the next byte (or unit) will have crossed; kNever when the line is empty.
    Micros nextDue() const;
    bool empty() const { return units_.empty(); }
    // Forgets everything on the line (the link went away).
    void clear();

private:
    struct Unit {
        Bytes bytes;
        Micros burstStart;      // the start of the unbroken burst it belongs to
        std::size_t burstIndex; // the burst's byte count before this unit
        std::size_t taken = 0;
    };
    Micros crossedAt(const Unit& unit, std::size_t byte) const;
    Micros lineFreeAt() const;

    int baud_;
    Delivery delivery_;
    std::deque<Unit> units_;
    Micros burstStart_{0};
    std::size_t burstBytes_ = 0;
};

} // namespace qta::sim
