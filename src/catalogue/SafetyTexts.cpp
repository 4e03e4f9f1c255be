#include "SafetyTexts.h"

#include "ByLanguage.h"

#include <array>

namespace qta::catalogue {
namespace {

struct Row {
    std::string SafetyTexts::*text;
    ByLanguage<const char*> words;
};

using T = SafetyTexts;

const std::array kRows = {
    Row{&T::compareWithFile, {"Compare with...", "Porovnať s...", "Vergleichen mit..."}},
    Row{&T::compareWithDevice,
        {"Compare with device", "Porovnať so zariadením", "Mit dem Gerät vergleichen"}},
    Row{&T::applyPatch, {"Apply patch...", "Použiť záplatu...", "Patch anwenden..."}},
    Row{&T::exportLists, {"Export lists...", "Exportovať zoznamy...", "Listen exportieren..."}},
    Row{&T::importLists, {"Import lists...", "Importovať zoznamy...", "Listen importieren..."}},
    Row{&T::openBackup, {"Open backup...", "Otvoriť zálohu...", "Sicherung öffnen..."}},
    Row{&T::sendAndVerify, {"Send and verify", "Odoslať a overiť", "Senden und prüfen"}},
    Row{&T::verifyAfterSend,
        {"Verify after every Send", "Overiť po každom odoslaní", "Nach jedem Senden prüfen"}},
    Row{&T::differencesTitle, {"Differences", "Rozdiely", "Unterschiede"}},
    Row{&T::settingColumn, {"Setting", "Nastavenie", "Einstellung"}},
    Row{&T::windowColumn, {"In the window", "V okne", "Im Fenster"}},
    Row{&T::fileColumn, {"In the file", "V súbore", "In der Datei"}},
    Row{&T::deviceColumn, {"In the device", "V zariadení", "Im Gerät"}},
    Row{&T::patchColumn, {"After the patch", "Po záplate", "Nach dem Patch"}},
    Row{&T::takeSelected, {"Take selected", "Prevziať vybrané", "Auswahl übernehmen"}},
    Row{&T::takeAll, {"Take all", "Prevziať všetko", "Alle übernehmen"}},
    Row{&T::close, {"Close", "Zavrieť", "Schließen"}},
    Row{&T::differenceCount,
        {"%1 settings differ.", "Počet rozdielnych nastavení: %1.", "%1 Einstellungen sind verschieden."}},
    Row{&T::forcedMark, {" (set by the device)", " (nastavené zariadením)", " (vom Gerät gesetzt)"}},
    Row{&T::noDifferences,
        {"No differences: every setting is the same.", "Žiadne rozdiely: všetky nastavenia sú rovnaké.",
         "Keine Unterschiede: alle Einstellungen sind gleich."}},
    Row{&T::patchHoldsNothing,
        {"%1 holds no setting of a configuration.", "%1 neobsahuje žiadne nastavenie konfigurácie.",
         "%1 enthält keine Einstellung einer Konfiguration."}},
    Row{&T::patchDropped,
        {"These entries cannot be kept, because a list is filled from the front: %1",
         "Tieto položky nemožno ponechať, lebo zoznam sa plní od začiatku: %1",
         "Diese Einträge können nicht bleiben, weil eine Liste von vorn gefüllt wird: %1"}},
    Row{&T::writingPhase,
        {"Send and verify: writing (1 of 2)", "Odoslať a overiť: zápis (1 z 2)",
         "Senden und prüfen: Schreiben (1 von 2)"}},
    Row{&T::verifyingPhase,
        {"Send and verify: verifying (2 of 2)", "Odoslať a overiť: overenie (2 z 2)",
         "Senden und prüfen: Prüfen (2 von 2)"}},
    Row{&T::backupPhase,
        {"Backup before Send: reading the device", "Záloha pred odoslaním: čítanie zariadenia",
         "Sicherung vor dem Senden: Lesen des Geräts"}},
    Row{&T::verified,
        {"Configuration written and verified: the device holds what was sent.",
         "Konfigurácia zapísaná a overená: zariadenie obsahuje to, čo bolo odoslané.",
         "Konfiguration geschrieben und geprüft: das Gerät enthält, was gesendet wurde."}},
    Row{&T::verifyDiffers,
        {"The configuration was written, but the device holds %1 settings otherwise than sent.",
         "Konfigurácia bola zapísaná, ale zariadenie má %1 nastavení inak, než boli odoslané.",
         "Die Konfiguration wurde geschrieben, aber das Gerät hält %1 Einstellungen anders als gesendet."}},
    Row{&T::verifyNotDone,
        {"The configuration was written; verifying it did not complete.",
         "Konfigurácia bola zapísaná; jej overenie sa nedokončilo.",
         "Die Konfiguration wurde geschrieben; ihre Prüfung wurde nicht abgeschlossen."}},
    Row{&T::backupQuestion,
        {"The device's configuration has not been read in this connection. Read it first and keep it as a "
         "backup before it is overwritten?",
         "Konfigurácia zariadenia v tomto spojení ešte nebola načítaná. Načítať ju najprv a uložiť ako "
         "zálohu, kým sa prepíše?",
         "Die Konfiguration des Geräts wurde in dieser Verbindung noch nicht gelesen. Zuerst lesen und als "
         "Sicherung aufbewahren, bevor sie überschrieben wird?"}},
    Row{&T::backupRead, {"Read and keep", "Načítať a uložiť", "Lesen und aufbewahren"}},
    Row{&T::backupSkip, {"Send without", "Odoslať bez zálohy", "Ohne Sicherung senden"}},
    Row{&T::backupAlways, {"Always", "Vždy", "Immer"}},
    Row{&T::backupNever, {"Never", "Nikdy", "Nie"}},
    Row{&T::cancel, {"Cancel", "Zrušiť", "Abbrechen"}},
    Row{&T::backupKept,
        {"The device's configuration was kept in %1.", "Konfigurácia zariadenia bola uložená do %1.",
         "Die Konfiguration des Geräts wurde in %1 aufbewahrt."}},
    Row{&T::backupFailed,
        {"The backup could not be saved: %1. Nothing was written.",
         "Zálohu nemožno uložiť: %1. Nič nebolo zapísané.",
         "Die Sicherung konnte nicht gespeichert werden: %1. Es wurde nichts geschrieben."}},
    Row{&T::backupNotRead,
        {"The device's configuration could not be read for the backup; nothing was written.",
         "Konfiguráciu zariadenia nemožno načítať pre zálohu; nič nebolo zapísané.",
         "Die Konfiguration des Geräts konnte für die Sicherung nicht gelesen werden; es wurde nichts "
         "geschrieben."}},
    Row{&T::noBackups,
        {"There is no backup in %1 yet.", "V %1 zatiaľ nie je žiadna záloha.",
         "In %1 gibt es noch keine Sicherung."}},
    Row{&T::backupsTitle, {"Backups, newest first", "Zálohy, najnovšie prvé", "Sicherungen, neueste zuerst"}},
    Row{&T::importRefused,
        {"Nothing was imported: %1 rows cannot be taken:",
         "Nič nebolo importované: %1 riadkov nemožno prevziať:",
         "Nichts wurde importiert: %1 Zeilen können nicht übernommen werden:"}},
    Row{&T::importGoodRowsQuestion,
        {"Take the other rows and leave these out?", "Prevziať ostatné riadky a tieto vynechať?",
         "Die übrigen Zeilen übernehmen und diese auslassen?"}},
    Row{&T::notAListFile,
        {"%1 is not a list file: %2", "%1 nie je súbor zoznamov: %2", "%1 ist keine Listendatei: %2"}},
    Row{&T::imported,
        {"%1 list entries and texts imported.", "Importované položky zoznamov a texty: %1.",
         "%1 Listeneinträge und Texte importiert."}},
    Row{&T::cannotWrite,
        {"%1 could not be written: %2", "%1 nemožno zapísať: %2", "%1 konnte nicht geschrieben werden: %2"}},
};

SafetyTexts build(Language language) {
    SafetyTexts texts;
    for (const Row& row : kRows)
        texts.*row.text = row.words.in(language);
    return texts;
}

} // namespace

const SafetyTexts& safetyTexts(Language language) {
    static const std::array<SafetyTexts, 3> all = {build(Language::EN), build(Language::SK),
                                                   build(Language::DE)};
    switch (language) {
    case Language::SK:
        return all[1];
    case Language::DE:
        return all[2];
    case Language::EN:
    case Language::DK:
        break;
    }
    return all[0];
}

} // namespace qta::catalogue
