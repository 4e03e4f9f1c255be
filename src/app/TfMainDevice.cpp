// The Data menu, the event-log Read and what the window shows of the link's ends.
#include "TfMain.h"

#include "ConfigurationDocument.h"
#include "Dialogs.h"
#include "TextEdge.h"
#include "WhileOpen.h"

#include "link/LinkMessages.h"
#include "model/EntryRules.h"
#include "model/WriteWarnings.h"

#include <QHostAddress>
#include <QLabel>
#include <QNetworkInterface>
#include <QStatusBar>
#include <QTime>
#include <QTimer>

namespace qta::app {

// A read replaces unsaved changes only if the user agrees; without a device the
// link says so and nothing is asked.
void TfMain::Nata2Click() {
    if (!document_->modified() || !device().state().unlocked) {
        device().requestTransfer(link::TransferKind::Read);
        return;
    }
    dialogs_->openQuestion(this, fromUtf8(messages().msgReplaceUnsaved),
                           whileOpen(this, [this](bool replace) {
                               if (replace)
                                   device().requestTransfer(link::TransferKind::Read);
                           }));
}

// A code the device cannot take would lock it for good: such a write sends nothing.
// Values the device is unlikely to work with are warned about, and sent if the
// user wants them sent.
void TfMain::Odosla2Click() {
    sendConfiguration(false);
}

void TfMain::sendConfiguration(bool verify) {
    if (!entry::isWritableAccessCode(config_.text(config_.table().id(Family::Pass)))) {
        dialogs_->showError(this, fromUtf8(messages().msgBadAccessCode));
        return;
    }
    const std::vector<WriteWarning> warnings = writeWarnings(config_);
    const auto send = [this, verify] {
        safety_->send(
            [this] {
                sendRevision_ = config_.revision();
                device().requestTransfer(link::TransferKind::Write);
            },
            verify);
    };
    if (warnings.empty() || !device().state().unlocked) {
        send();
        return;
    }
    QStringList lines;
    for (const WriteWarning& warning : warnings)
        lines << fromUtf8(link::wordWriteWarning(warning, config_, messages()));
    lines << fromUtf8(messages().msgSendAnyway);
    dialogs_->openQuestion(this, lines.join(QLatin1Char('\n')), whileOpen(this, [send](bool yes) {
                               if (yes)
                                   send();
                           }));
}

void TfMain::Nata1Click() {
    if (device().state().unlocked)
        showPage(QStringLiteral("TabSheet8")); // its lines come in as they are read
    device().requestTransfer(link::TransferKind::EventLog);
}

// A completed Send or Read leaves nothing unsaved and says so in the status bar. A
// read that ended early has replaced some fields: they count as unsaved changes of
// no file, so that a Save cannot put the mixture over the file they came from.
void TfMain::transferFinished(link::TransferKind kind, link::TransferEnd end) {
    if (safety_->transferFinished(kind, end))
        return; // a read kept aside: the window's fields are as they were
    const bool written = end == link::TransferEnd::Done || end == link::TransferEnd::ClockNotConfirmed;
    const QString now = QLocale().toString(QTime::currentTime(), QStringLiteral("HH:mm"));
    const auto say = [&](const std::string& text) {
        statusBar()->showMessage(fromUtf8(text).replace(QLatin1String("%1"), now));
    };
    switch (kind) {
    case link::TransferKind::Write:
        if (written) {
            document_->keptAt(sendRevision_);
            say(messages().msgWrittenAt);
        }
        break;
    case link::TransferKind::Read:
        if (end == link::TransferEnd::Done) {
            document_->untied();
            say(messages().msgReadAt);
        } else if (document_->modified()) {
            document_->detach();
        }
        break;
    case link::TransferKind::EventLog:
        if (end == link::TransferEnd::Done)
            say(messages().msgLogReadAt);
        break;
    }
}

// Where the device is to dial in: the server's port and this computer's addresses.
void TfMain::showListening(link::Transport transport) {
    // The server starts listening after the transport is shown.
    QTimer::singleShot(0, this, [this, transport] {
        const std::uint16_t port = deviceLink_ ? device().gprsPort() : 0;
        if (transport != link::Transport::Gprs || port == 0) {
            listening_->clear();
            return;
        }
        QStringList addresses;
        for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
                addresses << address.toString();
        }
        if (addresses.isEmpty())
            addresses << QHostAddress(QHostAddress::LocalHost).toString();
        listening_->setText(fromUtf8(messages().msgListening)
                                .replace(QLatin1String("%1"), QString::number(port))
                                .replace(QLatin1String("%2"), addresses.join(QStringLiteral(", "))));
    });
}

} // namespace qta::app
