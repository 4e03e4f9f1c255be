#pragma once

#include "SettingsFile.h"

#include "catalogue/LanguageCatalogue.h"
#include "link/GprsOptions.h"
#include "session/LinkView.h"

#include <QDialog>
#include <QObject>

#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace qta::link {
class DeviceLink;
}

namespace qta::app {

// The access that `text` describes (its networks separated by blanks or commas),
// or nothing, with `wrong` set to the first value that is no address or network.
std::optional<link::GprsAccess> gprsAccessOf(const SettingsFile::GprsAccessText& text, std::string& wrong);

// Where the GPRS server listens and whom it keeps, as the user types them.
class GprsAccessDialog : public QDialog {
    Q_OBJECT
public:
    GprsAccessDialog(const SettingsFile::GprsAccessText& current, const catalogue::Messages& texts,
                     QWidget* parent);

    // OK is taken only when both fields hold what they ask for; otherwise the
    // dialog names the value and stays.
    void accept() override;
    SettingsFile::GprsAccessText text() const;
    const link::GprsAccess& access() const { return access_; }

private:
    QLineEdit* bind_;
    QLineEdit* allow_;
    QLabel* wrong_;
    const catalogue::Messages& texts_;
    link::GprsAccess access_;
};

// In the window's status bar: the button that sets who may connect over GPRS and,
// while the server listens for anyone, the warning that any peer that connects is
// sent the access code. The choice goes to the link at once and into the settings file.
class GprsAccessBar : public QObject {
    Q_OBJECT
public:
    GprsAccessBar(QStatusBar& bar, const SettingsFile& settings, const SettingsFile::GprsAccessText& current,
                  link::DeviceLink& device);

    void applyLanguage(const catalogue::Messages& texts);
    void showTransport(link::Transport transport);
    // The button's dialog, window-modal; null while it is not up.
    void openDialog();
    GprsAccessDialog* dialog() const { return dialog_; }

private:
    void take(const GprsAccessDialog& dialog);
    void showWarning();

    const SettingsFile& settings_;
    link::DeviceLink& device_;
    SettingsFile::GprsAccessText text_;
    bool openToAll_;
    bool gprs_;
    QLabel* warning_;
    QPushButton* button_;
    const catalogue::Messages* texts_ = nullptr;
    GprsAccessDialog* dialog_ = nullptr;
};

} // namespace qta::app
