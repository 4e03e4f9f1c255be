#pragma once

#include "Dialogs.h"
#include "SettingsFile.h"

#include "catalogue/LanguageCatalogue.h"
#include "catalogue/SafetyTexts.h"
#include "compare/ConfigDiff.h"
#include "compare/ListsCsv.h"
#include "link/DeviceLink.h"
#include "model/Configuration.h"
#include "model/PffFile.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace qta::app {

class TfRead;

// The window's safety net around its configuration: comparing it with a file or
// the device, patches, the number lists as CSV, a backup read before a Send and
// a verify read after it. The device's configuration is read aside: it never
// replaces the window's fields unless the user takes a value.
class SafetyNet : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QWidget* window = nullptr;
        Configuration* config = nullptr;
        Dialogs* dialogs = nullptr;
        const SettingsFile* settings = nullptr;
        TfRead* transferDialog = nullptr;
        std::function<link::DeviceLink&()> device;
        std::function<Language()> language;
        std::function<const catalogue::Messages&()> messages;
        // The window's Open of a file, which asks about unsaved changes first.
        std::function<void(const QString& path)> open;
        // Reports a file that could not be opened, as the window's Open does.
        std::function<void(const pff::Result& result)> reportOpenFailure;
        // Runs a step once the link has finished the one it is in.
        std::function<void(std::function<void()>)> afterCurrentStep;
        // A line in the window's status bar.
        std::function<void(const QString& text)> say;
        // The device reports the failure-reporting boxes locked on.
        std::function<bool()> failureReportsForced;
        char decimalSeparator = '.';
        // Where backups are kept (XDG_DATA_HOME and HOME are read from it).
        std::function<const char*(const char*)> environment;
    };

    explicit SafetyNet(Parts parts, QObject* parent = nullptr);

    // The items of the File and Data menus; `beforeFileItem` is the File item they go before.
    void addMenuItems(QMenu* file, QAction* beforeFileItem, QMenu* data, std::function<void()> sendAndVerify);
    void applyLanguage(Language language);

    void compareWithFile();
    // The same without the file dialog.
    void compareWith(const QString& path);
    void compareWithDevice();
    void applyPatch();
    void exportLists();
    void importLists();
    void openBackup();

    // A Send that passed the window's checks: `write` starts the write. A device
    // not read in this connection is read and kept first, as the settings say or
    // the user answers; with `verify` (or the setting), the write is read back.
    void send(std::function<void()> write, bool verify);

    // A transfer ended. True when it was a read of this net's own, which the
    // window must not take for its Read.
    bool transferFinished(link::TransferKind kind, link::TransferEnd end);
    // The device went away or came back: a new connection has not been read.
    void connectionShown(bool connected);

private:
    // What a read kept aside is for.
    enum class Job { None, Compare, Backup, Verify };

    const catalogue::SafetyTexts& texts() const;
    // Reads the device into the copy, which starts as `start`; `phase` titles the transfer dialog.
    void readAside(Job job, const Configuration& start, const std::string& phase);
    void asideReadEnded(Job job, link::TransferEnd end);
    void backupRead();
    void startWrite();
    void startVerify();
    void showDifferences(const QString& otherColumn, QString summary,
                         std::vector<compare::Difference> differences,
                         std::shared_ptr<const Configuration> other);
    void backupThenWrite();
    void askAboutBackup();
    QString failedRead(link::TransferEnd end, const std::string& consequence) const;
    bool readFile(const QString& path, std::string& content);
    void importChecked(const std::string& content, const compare::ImportResult& checked);
    void showPhase(const std::string& phase);

    Parts parts_;
    // The device's configuration as read aside; one object for the window's life,
    // as the link keeps its address.
    Configuration deviceCopy_;
    Configuration written_; // what a verified Send wrote
    Job job_ = Job::None;
    bool verifyPending_ = false;
    bool readThisConnection_ = false;
    std::function<void()> pendingWrite_;

    struct Item {
        QAction* action;
        std::string catalogue::SafetyTexts::*text;
    };
    std::vector<Item> items_;
    QAction* verifyAlways_ = nullptr;
    QString lastName_;
};

} // namespace qta::app
