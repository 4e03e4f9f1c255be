#pragma once

#include "Bytes.h"
#include "LinkView.h"

#include "transfer/ConfigImage.h"
#include "transfer/Frame.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace qta::link {

// The fixed bytes of the device protocol, the same on both transports unless marked.

// The locked device identifies itself; the programmer acknowledges and asks for the code.
inline constexpr std::array<std::uint8_t, 6> kIdentification{'Q', 'T', 'A', '7', '1', 'P'};
inline constexpr std::uint8_t kIdentified = 0x1F;
// The device's answer to the access code: taken, or refused (GPRS; over USB any other
// byte refuses), and the programmer's sign that it saw a refusal (USB).
inline constexpr std::uint8_t kCodeAccepted = 0x06;
inline constexpr std::uint8_t kCodeRefused = 0x1B;
inline constexpr std::uint8_t kCodeRefusedSeen = 0x0D;
// The longest access code the device stores (its length byte must not wrap).
inline constexpr std::size_t kLongestAccessCode = 31;

// The AccessCodeMessage: the code's length, the code (cut to the longest the device
// stores), then 0x0D.
inline Bytes accessCodeMessage(const std::string& code) {
    const std::string typed = code.substr(0, kLongestAccessCode);
    const std::string message = static_cast<char>(typed.size()) + typed + '\x0D';
    return Bytes(message.begin(), message.end());
}

// A StatusReport ends with these two bytes.
inline constexpr std::array<std::uint8_t, 2> kReportTail{0x1C, 0x2C};
// The device takes a transfer's command with sixteen equal bytes: 0x06 for a write,
// 0x60 when it is about to send (a read, the event log).
inline constexpr std::size_t kAcceptanceSize = 16;
inline constexpr std::uint8_t kWriteAccepted = 0x06;
inline constexpr std::uint8_t kSendingAccepted = 0x60;
// The programmer takes each Frame or record the device sends with this byte.
inline constexpr std::uint8_t kAcknowledge = 0x1F;

// The device's Frames are the image's blocks: a multiple of 64 up to the last block.
constexpr bool isImageAddress(std::uint16_t address) {
    return address % transfer::kPayloadSize == 0 && address <= transfer::kLastFrameAddress;
}

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
