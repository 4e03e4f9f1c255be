#pragma once

#include "LinkView.h"

#include <cstdint>
#include <optional>

namespace qta::link {

// The command bytes that answer a StatusReport: a transfer, or the end of a GPRS connection.
inline constexpr std::uint8_t kEndCommand = 0x04;
inline constexpr std::uint8_t kNothingToDo = 0x1B; // plus the output command 1..8 to switch an output

constexpr std::uint8_t commandByte(TransferKind kind) {
    switch (kind) {
    case TransferKind::Write:
        return 0xAA;
    case TransferKind::Read:
        return 0x60;
    case TransferKind::EventLog:
        break;
    }
    return 0x0E;
}

constexpr std::optional<TransferKind> transferOfCommand(std::uint8_t command) {
    for (const TransferKind kind : {TransferKind::Write, TransferKind::Read, TransferKind::EventLog}) {
        if (commandByte(kind) == command)
            return kind;
    }
    return std::nullopt;
}

} // namespace qta::link
