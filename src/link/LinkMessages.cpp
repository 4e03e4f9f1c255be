#include "LinkMessages.h"

#include "model/Cp1250.h"

namespace qta::link {
namespace {

void replaceAll(std::string& text, std::string_view placeholder, const std::string& value) {
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
}

const std::string& reasonText(TransferEnd end, const catalogue::Messages& texts) {
    switch (end) {
    case TransferEnd::Cancelled:
        return texts.msgCancelled;
    case TransferEnd::LinkLost:
        return texts.msgLinkLost;
    case TransferEnd::NotAccepted:
        return texts.msgNotAccepted;
    case TransferEnd::EchoRefused:
        return texts.msgEchoRefused;
    case TransferEnd::Incomplete:
        return texts.msgBlocksMissing;
    case TransferEnd::ClockNotConfirmed:
    case TransferEnd::Done:
    case TransferEnd::NoAnswer:
        break;
    }
    return texts.msgNoAnswer;
}

const std::string& consequenceText(TransferKind kind, const catalogue::Messages& texts) {
    switch (kind) {
    case TransferKind::Write:
        return texts.msgWriteIncomplete;
    case TransferKind::Read:
        return texts.msgReadIncomplete;
    case TransferKind::EventLog:
        break;
    }
    return texts.msgLogIncomplete;
}

const std::string& portReasonText(const LinkMessage& message, const catalogue::Messages& texts) {
    switch (message.portReason) {
    case LinkMessage::PortReason::InUse:
        return texts.msgPortInUse;
    case LinkMessage::PortReason::NotSerial:
        return texts.msgNotSerialPort;
    case LinkMessage::PortReason::System:
        break;
    }
    return message.text;
}

} // namespace

std::string wordTransferEnd(TransferEnd end, int resends, const catalogue::Messages& texts) {
    std::string reason = reasonText(end, texts);
    replaceAll(reason, "%1", std::to_string(resends));
    return reason;
}

std::string wordMessage(const LinkMessage& message, const catalogue::Messages& texts) {
    using Kind = LinkMessage::Kind;
    switch (message.kind) {
    case Kind::ConnectionFailed:
        return "Connection failed !";
    case Kind::DamagedDevice:
        return "Damaged device !";
    case Kind::ResetError:
        return "reset error?";
    case Kind::NotConnected:
        return texts.msgNotConnected;
    case Kind::PortPermission: {
        std::string text = texts.msgPortPermission;
        replaceAll(text, "%1", message.path);
        replaceAll(text, "%2", message.owner);
        replaceAll(text, "%3", message.group);
        return message.udevRuleMissing ? text + " " + texts.msgUdevRuleFix : text;
    }
    case Kind::PortUnavailable: {
        std::string text = texts.msgPortUnavailable;
        replaceAll(text, "%1", message.path);
        replaceAll(text, "%2", portReasonText(message, texts));
        return text;
    }
    case Kind::ModemManager:
        return texts.msgModemManager;
    case Kind::Brltty:
        return texts.msgBrltty;
    case Kind::TransferIncomplete:
        if (message.end == TransferEnd::ClockNotConfirmed)
            return texts.msgClockNotConfirmed;
        return wordTransferEnd(message.end, message.resends, texts) + " " +
               consequenceText(message.transfer, texts);
    case Kind::CodeNoAnswer:
        return texts.msgCodeNoAnswer;
    case Kind::Error:
        break;
    }
    return message.text;
}

} // namespace qta::link

namespace qta::link {
namespace {

// A value from a file, shown so that it cannot reach a terminal's controls or fill
// the box: control bytes as \xNN, and cut after 40 characters.
std::string shownValue(const std::string& cp1250) {
    constexpr std::size_t kShown = 40;
    std::string shown;
    for (const char c : cp1250.substr(0, kShown)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            constexpr char kHex[] = "0123456789ABCDEF";
            shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xf]};
        } else {
            shown += c;
        }
    }
    return cp1250ToUtf8(shown) + (cp1250.size() > kShown ? "..." : "");
}

} // namespace

std::string wordWriteWarning(const WriteWarning& warning, const Configuration& config,
                             const catalogue::Messages& texts) {
    std::string text;
    std::string detail;
    switch (warning.kind) {
    case WriteWarningKind::AddressNotIpv4:
        text = texts.msgWarnAddress;
        detail = shownValue(config.text(warning.field));
        break;
    case WriteWarningKind::PortOutOfRange:
        text = texts.msgWarnPort;
        detail = shownValue(config.text(warning.field));
        break;
    case WriteWarningKind::NumbersTooLong:
        text = texts.msgWarnNumbers;
        detail = std::to_string(warning.count);
        break;
    }
    replaceAll(text, "%1", config.table()[warning.field].name);
    replaceAll(text, "%2", detail);
    return text;
}

} // namespace qta::link
