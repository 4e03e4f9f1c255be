// The safety net's files: patches, the number lists as CSV, the backups kept.
#include "SafetyNet.h"

#include "FileNames.h"
#include "TextEdge.h"

#include "compare/BackupName.h"
#include "compare/ConfigPatch.h"
#include "compare/ListsCsv.h"
#include "model/AtomicFile.h"
#include "model/ProfileDocument.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace qta::app {
namespace {

const QString kCsvFilter = QStringLiteral("CSV (*.csv)|*.csv");
// A refusal lists at most this many rows; the rest are counted.
constexpr int kRowsListed = 20;

} // namespace

bool SafetyNet::readFile(const QString& path, std::string& content) {
    const catalogue::Messages& messages = parts_.messages();
    switch (readWholeFile(systemPath(path), content)) {
    case ReadStatus::Read:
        return true;
    case ReadStatus::TooLarge:
        parts_.dialogs->showError(parts_.window,
                                  fromUtf8(messages.msgFileTooLarge).replace(QLatin1String("%s"), path));
        return false;
    case ReadStatus::Missing:
    case ReadStatus::Failed:
        break;
    }
    parts_.dialogs->showError(parts_.window,
                              fromUtf8(messages.msgCannotOpen).replace(QLatin1String("%s"), path));
    return false;
}

void SafetyNet::applyPatch() {
    parts_.dialogs->openFileName(
        parts_.window, {pffFilter(), QStringLiteral("pff"), lastName_}, [this](const QString& name) {
            std::string content;
            if (name.isEmpty() || !readFile(name, content))
                return;
            lastName_ = name;
            auto patched = std::make_shared<Configuration>(*parts_.config);
            const compare::PatchResult result =
                compare::applyPatch(ProfileDocument::parse(content), *patched);
            const catalogue::SafetyTexts& words = texts();
            if (!result.anyKey()) {
                parts_.dialogs->showError(parts_.window, fromUtf8Filled(words.patchHoldsNothing, name));
                return;
            }
            QString summary = QFileInfo(name).fileName() + QLatin1Char(':');
            if (!result.clean()) {
                QStringList dropped;
                for (const std::string& key : result.dropped)
                    dropped << fromUtf8(key);
                summary = fromUtf8Filled(words.patchDropped, dropped.join(QStringLiteral(", "))) +
                          QLatin1Char(' ') + summary;
            }
            showDifferences(fromUtf8(words.patchColumn), summary,
                            compare::diff(*parts_.config, *patched, parts_.language()), patched);
        });
}

// Spreadsheets of a language with a decimal comma separate their columns with ';'.
void SafetyNet::exportLists() {
    parts_.dialogs->saveFileName(
        parts_.window, {kCsvFilter, QStringLiteral("csv"), QString()}, [this](const QString& name) {
            if (name.isEmpty())
                return;
            const compare::CsvFormat format{compare::CsvEncoding::Utf8Bom,
                                            parts_.decimalSeparator == ',' ? ';' : ','};
            const WriteStatus status =
                replaceFileContent(systemPath(name), compare::exportLists(*parts_.config, format));
            if (status == WriteStatus::UnsafeLink)
                parts_.dialogs->showError(
                    parts_.window,
                    fromUtf8(parts_.messages().msgUnsafeLink).replace(QLatin1String("%s"), name));
            else if (status != WriteStatus::Written)
                parts_.dialogs->showError(
                    parts_.window,
                    fromUtf8Filled(texts().cannotWrite, name, QString::fromLocal8Bit(std::strerror(errno))));
        });
}

void SafetyNet::importLists() {
    parts_.dialogs->openFileName(
        parts_.window, {kCsvFilter, QStringLiteral("csv"), QString()}, [this](const QString& name) {
            std::string content;
            if (name.isEmpty() || !readFile(name, content))
                return;
            Configuration trial = *parts_.config;
            const compare::ImportResult checked = compare::importLists(content, trial, false);
            if (!checked.fault.empty()) {
                parts_.dialogs->showError(
                    parts_.window, fromUtf8Filled(texts().notAListFile, name, fromUtf8(checked.fault)));
                return;
            }
            importChecked(content, checked);
        });
}

// All rows good: they go into the window. Otherwise nothing changes, unless the
// user chooses to take the good rows and leave the refused ones.
void SafetyNet::importChecked(const std::string& content, const compare::ImportResult& checked) {
    const catalogue::SafetyTexts& words = texts();
    const auto take = [this, content](bool partial) {
        const compare::ImportResult taken = compare::importLists(content, *parts_.config, partial);
        parts_.say(fromUtf8Filled(texts().imported, QString::number(taken.taken)));
    };
    if (checked.refused.empty()) {
        take(false);
        return;
    }
    QStringList lines = {fromUtf8Filled(words.importRefused, QString::number(checked.refused.size()))};
    for (std::size_t i = 0; i < checked.refused.size() && i < kRowsListed; ++i)
        lines << fromUtf8(checked.refused[i].message());
    if (checked.refused.size() > kRowsListed)
        lines << QStringLiteral("...");
    lines << QString() << fromUtf8(words.importGoodRowsQuestion);
    parts_.dialogs->openQuestion(parts_.window, lines.join(QLatin1Char('\n')), [take](bool yes) {
        if (yes)
            take(true);
    });
}

void SafetyNet::openBackup() {
    const auto folder = compare::backupFolder(parts_.environment);
    const QString path = folder ? fromSystemPath(*folder) : QString();
    const QFileInfoList files =
        path.isEmpty() ? QFileInfoList()
                       : QDir(path).entryInfoList({QStringLiteral("*.pff")}, QDir::Files, QDir::Time);
    if (files.isEmpty()) {
        parts_.dialogs->showMessage(parts_.window, fromUtf8Filled(texts().noBackups, path));
        return;
    }
    QStringList names;
    for (const QFileInfo& file : files)
        names << file.fileName();
    parts_.dialogs->chooseItem(parts_.window, fromUtf8(texts().backupsTitle), names,
                               [this, files](int chosen) {
                                   if (chosen >= 0 && chosen < files.size())
                                       parts_.open(files[chosen].filePath());
                               });
}

} // namespace qta::app
