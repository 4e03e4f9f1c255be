#pragma once

#include "Dialogs.h"
#include "SafetyNet.h"
#include "SettingsFile.h"
#include "WindowLink.h"

#include "catalogue/LanguageCatalogue.h"
#include "model/Configuration.h"
#include "model/PffFile.h"

#include <QHash>
#include <QMainWindow>

#include <memory>

class QActionGroup;
class QComboBox;
class QLabel;
class QMenu;

namespace qta::app {

class ConfigurationDocument;
class ConfigurationPages;
class DiagnosticsPage;
class EventLogPage;
class FieldBinder;
class GprsAccessBar;
class TfRead;
class TopBar;
class WindowLinkView;

// The programmer's main window. It owns the Configuration, which its field widgets
// edit, the state of the device connection and the current language. Every control
// is named, and catalogue texts reach controls by those names.
class TfMain : public QMainWindow {
    Q_OBJECT
public:
    // `dialogs` answers the file, print and message dialogs (QtDialogs when null);
    // `link` says which bridges and clock the device link runs on.
    explicit TfMain(std::unique_ptr<Dialogs> dialogs = nullptr, SettingsFile settings = SettingsFile(),
                    const LinkSetup& link = LinkSetup(), QWidget* parent = nullptr);
    ~TfMain() override;

    Configuration& configuration() { return config_; }
    link::DeviceLink& device() { return deviceLink_->device(); }
    const QString& languageCode() const { return languageCode_; }
    // The program messages of the language applied last, read at the moment of use.
    const catalogue::Messages& messages() const { return catalogue_->messages; }

    // The device link's parts of the window: the link talks to the user through
    // linkView(), which drives the top bar, the transfer dialog and the pages.
    TopBar& topBar() { return *topBar_; }
    TfRead& transferDialog() { return *transferDialog_; }
    WindowLinkView& linkView() { return *linkView_; }
    // Who may connect over GPRS, in the status bar.
    GprsAccessBar& gprsAccessBar() { return *gprsAccess_; }

    // The named control, or null. Pages not yet filled are filled first.
    QObject* control(const QString& name);
    template <typename T> T* control(const QString& name) { return qobject_cast<T*>(control(name)); }

    // Fills the pages that are not filled yet. The page in front is filled when the
    // window is made; the others follow right after its first paint, so the window
    // shows quickly. Anything that needs their controls fills them first.
    void completePages();

    // Brings the named page (or sub-page) to the front.
    void showPage(const QString& name);

    // Applies one catalogue to the window (SetLangToEN and its siblings).
    void applyLanguage(Language language);
    void SetLangToEN() { applyLanguage(Language::EN); }
    void SetLangToSK() { applyLanguage(Language::SK); }
    void SetLangToDE() { applyLanguage(Language::DE); }
    void SetLangToDK() { applyLanguage(Language::DK); }
    // The Language menu: each item applies its catalogue and nothing else.
    void ENClick() { SetLangToEN(); }
    void DEClick() { SetLangToDE(); }
    void SKClick() { SetLangToSK(); }
    void DKClick() { SetLangToDK(); }

    // The File menu. New, Open, a recent file and Close ask first when unsaved
    // changes would be lost. Save saves to the file opened or saved last, Save As
    // (and Save without such a file) asks for the file.
    void Nov2Click();
    void Otvori2Click();
    void Uloi2Click();
    void SaveAs1Click();
    void openRecentFile(const QString& path);
    // Open and Save without their dialogs or questions; they report failures in a
    // message box, and on success tie the Configuration to the file.
    bool openConfiguration(const QString& path);
    bool saveConfiguration(const QString& path);
    // Comparing, patches, the lists as CSV, backups, verify.
    SafetyNet& safetyNet() { return *safety_; }
    // The Configuration's file and its unsaved changes.
    ConfigurationDocument& document() { return *document_; }
    // The files of File > Recent files, newest first.
    QStringList recentFiles() const;
    // The Data menu and the event-log Read: they need an unlocked device.
    void Nata2Click();
    void Odosla2Click();
    // Send, or Data > Send and verify: the write read back and compared.
    void sendConfiguration(bool verify);
    void Nata1Click();
    // The event-log Save and Print.
    void Uloi3Click();
    void Tlai1Click();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormClose();

    void buildMenus();
    void buildLinkView(const LinkSetup& link);
    void buildStatusBar();
    void buildSafetyNet();

    // Saves to the Configuration's file, or asks for one; `done` learns whether it was saved.
    void saveThen(std::function<void(bool saved)> done);
    void rememberFile(const QString& path);
    void showRecentFiles();
    void showTitle();
    void showLanguageMark(Language language);
    void transferFinished(link::TransferKind kind, link::TransferEnd end);
    void showListening(link::Transport transport);

    void indexControls(QWidget* root);
    void applyCatalogue(Language language);

    bool reported(const pff::Result& result);
    QString printHeader() const;
    void applyControlTexts(const QHash<QString, QObject*>& controls);
    void showEventChoiceItems();

    Configuration config_;
    std::unique_ptr<FieldBinder> binder_;
    std::unique_ptr<Dialogs> dialogs_;
    SettingsFile settings_;
    const catalogue::LanguageCatalogue* catalogue_ = nullptr;
    QString languageCode_;
    QHash<QString, QObject*> controls_;
    ConfigurationPages* pages_ = nullptr;
    bool completionQueued_ = false;

    TopBar* topBar_ = nullptr;
    EventLogPage* eventLog_ = nullptr;
    DiagnosticsPage* diagnostics_ = nullptr;
    std::unique_ptr<TfRead> transferDialog_;
    std::unique_ptr<WindowLinkView> linkView_;
    QMenu* recentMenu_ = nullptr;
    QActionGroup* languageItems_ = nullptr; // marks the language in use
    QLabel* listening_ = nullptr;           // the status bar's GPRS server line
    std::uint64_t sendRevision_ = 0;        // the Configuration's revision when Send was given
    bool closeSettled_ = false;             // the unsaved changes were saved or discarded for Close
    std::unique_ptr<ConfigurationDocument> document_;
    std::unique_ptr<SafetyNet> safety_;
    GprsAccessBar* gprsAccess_ = nullptr;    // the status bar's
    std::unique_ptr<WindowLink> deviceLink_; // declared last: it goes first

    // Each dialog proposes the name last chosen in it.
    QString lastOpenName_;
    QString lastSaveName_;
    QString lastEventsName_;
};

} // namespace qta::app
