#include "WindowLinkView.h"

#include "DiagnosticsPage.h"
#include "Dialogs.h"
#include "EventLogPage.h"
#include "TextEdge.h"
#include "TfRead.h"
#include "TopBar.h"

#include "link/LinkMessages.h"
#include "log/EventRecord.h"
#include "log/StatusReport.h"

#include <utility>

#include <QWidget>

namespace qta::app {
namespace {

// The failure-reporting options that a status report may force on.
constexpr const char* kOptionBoxes[] = {"CheckBox230V", "CheckBoxAku", "CheckBoxJam"};

} // namespace

WindowLinkView::WindowLinkView(Parts parts, QObject* parent) : QObject(parent), parts_(std::move(parts)) {
    connect(parts_.dialog, &TfRead::codeSubmitted, this, [this](const QString& code) {
        if (control_)
            control_->submitAccessCode(toCp1250(code));
    });
    connect(parts_.dialog, &TfRead::closeRequested, this, [this] { hand(&link::LinkControl::closeDialog); });
    connect(parts_.dialog, &TfRead::cancelRequested, this,
            [this] { hand(&link::LinkControl::cancelTransfer); });
    connect(parts_.topBar, &TopBar::usbClicked, this, [this] { hand(&link::LinkControl::rdbUSBClick); });
    connect(parts_.topBar, &TopBar::gprsClicked, this, [this] { hand(&link::LinkControl::rdbGPRSClick); });
    connect(parts_.topBar, &TopBar::linkImageClicked, this,
            [this] { hand(&link::LinkControl::endConnection); });
    connect(parts_.diagnostics, &DiagnosticsPage::outputClicked, this, &WindowLinkView::OutputClick);
}

const catalogue::Messages& WindowLinkView::messages() const {
    return parts_.catalogue().messages;
}

Language WindowLinkView::language() const {
    return parts_.catalogue().language;
}

void WindowLinkView::showLinkUp(bool up) {
    parts_.topBar->showLinkUp(up);
}

void WindowLinkView::showConnected(bool connected) {
    parts_.topBar->showConnected(connected);
    emit connectionShown(connected);
}

void WindowLinkView::lockTransportChoice(bool locked) {
    parts_.topBar->lockTransportChoice(locked);
}

void WindowLinkView::showTransport(link::Transport transport) {
    parts_.topBar->showTransport(transport);
    emit transportShown(transport);
}

// The prompt never stands over a message box of the link: it waits until the box is closed.
void WindowLinkView::showAccessPrompt() {
    promptWaits_ = openMessages_ > 0;
    if (!promptWaits_)
        parts_.dialog->showAccessPrompt(messages());
}

void WindowLinkView::showCodeRefused(link::Transport transport) {
    promptWaits_ = false;
    // Over GPRS the notice goes by itself when the device gives up.
    parts_.dialog->showCodeRefused(transport == link::Transport::Usb, messages());
}

void WindowLinkView::showCodeAccepted() {
    promptWaits_ = false;
    parts_.dialog->showCodeAccepted(messages());
}

void WindowLinkView::showTransferWaiting(link::TransferKind kind, int gaugeMaximum) {
    parts_.dialog->showTransferWaiting(kind, gaugeMaximum, messages());
}

void WindowLinkView::showTransferRunning(int gaugeMaximum) {
    parts_.dialog->showTransferRunning(gaugeMaximum, messages());
}

void WindowLinkView::setProgress(int value) {
    parts_.dialog->setProgress(value);
}

void WindowLinkView::hideDialog() {
    promptWaits_ = false;
    parts_.dialog->hide();
}

void WindowLinkView::ShowDiag(std::span<const std::uint8_t, 21> report, bool outputCommandPending) {
    const log::StatusView status = log::decodeStatusReport(report, parts_.decimalSeparator);
    parts_.diagnostics->ShowDiag(status, outputCommandPending);
    if (outputCommandPending)
        return;
    switch (status.optionBoxes) {
    case log::OptionBoxes::Locked:
        showOptionBoxes(true);
        break;
    case log::OptionBoxes::Enabled:
        showOptionBoxes(false);
        break;
    case log::OptionBoxes::Unchanged:
        break;
    }
}

// Locked: checked, through the Configuration so that a write carries them, and
// disabled. Freed: enabled with the check marks as they are.
void WindowLinkView::showOptionBoxes(bool locked) {
    optionBoxesLocked_ = locked;
    for (const char* name : kOptionBoxes) {
        const FieldId id = parts_.config->table().id(name);
        if (locked)
            parts_.config->setFlag(id, true);
        if (QWidget* box = parts_.fieldWidget(id))
            box->setEnabled(!locked);
    }
}

void WindowLinkView::blankDiagnostics() {
    parts_.diagnostics->blank();
}

void WindowLinkView::clearEvents() {
    parts_.events->clearEvents();
}

void WindowLinkView::WriteEvent(std::span<const std::uint8_t, 32> record) {
    parts_.events->appendEvent(fromCp1250(log::WriteEvent(record, language())));
}

void WindowLinkView::showMessage(const link::LinkMessage& message, std::function<void()> closed) {
    ++openMessages_;
    parts_.dialogs->openMessage(parts_.window, fromUtf8(link::wordMessage(message, messages())),
                                [this, closed = std::move(closed)] {
                                    --openMessages_;
                                    if (openMessages_ == 0 && std::exchange(promptWaits_, false))
                                        parts_.dialog->showAccessPrompt(messages());
                                    closed();
                                });
}

// A finished transfer's dialog closes at the device's next report, and one that
// ended early has been hidden with its message; the window notes the end.
void WindowLinkView::transferEnded(link::TransferKind kind, link::TransferEnd end) {
    emit transferFinished(kind, end);
}

void WindowLinkView::hand(void (link::LinkControl::*operation)()) {
    if (control_)
        (control_->*operation)();
}

void WindowLinkView::OutputClick(int command) {
    if (control_ && control_->switchOutput(command))
        parts_.diagnostics->showOutputCommand(command);
}

} // namespace qta::app
