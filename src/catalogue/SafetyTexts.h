#pragma once

#include "model/Language.h"

#include <string>

namespace qta::catalogue {

// The texts of the window's safety net: comparing, patching, verifying, backups
// and the lists as CSV. UTF-8; "%1" and "%2" stand for what each names.
struct SafetyTexts {
    // Menu items.
    std::string compareWithFile;
    std::string compareWithDevice;
    std::string applyPatch;
    std::string exportLists;
    std::string importLists;
    std::string openBackup;
    std::string sendAndVerify;
    std::string verifyAfterSend;

    // The list of differences.
    std::string differencesTitle;
    std::string settingColumn;
    std::string windowColumn;
    std::string fileColumn;
    std::string deviceColumn;
    std::string patchColumn;
    std::string takeSelected;
    std::string takeAll;
    std::string close;
    std::string differenceCount; // %1
    std::string forcedMark;      // after a value the device sets itself
    std::string noDifferences;
    std::string patchHoldsNothing; // %1 the file
    std::string patchDropped;      // %1 the entries

    // Send and verify, and the backup before a Send.
    std::string writingPhase;
    std::string verifyingPhase;
    std::string backupPhase;
    std::string verified;
    std::string verifyDiffers; // %1 how many
    std::string verifyNotDone;
    std::string backupQuestion;
    std::string backupRead;
    std::string backupSkip;
    std::string backupAlways;
    std::string backupNever;
    std::string cancel;
    std::string backupKept;   // %1 the file
    std::string backupFailed; // %1 why
    std::string backupNotRead;
    std::string noBackups; // %1 the folder
    std::string backupsTitle;

    // The lists as CSV.
    std::string importRefused; // %1 how many, then the rows
    std::string importGoodRowsQuestion;
    std::string notAListFile; // %1 the file, %2 why
    std::string imported;     // %1 how many
    std::string cannotWrite;  // %1 the file, %2 why
};

// Danish reads the English texts.
const SafetyTexts& safetyTexts(Language language);

} // namespace qta::catalogue
