#pragma once

#include "catalogue/LanguageCatalogue.h"
#include "link/LinkControl.h"
#include "model/Configuration.h"
#include "session/LinkView.h"

#include <QObject>

#include <functional>
#include <string>

class QWidget;

namespace qta::app {

class DiagnosticsPage;
class Dialogs;
class EventLogPage;
class TfRead;
class TopBar;

// The window's side of the device link: shows what the link tells in the top bar,
// the transfer dialog, the diagnostics and event-log pages and message boxes that
// leave the window running, and hands the user's actions to the link.
class WindowLinkView : public QObject, public link::LinkView {
    Q_OBJECT
public:
    struct Parts {
        QWidget* window = nullptr; // owns the message boxes
        TopBar* topBar = nullptr;
        TfRead* dialog = nullptr;
        DiagnosticsPage* diagnostics = nullptr;
        EventLogPage* events = nullptr;
        Dialogs* dialogs = nullptr;
        Configuration* config = nullptr;
        // The widget of a field, made first if its page is not filled yet.
        std::function<QWidget*(FieldId)> fieldWidget;
        // The catalogue in force, read at the moment of use.
        std::function<const catalogue::LanguageCatalogue&()> catalogue;
        char decimalSeparator = '.';
    };

    explicit WindowLinkView(Parts parts, QObject* parent = nullptr);

    // Where the user's actions go; none (nothing happens, an output click is not taken) until set.
    void setControl(link::LinkControl* control) { control_ = control; }

    Language language() const override;

    // The device reports the failure-reporting boxes locked on.
    bool optionBoxesLocked() const { return optionBoxesLocked_; }

    void showLinkUp(bool up) override;
    void showConnected(bool connected) override;
    void lockTransportChoice(bool locked) override;
    void showTransport(link::Transport transport) override;

    void showAccessPrompt() override;
    void showCodeRefused(link::Transport transport) override;
    void showCodeAccepted() override;
    void showTransferWaiting(link::TransferKind kind, int gaugeMaximum) override;
    void showTransferRunning(int gaugeMaximum) override;
    void setProgress(int value) override;
    void hideDialog() override;

    void ShowDiag(std::span<const std::uint8_t, 21> report, bool outputCommandPending) override;
    void blankDiagnostics() override;

    void clearEvents() override;
    void WriteEvent(std::span<const std::uint8_t, 32> record) override;

    void showMessage(const link::LinkMessage& message, std::function<void()> closed) override;

    void transferEnded(link::TransferKind kind, link::TransferEnd end) override;

signals:
    // After the link has shown the transport chosen (a GPRS server then listens).
    void transportShown(link::Transport transport);
    // A transfer has ended, as the link has already told the user.
    void transferFinished(link::TransferKind kind, link::TransferEnd end);
    // The device was unlocked, or is no longer.
    void connectionShown(bool connected);

private:
    const catalogue::Messages& messages() const;
    void showOptionBoxes(bool locked);
    void OutputClick(int command);
    // Hands an action without arguments to the link, if one is set.
    void hand(void (link::LinkControl::*operation)());

    Parts parts_;
    link::LinkControl* control_ = nullptr;
    bool optionBoxesLocked_ = false;
    int openMessages_ = 0;     // the link's message boxes still up
    bool promptWaits_ = false; // the code prompt is shown once they are closed
};

} // namespace qta::app
