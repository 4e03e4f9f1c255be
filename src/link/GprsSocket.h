#pragma once

#include "GprsOptions.h"

#include "session/Bytes.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <span>

namespace qta::link {

// The accepted TCP connection of one device, in the connection thread's hands:
// non-blocking, with keep-alive, waited on together with the thread's doorbell.
class GprsSocket {
public:
    GprsSocket(int socket, const GprsOptions& options);
    ~GprsSocket();
    GprsSocket(const GprsSocket&) = delete;
    GprsSocket& operator=(const GprsSocket&) = delete;

    enum class Ready { Readable, Rung, TimedOut, Closed };
    // Waits until bytes arrive (only while `reading`; else only for the end), the
    // doorbell rings, or `limit` has passed.
    Ready await(int doorbell, bool reading, std::optional<Millis> limit);
    // At most `room` bytes that have arrived; empty when none; nothing once the
    // device has closed the connection or it failed.
    std::optional<Bytes> receive(std::size_t room);
    // All of `bytes`, waiting while the network is full; false when the connection
    // failed or `stop` said to give up.
    bool send(std::span<const std::uint8_t> bytes, int doorbell, const std::function<bool()>& stop);
    // Reads and drops what has arrived, at most `limit` bytes; how many.
    std::size_t drain(std::size_t limit);
    // The device sees the connection close; the descriptor stays ours until destroyed.
    void shutdown();

private:
    bool awaitWritable(int doorbell);

    const int socket_;
};

} // namespace qta::link
