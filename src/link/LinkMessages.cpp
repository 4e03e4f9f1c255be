#include "LinkMessages.h"

namespace qta::link {
namespace {

void replaceAll(std::string& text, std::string_view placeholder, const std::string& value) {
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
}

const std::string& reasonText(const LinkMessage& message, const catalogue::Messages& texts) {
    switch (message.end) {
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

} // namespace

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
    case Kind::ModemManager:
        return texts.msgModemManager;
    case Kind::Brltty:
        return texts.msgBrltty;
    case Kind::TransferIncomplete: {
        if (message.end == TransferEnd::ClockNotConfirmed)
            return texts.msgClockNotConfirmed;
        std::string reason = reasonText(message, texts);
        replaceAll(reason, "%1", std::to_string(message.resends));
        return reason + " " + consequenceText(message.transfer, texts);
    }
    case Kind::CodeNoAnswer:
        return texts.msgCodeNoAnswer;
    case Kind::Error:
        break;
    }
    return message.text;
}

} // namespace qta::link
