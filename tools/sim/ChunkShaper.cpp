#include "ChunkShaper.h"

#include <algorithm>
#include <utility>

namespace qta::sim {

ChunkShaper::ChunkShaper(Options options, std::uint64_t seed)
    : options_(options), random_(randomFor(seed, Stream::Network)) {}

void ChunkShaper::push(std::span<const std::uint8_t> unit, Micros now, Micros nextUnitDue) {
    if (!held_.empty()) {
        held_.insert(held_.end(), unit.begin(), unit.end());
        heldUntil_ = kNever;
        schedule(std::exchange(held_, {}), now);
        return;
    }
    const bool partnerComing = nextUnitDue != kNever && nextUnitDue - now <= options_.joinWindow;
    if (options_.join && partnerComing) {
        held_.assign(unit.begin(), unit.end());
        heldUntil_ = now + options_.joinWindow;
        return;
    }
    schedule(Bytes(unit.begin(), unit.end()), now);
}

// Split: two or three pieces at random cuts, the pieces a pause apart. Chunks
// never overtake each other.
void ChunkShaper::schedule(Bytes unit, Micros now) {
    Micros due = chunks_.empty() ? now : std::max(now, chunks_.back().due);
    if (!options_.split || unit.size() < 2) {
        chunks_.push_back({std::move(unit), due});
        return;
    }
    const std::size_t pieces = std::min<std::size_t>(unit.size(), 2 + random_.below(2));
    std::vector<std::size_t> cuts;
    while (cuts.size() + 1 < pieces) {
        const std::size_t cut = 1 + random_.below(static_cast<std::uint32_t>(unit.size() - 1));
        if (std::find(cuts.begin(), cuts.end(), cut) == cuts.end())
            cuts.push_back(cut);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.push_back(unit.size());
    std::size_t from = 0;
    for (const std::size_t cut : cuts) {
        chunks_.push_back({Bytes(unit.begin() + static_cast<std::ptrdiff_t>(from),
                                 unit.begin() + static_cast<std::ptrdiff_t>(cut)),
                           due});
        from = cut;
        due += options_.splitPause;
    }
}

std::vector<Bytes> ChunkShaper::take(Micros now) {
    if (!held_.empty() && heldUntil_ <= now) {
        heldUntil_ = kNever;
        schedule(std::exchange(held_, {}), now);
    }
    std::vector<Bytes> out;
    while (!chunks_.empty() && chunks_.front().due <= now) {
        out.push_back(std::move(chunks_.front().bytes));
        chunks_.pop_front();
    }
    return out;
}

Micros ChunkShaper::nextDue() const {
    const Micros chunkDue = chunks_.empty() ? kNever : chunks_.front().due;
    return std::min(chunkDue, held_.empty() ? kNever : heldUntil_);
}

void ChunkShaper::clear() {
    chunks_.clear();
    held_.clear();
    heldUntil_ = kNever;
}

} // namespace qta::sim
