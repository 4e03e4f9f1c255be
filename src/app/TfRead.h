#pragma once

#include "catalogue/LanguageCatalogue.h"
#include "session/Commands.h"
#include "session/LinkView.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace qta::app {

// The transfer dialog: asks for the device's access code, or shows how a transfer
// goes. Made once, hidden, and shown again in the mode its caller sets up. While it
// is up the window it belongs to stays disabled; it never runs an event loop of its
// own. It holds no link logic: it reports what the user does.
class TfRead : public QDialog {
    Q_OBJECT
public:
    // What the button does, kept with the button.
    enum class ButtonRole { Closing = 1, CodeSending = 2, Cancel = 3 };

    // The longest code the device stores: the entry takes no more, so what is sent
    // is what was typed.
    static constexpr int kLongestCode = static_cast<int>(link::kLongestAccessCode);

    // `window` is disabled while the dialog is up.
    explicit TfRead(QWidget* window);

    // The modes; texts come from `texts`, the messages in force.
    void showAccessPrompt(const catalogue::Messages& texts);
    // The wrong-code notice; with the "OK" button that closes it, or without.
    void showCodeRefused(bool withButton, const catalogue::Messages& texts);
    // Back to the transfer look, hidden.
    void showCodeAccepted(const catalogue::Messages& texts);
    void showTransferWaiting(link::TransferKind kind, int gaugeMaximum, const catalogue::Messages& texts);
    // The title of the next transfer, instead of its kind's (a step of a longer job).
    void setPhase(const QString& phase) { phase_ = phase; }
    void showTransferRunning(int gaugeMaximum, const catalogue::Messages& texts);
    // The gauge, with the percentage and, once it can be told, the time left.
    void setProgress(int value);

    ButtonRole buttonRole() const;

signals:
    // The button (or Enter in the code field) in its code-sending role.
    void codeSubmitted(const QString& code);
    // The button in its closing role, or a request to close the dialog outside a transfer.
    void closeRequested();
    // The Cancel button, or a request to close the dialog during a transfer.
    void cancelRequested();

public slots:
    // Escape and the window's close request: never hide by themselves.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void btnCancelClick();
    void setButtonRole(ButtonRole role);
    void showCodeEntry(bool shown);
    void showTransferLook(bool gaugeShown);
    void present();

    QWidget* window_;
    QLabel* label1_;
    QProgressBar* gauge1_;
    QLabel* label2_;
    QLabel* label3_;
    QPushButton* button_;
    QLineEdit* pass_;
    const catalogue::Messages* progressTexts_ = nullptr;
    QElapsedTimer progressClock_; // since the device took the command
    QString phase_;
};

} // namespace qta::app
