#include "SafetyNet.h"

#include "DiffDialog.h"
#include "FileNames.h"
#include "TextEdge.h"
#include "TfRead.h"

#include "compare/BackupName.h"
#include "compare/ReadBack.h"
#include "link/LinkMessages.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include <ctime>

namespace qta::app {
namespace {

bool written(link::TransferEnd end) {
    return end == link::TransferEnd::Done || end == link::TransferEnd::ClockNotConfirmed;
}

std::tm localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

} // namespace

SafetyNet::SafetyNet(Parts parts, QObject* parent)
    : QObject(parent), parts_(std::move(parts)), deviceCopy_(*parts_.config), written_(*parts_.config) {}

const catalogue::SafetyTexts& SafetyNet::texts() const {
    return catalogue::safetyTexts(parts_.language());
}

void SafetyNet::addMenuItems(QMenu* file, QAction* beforeFileItem, QMenu* data,
                             std::function<void()> sendAndVerify) {
    using T = catalogue::SafetyTexts;
    const auto add = [this](QMenu* menu, QAction* before, const char* name, std::string T::*text) {
        auto* action = new QAction(menu);
        action->setObjectName(QLatin1String(name));
        menu->insertAction(before, action);
        items_.push_back({action, text});
        return action;
    };
    file->insertSeparator(beforeFileItem);
    connect(add(file, beforeFileItem, "CompareFile", &T::compareWithFile), &QAction::triggered, this,
            &SafetyNet::compareWithFile);
    connect(add(file, beforeFileItem, "ApplyPatch", &T::applyPatch), &QAction::triggered, this,
            &SafetyNet::applyPatch);
    connect(add(file, beforeFileItem, "ExportLists", &T::exportLists), &QAction::triggered, this,
            &SafetyNet::exportLists);
    connect(add(file, beforeFileItem, "ImportLists", &T::importLists), &QAction::triggered, this,
            &SafetyNet::importLists);
    connect(add(file, beforeFileItem, "OpenBackup", &T::openBackup), &QAction::triggered, this,
            &SafetyNet::openBackup);
    file->insertSeparator(beforeFileItem);

    connect(add(data, nullptr, "SendVerify", &T::sendAndVerify), &QAction::triggered, this,
            std::move(sendAndVerify));
    connect(add(data, nullptr, "CompareDevice", &T::compareWithDevice), &QAction::triggered, this,
            &SafetyNet::compareWithDevice);
    data->addSeparator();
    verifyAlways_ = add(data, nullptr, "VerifyAlways", &T::verifyAfterSend);
    verifyAlways_->setCheckable(true);
    verifyAlways_->setChecked(parts_.settings->verifyAfterSend());
    connect(verifyAlways_, &QAction::toggled, this,
            [this](bool on) { parts_.settings->setVerifyAfterSend(on); });
}

void SafetyNet::applyLanguage(Language language) {
    const catalogue::SafetyTexts& words = catalogue::safetyTexts(language);
    for (const Item& item : items_)
        item.action->setText(fromUtf8(words.*item.text));
}

// ---- comparing ----

void SafetyNet::showDifferences(const QString& otherColumn, QString summary,
                                std::vector<compare::Difference> differences,
                                std::shared_ptr<const Configuration> other) {
    const catalogue::SafetyTexts& words = texts();
    if (differences.empty()) {
        parts_.dialogs->showMessage(parts_.window, fromUtf8(words.noDifferences));
        return;
    }
    if (!summary.isEmpty())
        summary += QLatin1Char(' ');
    summary += fromUtf8Filled(words.differenceCount, QString::number(differences.size()));
    Configuration* config = parts_.config;
    auto* dialog =
        new DiffDialog(parts_.window, words,
                       {fromUtf8(words.differencesTitle), summary, otherColumn, std::move(differences)},
                       [config, other](std::span<const compare::Difference> taken) {
                           compare::takeAll(*config, *other, taken);
                       });
    dialog->show();
}

void SafetyNet::compareWithFile() {
    parts_.dialogs->openFileName(parts_.window, {pffFilter(), QStringLiteral("pff"), lastName_},
                                 [this](const QString& name) {
                                     if (name.isEmpty())
                                         return;
                                     lastName_ = name;
                                     compareWith(name);
                                 });
}

void SafetyNet::compareWith(const QString& path) {
    auto other = std::make_shared<Configuration>(Configuration::startup(parts_.decimalSeparator));
    if (const pff::Result opened = pff::open(*other, systemPath(path)); !opened) {
        parts_.reportOpenFailure(opened);
        return;
    }
    showDifferences(fromUtf8(texts().fileColumn), QFileInfo(path).fileName() + ':',
                    compare::diff(*parts_.config, *other, parts_.language()), other);
}

void SafetyNet::compareWithDevice() {
    readAside(Job::Compare, *parts_.config, {});
}

// The copy starts as `start`, so that the settings the image does not carry
// compare equal.
void SafetyNet::readAside(Job job, const Configuration& start, const std::string& phase) {
    link::DeviceLink& device = parts_.device();
    if (device.state().unlocked && !device.transferRunning()) {
        deviceCopy_ = start;
        job_ = job;
        showPhase(phase);
    }
    device.requestReadInto(deviceCopy_); // tells the user when the device is not there
}

bool SafetyNet::transferFinished(link::TransferKind kind, link::TransferEnd end) {
    if (kind == link::TransferKind::Read && job_ != Job::None) {
        const Job job = std::exchange(job_, Job::None);
        asideReadEnded(job, end);
        return true;
    }
    if (kind == link::TransferKind::Read && end == link::TransferEnd::Done)
        readThisConnection_ = true;
    // After the link has finished the step that ended the write.
    if (kind == link::TransferKind::Write && std::exchange(verifyPending_, false) && written(end))
        parts_.afterCurrentStep([this] { startVerify(); });
    return false;
}

void SafetyNet::connectionShown(bool connected) {
    if (!connected)
        readThisConnection_ = false;
}

QString SafetyNet::failedRead(link::TransferEnd end, const std::string& consequence) const {
    return fromUtf8(link::wordTransferEnd(end, 0, parts_.messages())) + QLatin1Char(' ') +
           fromUtf8(consequence);
}

void SafetyNet::asideReadEnded(Job job, link::TransferEnd end) {
    const bool complete = end == link::TransferEnd::Done;
    if (complete)
        readThisConnection_ = true;
    const catalogue::SafetyTexts& words = texts();
    switch (job) {
    case Job::Compare:
        if (!complete) {
            parts_.dialogs->showError(parts_.window,
                                      fromUtf8(link::wordTransferEnd(end, 0, parts_.messages())));
            return;
        }
        showDifferences(fromUtf8(words.deviceColumn), {},
                        compare::diff(*parts_.config, deviceCopy_, parts_.language()),
                        std::make_shared<Configuration>(deviceCopy_));
        return;
    case Job::Backup:
        if (!complete) {
            pendingWrite_ = nullptr;
            parts_.dialogs->showError(parts_.window, failedRead(end, words.backupNotRead));
            return;
        }
        backupRead();
        return;
    case Job::Verify:
        if (!complete) {
            parts_.dialogs->showError(parts_.window, failedRead(end, words.verifyNotDone));
            return;
        }
        if (auto differences =
                compare::verifyDifferences(written_, deviceCopy_, parts_.failureReportsForced(),
                                           parts_.language(), parts_.decimalSeparator);
            !differences.empty()) {
            const QString summary = fromUtf8Filled(words.verifyDiffers, QString::number(differences.size()));
            showDifferences(fromUtf8(words.deviceColumn), summary, std::move(differences),
                            std::make_shared<Configuration>(deviceCopy_));
        } else {
            parts_.dialogs->showMessage(parts_.window, fromUtf8(words.verified));
        }
        return;
    case Job::None:
        break;
    }
}

// ---- Send: the backup before it, the verify after it ----

void SafetyNet::send(std::function<void()> write, bool verify) {
    pendingWrite_ = [this, write = std::move(write), verify = verify || parts_.settings->verifyAfterSend()] {
        // What the device will hold, if the session takes the write now.
        if (link::DeviceLink& device = parts_.device();
            device.state().unlocked && !device.transferRunning()) {
            written_ = *parts_.config;
            verifyPending_ = verify;
            if (verify)
                showPhase(texts().writingPhase);
        }
        write();
    };
    if (!parts_.device().state().unlocked || readThisConnection_) {
        startWrite(); // a device not there is said by the write itself
        return;
    }
    switch (parts_.settings->backupPolicy()) {
    case SettingsFile::BackupPolicy::Never:
        startWrite();
        return;
    case SettingsFile::BackupPolicy::Always:
        backupThenWrite();
        return;
    case SettingsFile::BackupPolicy::Ask:
        askAboutBackup();
        return;
    }
}

void SafetyNet::askAboutBackup() {
    const catalogue::SafetyTexts& words = texts();
    const QStringList answers = {fromUtf8(words.backupRead), fromUtf8(words.backupSkip),
                                 fromUtf8(words.backupAlways), fromUtf8(words.backupNever),
                                 fromUtf8(words.cancel)};
    parts_.dialogs->openChoice(parts_.window, fromUtf8(words.backupQuestion), answers, [this](int answer) {
        using Policy = SettingsFile::BackupPolicy;
        switch (answer) {
        case 2:
            parts_.settings->setBackupPolicy(Policy::Always);
            [[fallthrough]];
        case 0:
            backupThenWrite();
            return;
        case 3:
            parts_.settings->setBackupPolicy(Policy::Never);
            [[fallthrough]];
        case 1:
            startWrite();
            return;
        default:
            pendingWrite_ = nullptr;
            return;
        }
    });
}

void SafetyNet::startWrite() {
    if (const auto write = std::exchange(pendingWrite_, nullptr))
        write();
}

void SafetyNet::backupThenWrite() {
    readAside(Job::Backup, *parts_.config, texts().backupPhase);
    if (job_ != Job::Backup)
        pendingWrite_ = nullptr; // the device went away meanwhile, and the user was told
}

// A backup that cannot be kept stops the write before its first byte.
void SafetyNet::backupRead() {
    std::string error = "no folder for backups is known (HOME is not set)";
    std::string path;
    if (const auto folder = compare::backupFolder(parts_.environment))
        path = compare::saveNewBackup(deviceCopy_, *folder, localNow(), error);
    if (path.empty()) {
        pendingWrite_ = nullptr;
        parts_.dialogs->showError(parts_.window, fromUtf8Filled(texts().backupFailed, fromSystemPath(error)));
        return;
    }
    parts_.say(fromUtf8Filled(texts().backupKept, fromSystemPath(path)));
    parts_.afterCurrentStep([this] { startWrite(); });
}

void SafetyNet::startVerify() {
    readAside(Job::Verify, written_, texts().verifyingPhase);
    if (job_ != Job::Verify)
        parts_.dialogs->showError(parts_.window, fromUtf8(texts().verifyNotDone));
}

void SafetyNet::showPhase(const std::string& phase) {
    if (parts_.transferDialog)
        parts_.transferDialog->setPhase(fromUtf8(phase));
}

} // namespace qta::app
