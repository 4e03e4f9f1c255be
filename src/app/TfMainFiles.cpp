// The File menu and the event log's Save and Print.
#include "TfMain.h"

#include "ConfigurationDocument.h"
#include "DiagnosticsPage.h"
#include "EventLogPage.h"
#include "FileNames.h"
#include "TextEdge.h"
#include "WhileOpen.h"

#include "model/PffFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPrinter>

namespace qta::app {
namespace {

const QString kEventsFilter = QStringLiteral("Textové súbory (*.txt)|*.txt|Všetky súbory (*.*)|*.*");

} // namespace

void TfMain::Nov2Click() {
    document_->whenSettled(whileOpen(this, [this] {
        config_.applyNew();
        diagnostics_->clearDeviceReadouts();
        document_->untied();
    }));
}

void TfMain::Otvori2Click() {
    document_->whenSettled(whileOpen(this, [this] {
        dialogs_->openFileName(this, {pffFilter(), QStringLiteral("pff"), lastOpenName_},
                               whileOpen(this, [this](const QString& name) {
                                   if (name.isEmpty())
                                       return;
                                   lastOpenName_ = name;
                                   openConfiguration(name);
                               }));
    }));
}

void TfMain::openRecentFile(const QString& path) {
    document_->whenSettled(whileOpen(this, [this, path] { openConfiguration(path); }));
}

void TfMain::Uloi2Click() {
    saveThen({});
}

void TfMain::SaveAs1Click() {
    dialogs_->saveFileName(this, {pffFilter(), QStringLiteral("pff"), lastSaveName_},
                           whileOpen(this, [this](const QString& name) {
                               if (name.isEmpty())
                                   return;
                               lastSaveName_ = name;
                               saveConfiguration(name);
                           }));
}

void TfMain::saveThen(std::function<void(bool saved)> done) {
    const auto tell = [done](bool saved) {
        if (done)
            done(saved);
    };
    if (!document_->filePath().isEmpty()) {
        tell(saveConfiguration(document_->filePath()));
        return;
    }
    dialogs_->saveFileName(this, {pffFilter(), QStringLiteral("pff"), lastSaveName_},
                           whileOpen(this, [this, tell](const QString& name) {
                               if (name.isEmpty()) {
                                   tell(false);
                                   return;
                               }
                               lastSaveName_ = name;
                               tell(saveConfiguration(name));
                           }));
}

bool TfMain::openConfiguration(const QString& path) {
    if (!reported(pff::open(config_, systemPath(path))))
        return false;
    document_->tiedTo(path);
    rememberFile(path);
    return true;
}

bool TfMain::saveConfiguration(const QString& path) {
    if (!reported(pff::save(config_, systemPath(path))))
        return false;
    document_->tiedTo(path);
    rememberFile(path);
    return true;
}

// A failed save names the file in the program's one fixed text; anything else
// is explained in the user's language.
bool TfMain::reported(const pff::Result& result) {
    const QString path = fromSystemPath(result.path);
    const auto naming = [&](const std::string& text) {
        return fromUtf8(text).replace(QLatin1String("%s"), path);
    };
    switch (result.error) {
    case pff::Error::None:
        return true;
    case pff::Error::CannotRead:
        dialogs_->showError(this, naming(messages().msgCannotOpen));
        break;
    case pff::Error::NotAPffFile:
        dialogs_->showError(this, naming(messages().msgNotConfiguration));
        break;
    case pff::Error::TooLarge:
        dialogs_->showError(this, naming(messages().msgFileTooLarge));
        break;
    case pff::Error::UnsafeLink:
        dialogs_->showError(this, naming(messages().msgUnsafeLink));
        break;
    case pff::Error::CannotWrite:
        dialogs_->showError(this, fromSystemPath(result.message()));
        break;
    }
    return false;
}

QStringList TfMain::recentFiles() const {
    QStringList paths;
    for (const std::string& path : settings_.recentFiles())
        paths << fromSystemPath(path);
    return paths;
}

// The newest first, each once; kept in the settings file at once, so that a run
// that ends without closing keeps them too.
void TfMain::rememberFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList paths = recentFiles();
    paths.removeAll(absolute);
    paths.prepend(absolute);
    std::vector<std::string> stored;
    for (const QString& each : paths)
        stored.push_back(systemPath(each));
    settings_.setRecentFiles(stored);
    showRecentFiles();
}

void TfMain::showRecentFiles() {
    recentMenu_->clear();
    const QStringList paths = recentFiles();
    for (qsizetype k = 0; k < paths.size(); ++k) {
        const QString path = paths[k];
        QAction* item = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(k + 1).arg(
            QString(path).replace(QLatin1Char('&'), QLatin1String("&&"))));
        connect(item, &QAction::triggered, this, [this, path] { openRecentFile(path); });
    }
    recentMenu_->setEnabled(!paths.isEmpty());
}

void TfMain::Uloi3Click() {
    dialogs_->saveFileName(
        this, {kEventsFilter, QStringLiteral("txt"), lastEventsName_},
        whileOpen(this, [this](const QString& name) {
            if (name.isEmpty())
                return;
            lastEventsName_ = name;
            const WriteStatus saved = eventLog_->save(name);
            if (saved == WriteStatus::UnsafeLink)
                dialogs_->showError(this,
                                    fromUtf8(messages().msgUnsafeLink).replace(QLatin1String("%s"), name));
            else if (saved != WriteStatus::Written)
                dialogs_->showError(this, QStringLiteral("Unable to write to %1").arg(name));
        }));
}

// Every page is headed by the program, the object codes the inputs report under and
// the date printed.
void TfMain::Tlai1Click() {
    auto printer = std::make_shared<QPrinter>();
    dialogs_->choosePrinter(this, printer, whileOpen(this, [this, printer](bool confirmed) {
                                if (confirmed)
                                    eventLog_->print(*printer, printHeader());
                            }));
}

QString TfMain::printHeader() const {
    QStringList codes;
    for (const FieldId id : config_.table().family(Family::ObjCodeIN)) {
        const QString code = fromCp1250(config_.text(id));
        if (!code.isEmpty() && !codes.contains(code))
            codes << code;
    }
    const QString date = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return fromUtf8(catalogue_->title) + QStringLiteral("   ") +
           fromUtf8(messages().msgPrintObject)
               .replace(QLatin1String("%1"), codes.join(QStringLiteral(", "))) +
           QStringLiteral("   ") + fromUtf8(messages().msgPrintDate).replace(QLatin1String("%1"), date);
}

} // namespace qta::app
