#include "DelayLine.h"

namespace qta::sim {

void DelayLine::push(std::span<const std::uint8_t> chunk, Micros now) {
    if (!chunk.empty())
        chunks_.push_back({Bytes(chunk.begin(), chunk.end()), now + delay_});
}

std::vector<DelayLine::Chunk> DelayLine::take(Micros now) {
    std::vector<Chunk> due;
    while (!chunks_.empty() && chunks_.front().due <= now) {
        due.push_back(std::move(chunks_.front()));
        chunks_.pop_front();
    }
    return due;
}

} // namespace qta::sim
