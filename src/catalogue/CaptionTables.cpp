#include "catalogue/CaptionTables.h"

#include "model/DeviceCounts.h"

#include <array>

namespace qta::catalogue::tables {
namespace {

constexpr int kDelayLabels = kInputs + kAnalogInputs + kOutputs; // LabelSEK1..14, one per delay field

constexpr TextRow caption(std::string_view name, Trio text) {
    return {Shape::Single, name, 1, TextRole::Caption, text, false};
}
constexpr TextRow hint(std::string_view name, Trio text) {
    return {Shape::Single, name, 1, TextRole::Hint, text, false};
}
constexpr TextRow each(std::string_view prefix, int members, TextRole role, Trio text) {
    return {Shape::Family, prefix, members, role, text, false};
}
// Captions made of the member's number and a fixed tail.
constexpr TextRow numbered(std::string_view prefix, int members, Trio tail) {
    return {Shape::Family, prefix, members, TextRole::Caption, tail, true};
}
// Hints of every entry of the one list `prefix`<j>.
constexpr TextRow entries(std::string_view prefix, Trio text) {
    return each(prefix, kListLength, TextRole::Hint, text);
}
// Hints of every entry of the lists `prefix`<i>_<j>.
constexpr TextRow listEntries(std::string_view prefix, int lists, Trio text) {
    return {Shape::ListFamily, prefix, lists, TextRole::Hint, text, false};
}
constexpr TextRow numberLabels(Trio tail) {
    return {Shape::NumberLabels, {}, 1, TextRole::Caption, tail, true};
}
constexpr TextRow arcInputLabels(Trio tail) {
    return {Shape::ArcInputLabels, {}, kInputs, TextRole::Caption, tail, true};
}

// clang-format off
constexpr std::array kControlTextRows = {
    numberLabels({". num.", ". číslo", ". Num"}),
    each("LabelSEK", kDelayLabels, TextRole::Caption, {"sec.", "sek.", "sek."}),

    // Page captions
    caption("TabSheet1", {"Digit. inputs", "Digit. vstupy", "Digitaleingänge"}),
    caption("TabSheet4", {"ARC", "PCO", "ARC"}),
    caption("TabSheet5", {"Blocking inputs", "Blokovanie vstupov", "Sperreingang"}),
    caption("TabSheet2", {"Analog. inputs", "Analog. vstupy", "Analogeingänge"}),
    caption("TabSheet3", {"Outputs", "Výstupy", "Ausgänge"}),
    caption("TabSheet6", {"Hearing", "Odposluch", "Fernüberwachung"}),
    caption("TabSheet7", {"Status SMS", "Stavové SMS", "Status-SMS"}),
    caption("TabSheet8", {"Event log", "Denník", "Tagebuch"}),
    caption("TabSheet9", {"Diagnostics", "Diagnostika", "Diagnose"}),

    // Sub-pages: the blank stands before the point ("3 .input")
    numbered("TabSheetIN", kInputs, {" .input", " .vstup", " .Eingang"}),
    numbered("TabSheetAIN", kAnalogInputs, {" .input", " .vstup", " .Eingang"}),
    numbered("TabSheetOUT", kOutputs, {" .output", " .výstup", " .Ausgang"}),

    // Diagnostics page
    caption("GroupBoxDIN", {" Status of inputs  ", " Stav vstupov  ", " Status der Eingänge  "}),
    caption("GroupBoxDOUT", {" Status of outputs  ", " Stav výstupov  ", " Status der Ausgänge  "}),
    caption("GroupBoxDAIN", {"Analog. inputs  ", "Analóg. vstupy  ", "Analogeingänge  "}),
    caption("GroupBoxDT", {"System time", "Systémový čas", "System Zeit"}),
    caption("GroupBoxDPSU", {"Power ", "Napájanie ", "Spannung "}),
    caption("GroupBoxDS", {"Signal  ", "Signál  ", "GSM signal  "}),
    caption("LabelDINAKT", {"Activated", "Aktívny", "Aktiviert"}),
    caption("LabelDINDEA", {"Deactivated", "Neaktívny", "Deaktiviert"}),
    caption("LabelDOON", {"Switch-on", "Zapnutý", "Einschalten"}),
    caption("LabelDOOF", {"Switch-off", "Vypnutý", "Abschalten"}),
    caption("LabelDPSU", {"System voltage", "Systém. napätie", "Systemspannung"}),
    caption("LabelDMPSU", {"Main power", "Hl. napájanie", "Haupt-Strom"}),
    numbered("LabelDIN", kInputs, {". input", ". vstup", ". Eingang"}),
    numbered("LabelDAIN", kAnalogInputs, {". input", ". vstup", ". Eingang"}),
    numbered("LabelDO", kOutputs, {". output", ". výstup", ". Ausgang"}),

    // Digital inputs
    hint("TabSheet1", {"Text of SMS and phone numbers to which will be reported the alarm", "Texty SMS a tel. čísla na ktoré bude hlásený poplach", "Telefonnummer und text SMS für Alarm Versand"}),
    each("GroupBoxSMS_IN", kInputs, TextRole::Caption, {" Text SMS  ", " Texty SMS  ", " Text SMS  "}),
    each("GroupBox_TS_IN", kInputs, TextRole::Caption, {" Phone numbers for SMS messages  ", " Tel. čísla pre SMS správy  ", " Tel. Nr. für Alarm SMS-Versand  "}),
    each("GroupBox_TV_IN", kInputs, TextRole::Caption, {" Phone numbers for voice messages  ", " Tel. čísla pre zvukové správy  ", " Tel. Nr. für Sprachnachrichten  "}),
    each("LabelAkt", kInputs, TextRole::Caption, {"Activation", "Aktivácia", "Aktiviert"}),
    each("LabelDeakt", kInputs, TextRole::Caption, {"Deactivation", "Deaktivácia", "Deaktiviert"}),
    each("LabelDelay", kInputs, TextRole::Caption, {"Delay", "Oneskorenie", "Verzögerung"}),
    each("LabelTypIN", kInputs, TextRole::Caption, {"Input type", "Typ vstupu", "Art der Eing."}),
    each("T_SMS_IN", kInputs, TextRole::Hint, {"Text SMS sended when input is activated", "Text SMS zaslavý pri aktivácii vstupu", "Textnachricht, welche bei einer Zustandsänderung gesendet wird"}),
    each("T_SMS_RIN", kInputs, TextRole::Hint, {"Text SMS sended when input is deactivated", "Text SMS zaslavý pri návrate vstupu do kľudového stavu", "Textnachricht, welche bei einer Zustandsänderung gesendet wird"}),
    each("DELAY_IN", kInputs, TextRole::Hint, {"Minimum activated time for starting calling/sending SMS", "Minimálna doba aktivácie vstupu pre začatie volania/zasielania SMS", "Mindestdauer des Trigger-Impuls aktiviert den Eintrag in Sekunden"}),
    each("NO_IN", kInputs, TextRole::Hint, {"Input will be activated by applied voltage", "Vstup bude reagovať na pripojenie napätia", nullptr}),
    each("NC_IN", kInputs, TextRole::Hint, {"Input will be activated by disconnecting voltage", "Vstup bude reagovať na odpojenie napätia", nullptr}),
    listEntries("TNIN_S_", kInputs, {"Phone numbers which will received SMS messages about alarm", "Tel. číslo, na ktoré bude odoslaná SMS správa o poplachu", "Telefonnummer für Alarm SMS-Versand"}),
    listEntries("TNIN_V_", kInputs, {"Phone numbers which will received voice messages about alarm", "Tel. číslo, na ktoré bude prehraná hovorená správa o poplachu", "Telefonnummer für Sprachnachrichten"}),

    // Analog inputs
    hint("TabSheet2", {"Text of SMS and phone numbers to which will be reported the alarm", "Texty SMS a tel. čísla na ktoré bude hlásený poplach", "Telefonnummer und text SMS für Alarm Versand"}),
    each("GroupBoxSMS_AIN", kAnalogInputs, TextRole::Caption, {" Text SMS  ", " Texty SMS  ", " Text SMS  "}),
    each("GroupBox_TS_AIN", kAnalogInputs, TextRole::Caption, {" Phone numbers for SMS messages  ", " Tel. čísla pre SMS správy  ", " Tel. Nr. für Alarm SMS-Versand  "}),
    each("GroupBox_TV_AIN", kAnalogInputs, TextRole::Caption, {" Phone numbers for voice messages  ", " Tel. čísla pre zvukové správy  ", " Tel. Nr. für Sprachnachrichten  "}),
    each("LabelDelayAIN", kAnalogInputs, TextRole::Caption, {"Delay", "Oneskorenie", "Verzögerung"}),
    each("T_SMS_AIN", kAnalogInputs, TextRole::Hint, {"Text SMS that is sent when input voltage is higher than limit Umax", "Text SMS zaslavý ak napätie na vstupe prekročí nastavenú hodnotu Umax", "Text SMS, die gesendet werden, wenn die Eingangsspannung übersteigt den eingestellten Wert wird"}),
    each("T_SMS_RAIN", kAnalogInputs, TextRole::Hint, {"Text SMS that is sent when input voltage is lower than limit Umin", "Text SMS zaslavý ak napätie na vstupe klesne pod nastavenú hodnotu Umin", "Text SMS, die gesendet werden, wenn die Eingangsspannung unter den eingestellten Wert wird"}),
    each("DELAY_AIN", kAnalogInputs, TextRole::Hint, {"The minimum time during which the input voltage must be out of limit", "Minimálna doba napätia mimo nastavený rozsah pre začatie volania/zasielania SMS", "Der minimale Zeitraum, in dem die Eingangsspannung außerhalb der Grenze sein muss eingestellt"}),
    each("UMAX_AIN", kAnalogInputs, TextRole::Hint, {"Overvoltage will be reported", "Prekročenie nastavenej hodnoty aktivuje volanie/zasielane SMS ", "Überspannung gemeldet werden"}),
    each("UMIN_AIN", kAnalogInputs, TextRole::Hint, {"Undervoltage will be reported", "Pokles pod nastavenú hodnotu aktivuje volanie/zasielane SMS ", "Unterspannung gemeldet werden"}),
    listEntries("TNAIN_S_", kAnalogInputs, {"Phone numbers which will received SMS about analog input is out of limit", "Tel. číslo, na ktoré bude odoslaná SMS správa o napätí mimo nastavený rozsah", "Telefonnummer für Alarm SMS-Versand"}),
    listEntries("TNAIN_V_", kAnalogInputs, {"Phone numbers which will received voice messages about analog input is out of limit", "Tel. číslo, na ktoré bude prehraná hovorená správa o napätí mimo nastavený rozsah", "Telefonnummer für Sprachnachrichten"}),

    // Outputs
    hint("TabSheet3", {"Text SMS, DTMF code and phone numbers for controlling outputs", "Texty SMS, DTMF kódy a tel. čísla z ktorých bude možné ovládať výstupy", "Text SMS, DTMF Code und Telefonnummern für Fernsteuerung"}),
    caption("Label18", {"Swich-on on blocking", "Zopnúť pri blokovaní", "Swich-on on blocking"}),
    caption("Label19", {"Swich-on on dialing", "Zopnúť pri volaní", "Swich-on on dialing"}),
    each("GroupBoxDTMF_OUT", kOutputs, TextRole::Caption, {"  DTMF code  ", "  DTMF kód  ", "  DTMF Code  "}),
    each("GroupBoxSMS_OUT", kOutputs, TextRole::Caption, {" Text SMS  ", " Texty SMS  ", " Text SMS  "}),
    each("GroupBox_TS_OUT", kOutputs, TextRole::Caption, {" Phone numbers for controlling the output by SMS  ", " Tel. čísla pre ovládanie SMS správou  ", " Tel. Nr. für Ausgang SMS-Fernsteuerung  "}),
    each("GroupBox_TV_OUT", kOutputs, TextRole::Caption, {" Phone numbers for controlling the output by ringing  ", " Tel. čísla pre ovládanie prezvonením  ", " Tel. Nr. für Ausgang Empfang-Fernsteuerung  "}),
    each("LabelON", kOutputs, TextRole::Caption, {"Switch on", "Zapnutie", "Einschalten"}),
    each("LabelOFF", kOutputs, TextRole::Caption, {"Switch off", "Vypnutie", "Ausschalten"}),
    each("LabelDTMFON", kOutputs, TextRole::Caption, {"Switch on", "Zapnutie", "Einschalten"}),
    each("LabelDTMFOFF", kOutputs, TextRole::Caption, {"Switch off", "Vypnutie", "Ausschalten"}),
    each("LabelTimeOn", kOutputs, TextRole::Caption, {"Switch-on time", "Doba zopnutia", "Einschaltdauer"}),
    each("T_SMS_OUT_ON_", kOutputs, TextRole::Hint, {"Text SMS that will switch on the output", "Text SMS na zapnutie výstupu", "Text SMS für Ausgang Einschalten"}),
    each("T_SMS_OUT_OFF_", kOutputs, TextRole::Hint, {"Text SMS that will switch off the output", "Text SMS na vypnutie výstupu", "Text SMS für Ausgang Ausschalten"}),
    each("DTMF_OUT_ON_", kOutputs, TextRole::Hint, {"DTMF code that will switch on the output", "DTMF kód na zapnutie výstupu", "DTMF Code für Ausgang Einschalten"}),
    each("DTMF_OUT_OFF_", kOutputs, TextRole::Hint, {"DTMF code that will switch off the output", "DTMF kód na vypnutie výstupu", "DTMF Code für Ausgang Ausschalten"}),
    listEntries("TNOUT_S_", kOutputs, {"Phone number from which will be allowed controlling the output by SMS", "Tel. číslo, z ktorého bude možné ovládať výstup zaslaním SMS", "Telefonnummern für Ausgang SMS-Fernsteuerung"}),
    listEntries("TNOUT_V_", kOutputs, {"Phone number from which will be allowed controlling the output by ringing", "Tel. číslo, z ktorého bude možné ovládať výstup prezvonením", "Telefonnummern für Ausgang Empfang-Fernsteuerung"}),

    // Hearing
    hint("TabSheet6", {"Phone numbers for remote tapping / hearing", "Tel. čísla, z ktorých bude možný odposluch priestoru", "Telefonnummern für Fernüberwachung"}),
    caption("GroupBoxTNLS", {" Ph. numbers for remote tapping / hearing  ", " Tel. čísla pre odposluch  ", " Tel. Nr. für Fernüberwachung  "}),
    entries("TNLS_", {"Phone numbers for which will remote tapping / hearing allowed", "Tel. číslo, z ktorého bude možný odposluch priestoru", "Telefonnummern für die Remote-Klopfen / Hören erlaubt wird"}),

    // Status SMS
    hint("TabSheet7", {"Phone number to which will be sent error or status SMS", "Tel. čísla, na ktoré bude odoslaná stavová alebo chybová SMS a parametre automat. zasielania", "Text Nachricht mit Status-Meldungen an folgende Nummern"}),
    caption("GroupBoxTNSSMS", {" Ph. numbers for sending status SMS  ", " Tel. čísla pre zasielanie stavových SMS  ", " Tel. Nr. für Text Nachricht mit Status-Meldungen  "}),
    caption("GroupBoxASSMS", {" Automat. sending SMS  ", " Automat. zasielanie SMS  ", " Automat. SMS-Versand  "}),
    caption("LabelInt", {"Interval", "Interval", "Interval"}),
    caption("LabelTime", {"Time", "Čas", "Zeit"}),
    caption("LabelDays", {"(days)", "(dní)", "(tage)"}),
    caption("LabelHour", {"(hour.)", "(hod.)", "(00:Uhr)"}),
    hint("Auto_1", {"Interval of automat. sending messages about status (0=SMS do not sended automatically)", "Interval, v akom budú automaticky zasielané SMS o stave zariadenia (0=SMS nebudú zasielané automaticky, iba na vyžiadanie)", "Interval von automatischen Senden von Status-SMS Nachrichten"}),
    hint("Auto_2", {"Time of automat. message sending about status", "Hodina v ktorej budú automaticky zasielané SMS o stave zariadenia", "Uhr von automatischen Senden von Status-SMS Nachrichten"}),
    entries("TNSSMS_", {"Phone number to which will be sent error or status SMS", "Tel. číslo, na ktoré bude odoslaná stavová alebo chybová SMS", "Telefonnummern für Text Nachricht mit Status-Meldungen"}),
    caption("GroupBoxTech", {" Sending errors  ", " Zasielanie chybových stavov  ", " Senden Fehlerbedingungen  "}),
    caption("CheckBox230V", {"Send fail main PSU", "Zasielať výpadok napájania", "Fehler Haupt-Strom"}),
    caption("CheckBoxAku", {"Send fail aku", "Zasielať výpadok aku", "Fehler Aku"}),
    caption("CheckBoxJam", {"Send jamming detection", "Zasielať zachytenie rušičky", "GSM-Jamming"}),

    // Event log and diagnostics pages
    hint("TabSheet8", {"After receiving event logs displays last 256 events", "Po načítaní zobrazuje pamäť posledných 256 udalostí", "Nach Erhalt Ereignisprotokolle Displays letzten 256 Ereignisse"}),
    hint("TabSheet9", {"Displays the status of inputs, outputs, system time, internal power supply and level the GSM signal", "Zobrazuje stav vstupov, výstupov, systémový čas, interné napájacie napätie a úroveň GSM signálu", "Zeigt den Status der Eingänge, Ausgänge, Systemzeit, internes Netzteil und das Niveau der GSM-Signal"}),

    // ARC
    hint("TabSheet4", {"Values needed for sending alarms to ARC", "Údaje potrebné pre zasielanie udalostí na PCO", "Die Daten für das Senden von Ereignissen an ARC benötigt"}),
    caption("GroupBox3", {"Access to ARC  ", "Prístup na PCO  ", "Termine ARC  "}),
    caption("Label14", {"IP adress", "IP adresa", "IP adresse"}),
    caption("Label22", {"IP adress", "IP adresa", "IP adresse"}),
    caption("Label24", {"Ph. number for SMS:", "  Tel. číslo pre SMS:", "      Tel. Nr. für SMS:"}),
    caption("Label16", {"Interval of periodic test", "Interval testu spojenia :", "Intervall der Prüfung "}),
    caption("Label17", {"hours", "hodín", "Stunden"}),
    caption("GroupBox2", {"Data codes  ", "Vysielané kódy ", "Ereignis-Code "}),
    arcInputLabels({". input", ". vstup", ".Eingang"}),
    caption("Label6", {"Account", "Kód objektu", "Objekt-Code"}),
    caption("Label3", {"Reported event", "Udalosť", "Geschehnis"}),
    caption("Label4", {"Group/Partition", "Skupina/partícia", "Gruppe/Teilung"}),
    caption("Label5", {"Zone/User", "Zóna/užívateľ", "Zone/Benutzer"}),

    // Blocking inputs
    caption("GroupBox8", {" Text SMS  ", " Texty SMS  ", " Text SMS  "}),
    caption("Label90", {"Blocking", "Blokovať", "Blockierung"}),
    caption("Label89", {"Deblocking", "Odblokovať", "Deblockierung"}),
    caption("GroupBox5", {" DTMF code  ", " DTMF kód  ", " DTMF Code  "}),
    caption("Label20", {"Blocking", "Blokovať", "Blockierung"}),
    caption("Label21", {"Deblocking", "Odblokovať", "Deblockierung"}),
    caption("GroupBox7", {" Phone numbers for blocking by ringing  ", " Tel. čísla pre blokovanie prezvonením  ", " Tel. Nr. für Blockierung bei Empfang  "}),
    caption("GroupBox6", {" Phone numbers for blocking by SMS  ", " Tel. čísla pre blokovanie SMS správou  ", " Tel. Nr. für Blockierung bei SMS  "}),
    hint("MemoBlock_1", {"Text SMS for blocking", "Text SMS pre blokovanie", "Text SMS für Blockierung"}),
    hint("MemoBlock_2", {"Text SMS for deblocking", "Text SMS pre odblokovanie", "Text SMS für Deblockierung"}),
    hint("DTMF_BLOCK1", {"DTMF code for blocking", "DTMF kód pre blokovanie", "DTMF Code für Blockierung"}),
    hint("DTMF_BLOCK2", {"DTMF code for deblocking", "DTMF kód pre odblokovanie", "DTMF Code für Deblockierung"}),
    entries("TNBLK_S_", {"Phone numbers for blocking by SMS", "Tel. čísla pre blokovanie SMS správou", "Tel. Nr. für Blockierung bei SMS"}),
    entries("TNBLK_V_", {"Phone numbers for blocking by ringing", "Tel. čísla pre blokovanie prezvonením", "Tel. Nr. für Blockierung bei Empfang"}),

};

constexpr std::array kMenuRows = {
    MenuRow{"Nov1", {"File", "Súbor", "Feile"}},
    MenuRow{"Nov2", {"New", "Nový", "Neu"}},
    MenuRow{"Otvori2", {"Open", "Otvoriť", "Öffnen"}},
    MenuRow{"Uloi2", {"Save", "Uložiť", "Sparen"}},
    MenuRow{"N1", {"Close", "Koniec", "Ende"}},
    MenuRow{"Uloi1", {"Data", "Dáta", "Daten"}},
    MenuRow{"Nata2", {"Read", "Načítať", "Lesen"}},
    MenuRow{"Odosla2", {"Send", "Odoslať", "Senden"}},
    MenuRow{kEventLogMenuItem, {"Event log", "Denník", "Tagebuch"}},
    MenuRow{"Nata1", {"Read", "Načítať", "Lesen"}},
    MenuRow{"Uloi3", {"Save", "Uložiť", "Sparen"}},
    MenuRow{"Tlai1", {"Print", "Tlačiť", "Drucken"}},
    MenuRow{"Lang", {"Language", "Jazyk", "Sprache"}},
    MenuRow{"SK", {"Slovak", "Slovenský", "Slowakisch"}},
    MenuRow{"EN", {"English", "Anglický", "Englisch"}},
    MenuRow{"DE", {"German", "Nemecký", "Deutsch"}},
};

// The program's own menu items, beyond the sixteen of the catalogue.
constexpr std::array kOwnMenuRows = {
    MenuRow{"SaveAs1", {"Save As...", "Uložiť ako...", "Speichern unter..."}},
    MenuRow{"Recent1", {"Recent files", "Naposledy otvorené", "Zuletzt geöffnet"}},
};

constexpr std::array kMessageRows = {
    MessageRow{&Messages::msgDisconnected, {"Disconnected", "Odpojené", "Getrennt"}},
    MessageRow{&Messages::msgConnected, {"Connected", "Pripojené", "Verbunden"}},
    MessageRow{&Messages::msgNotConnected, {"Device not connected !", "Nepripojené zariadenie !", "Nich angeschlossene Gerät !"}},
    MessageRow{&Messages::msgSending, {"Sending data", "Odosielanie dát", "Senden von Daten"}},
    MessageRow{&Messages::msgReading, {"Reading data from dialer", "Načítavanie dát z volača", "Laden von Daten"}},
    MessageRow{&Messages::msgEnterAccess, {"Enter access password", "Zadajte prístupový kód", "Geben Sie den Zugangscode"}},
    MessageRow{&Messages::msgAccessLabel, {"Password", "Prístupový kód", "Zugangscode"}},
    MessageRow{&Messages::msgWrongAccess, {"Wrong access code !", "Nesprávny prístupový kód !", "Falschen Zugangscode !"}},
    MessageRow{&Messages::msgInProgress, {"Transfer in progress. Please wait.", "Prenášajú sa dáta. Prosím, čakajte.", "Übertragen die Daten. Bitte warten."}},
    MessageRow{&Messages::msgWaiting, {"Waiting for answer... ", "Čakám na odpoveď... ", "Warten auf Antwort... "}},
    MessageRow{&Messages::msgCannotOpen, {"Unable to read %s", "Súbor %s sa nedá načítať", "%s kann nicht gelesen werden"}},
    MessageRow{&Messages::msgNotConfiguration, {"%s is not a QTA 710 configuration file", "%s nie je konfiguračný súbor QTA 710", "%s ist keine Konfigurationsdatei des QTA 710"}},
    MessageRow{&Messages::msgCancel, {"Cancel", "Storno", "Abbrechen"}},
    MessageRow{&Messages::msgNoAnswer, {"The device stopped answering.", "Zariadenie prestalo odpovedať.", "Das Gerät antwortet nicht mehr."}},
    MessageRow{&Messages::msgCancelled, {"The transfer was cancelled.", "Prenos bol zrušený.", "Die Übertragung wurde abgebrochen."}},
    MessageRow{&Messages::msgLinkLost, {"The connection to the device was lost.", "Spojenie so zariadením sa prerušilo.", "Die Verbindung zum Gerät wurde unterbrochen."}},
    MessageRow{&Messages::msgNotAccepted, {"The device did not accept the command.", "Zariadenie neprijalo príkaz.", "Das Gerät hat den Befehl nicht angenommen."}},
    MessageRow{&Messages::msgBlocksMissing, {"The device did not send every block of the configuration.", "Zariadenie neposlalo všetky bloky konfigurácie.", "Das Gerät hat nicht alle Blöcke der Konfiguration gesendet."}},
    MessageRow{&Messages::msgClockNotConfirmed, {"The configuration was written to the device; only setting its clock was not confirmed.", "Konfigurácia bola zapísaná do zariadenia; nepotvrdilo sa len nastavenie jeho hodín.", "Die Konfiguration wurde in das Gerät geschrieben; nur das Stellen seiner Uhr wurde nicht bestätigt."}},
    MessageRow{&Messages::msgEchoRefused, {"The device did not confirm a block sent %1 times.", "Zariadenie nepotvrdilo blok odoslaný %1-krát.", "Das Gerät hat einen %1-mal gesendeten Block nicht bestätigt."}},
    MessageRow{&Messages::msgWriteIncomplete, {"The configuration was not written completely: the device may hold a mixed configuration. Send it again.", "Konfigurácia nebola zapísaná celá: zariadenie môže mať zmiešanú konfiguráciu. Odošlite ju znova.", "Die Konfiguration wurde nicht vollständig geschrieben: das Gerät kann eine gemischte Konfiguration enthalten. Senden Sie sie erneut."}},
    MessageRow{&Messages::msgReadIncomplete, {"The configuration was not read completely: the fields may be partly replaced. Read it again.", "Konfigurácia nebola načítaná celá: polia môžu byť čiastočne prepísané. Načítajte ju znova.", "Die Konfiguration wurde nicht vollständig gelesen: die Felder können teilweise ersetzt sein. Lesen Sie sie erneut."}},
    MessageRow{&Messages::msgLogIncomplete, {"The event log was not read completely. Read it again.", "Denník nebol načítaný celý. Načítajte ho znova.", "Das Tagebuch wurde nicht vollständig gelesen. Lesen Sie es erneut."}},
    MessageRow{&Messages::msgCodeNoAnswer, {"The device did not answer the access code. Wait until it asks for the code again.", "Zariadenie neodpovedalo na prístupový kód. Počkajte, kým si ho znova vyžiada.", "Das Gerät hat auf den Zugangscode nicht geantwortet. Warten Sie, bis es erneut danach fragt."}},
    MessageRow{&Messages::msgPortPermission, {"The USB adapter %1 cannot be opened: it belongs to the user %2 and the group %3. Add your user to the group %3 (sudo usermod -aG %3 $USER), then log out and in again.", "USB adaptér %1 sa nedá otvoriť: patrí používateľovi %2 a skupine %3. Pridajte svojho používateľa do skupiny %3 (sudo usermod -aG %3 $USER) a znova sa prihláste.", "Der USB-Adapter %1 kann nicht geöffnet werden: er gehört dem Benutzer %2 und der Gruppe %3. Fügen Sie Ihren Benutzer der Gruppe %3 hinzu (sudo usermod -aG %3 $USER) und melden Sie sich neu an."}},
    MessageRow{&Messages::msgUdevRuleFix, {"Or install the programmer's package (qta710): its udev rule 60-qta710.rules lets the logged-in user open the adapter. Then plug the device in again.", "Alebo nainštalujte balík programátora (qta710): jeho pravidlo udev 60-qta710.rules dovolí prihlásenému používateľovi otvoriť adaptér. Potom zariadenie znova pripojte.", "Oder installieren Sie das Paket des Programmers (qta710): seine udev-Regel 60-qta710.rules erlaubt dem angemeldeten Benutzer, den Adapter zu öffnen. Schließen Sie das Gerät danach neu an."}},
    MessageRow{&Messages::msgModemManager, {"ModemManager is running and the programmer's udev rule 60-qta710.rules is not installed: ModemManager may take the USB adapter for a modem and garble the device's first bytes. Install the programmer's package (qta710), whose rule tells ModemManager to leave the adapter alone, or stop ModemManager (sudo systemctl stop ModemManager).", "Beží ModemManager a pravidlo udev programátora 60-qta710.rules nie je nainštalované: ModemManager môže USB adaptér považovať za modem a pokaziť prvé bajty zariadenia. Nainštalujte balík programátora (qta710), ktorého pravidlo ModemManageru prikáže nechať adaptér na pokoji, alebo ModemManager zastavte (sudo systemctl stop ModemManager).", "ModemManager läuft und die udev-Regel 60-qta710.rules des Programmers ist nicht installiert: ModemManager kann den USB-Adapter für ein Modem halten und die ersten Bytes des Geräts verfälschen. Installieren Sie das Paket des Programmers (qta710), dessen Regel ModemManager den Adapter in Ruhe lassen lässt, oder halten Sie ModemManager an (sudo systemctl stop ModemManager)."}},
    MessageRow{&Messages::msgBrltty, {"A USB adapter appeared and vanished again within two seconds, and brltty is installed: the braille display driver brltty took the adapter. Remove brltty (sudo apt remove brltty) or mask its udev rule (sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules), then plug the device in again.", "USB adaptér sa objavil a do dvoch sekúnd zase zmizol a je nainštalovaný brltty: ovládač brailleovských displejov brltty si adaptér vzal. Odstráňte brltty (sudo apt remove brltty) alebo zamaskujte jeho pravidlo udev (sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules) a zariadenie znova pripojte.", "Ein USB-Adapter ist erschienen und innerhalb von zwei Sekunden wieder verschwunden, und brltty ist installiert: der Braillezeilen-Treiber brltty hat den Adapter übernommen. Entfernen Sie brltty (sudo apt remove brltty) oder maskieren Sie seine udev-Regel (sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules) und schließen Sie das Gerät neu an."}},
    MessageRow{&Messages::msgCloseDuringTransfer, {"A transfer is running. Cancel it and close the program?", "Prebieha prenos dát. Zrušiť ho a zatvoriť program?", "Eine Übertragung läuft. Abbrechen und das Programm schließen?"}},
    MessageRow{&Messages::msgBadAccessCode, {"The new access password (Pass) must be 1 to 31 printable ASCII characters: letters without accents, digits, signs or spaces. Nothing was sent.", "Nový prístupový kód (Pass) musí mať 1 až 31 tlačiteľných znakov ASCII: písmená bez diakritiky, číslice, znaky alebo medzery. Nič sa neodoslalo.", "Der neue Zugangscode (Pass) muss 1 bis 31 druckbare ASCII-Zeichen haben: Buchstaben ohne Akzente, Ziffern, Zeichen oder Leerzeichen. Es wurde nichts gesendet."}},
    MessageRow{&Messages::msgFileTooLarge, {"%s is larger than 16 MB: no QTA 710 file is that large, so it was not read.", "Súbor %s je väčší ako 16 MB: taký veľký súbor QTA 710 nie je, preto sa nenačítal.", "%s ist größer als 16 MB: so groß ist keine Datei des QTA 710, daher wurde sie nicht gelesen."}},
    MessageRow{&Messages::msgUnsafeLink, {"Unable to write to %s: it goes through a symbolic link in a shared folder that belongs neither to you nor to the folder's owner, so the link is not followed.", "Do %s sa nedá zapisovať: cesta vedie cez symbolický odkaz v zdieľanom priečinku, ktorý nepatrí vám ani vlastníkovi priečinka, preto sa odkaz nesleduje.", "%s kann nicht geschrieben werden: der Weg führt über einen symbolischen Link in einem gemeinsamen Ordner, der weder Ihnen noch dem Besitzer des Ordners gehört, daher wird dem Link nicht gefolgt."}},
    MessageRow{&Messages::msgUnsavedChanges, {"The configuration has changes that are not saved. Save them?", "Konfigurácia má neuložené zmeny. Uložiť ich?", "Die Konfiguration hat Änderungen, die nicht gespeichert sind. Speichern?"}},
    MessageRow{&Messages::msgSaveButton, {"Save", "Uložiť", "Speichern"}},
    MessageRow{&Messages::msgDiscardButton, {"Discard", "Zahodiť", "Verwerfen"}},
    MessageRow{&Messages::msgReplaceUnsaved, {"The configuration has changes that are not saved. Replace them with the device's configuration?", "Konfigurácia má neuložené zmeny. Nahradiť ich konfiguráciou zo zariadenia?", "Die Konfiguration hat Änderungen, die nicht gespeichert sind. Durch die Konfiguration des Geräts ersetzen?"}},
    MessageRow{&Messages::msgWrittenAt, {"Configuration written to the device, %1", "Konfigurácia zapísaná do zariadenia, %1", "Konfiguration in das Gerät geschrieben, %1"}},
    MessageRow{&Messages::msgReadAt, {"Configuration read from the device, %1", "Konfigurácia načítaná zo zariadenia, %1", "Konfiguration aus dem Gerät gelesen, %1"}},
    MessageRow{&Messages::msgLogReadAt, {"Event log read from the device, %1", "Denník načítaný zo zariadenia, %1", "Tagebuch aus dem Gerät gelesen, %1"}},
    MessageRow{&Messages::msgProgress, {"%1 %, about %2 left", "%1 %, zostáva asi %2", "%1 %, noch etwa %2"}},
    MessageRow{&Messages::msgListening, {"GPRS: listening on port %1 at %2", "GPRS: čaká na porte %1 na adresách %2", "GPRS: wartet auf Port %1 unter %2"}},
    MessageRow{&Messages::msgLampUsb, {"Lit while the USB adapter is open. A click does nothing over USB.", "Svieti, kým je USB adaptér otvorený. Kliknutie pri USB nerobí nič.", "Leuchtet, solange der USB-Adapter geöffnet ist. Ein Klick bewirkt bei USB nichts."}},
    MessageRow{&Messages::msgLampGprs, {"Lit while a device is connected over GPRS. A click asks the device to end the connection.", "Svieti, kým je zariadenie pripojené cez GPRS. Kliknutie požiada zariadenie o ukončenie spojenia.", "Leuchtet, solange ein Gerät über GPRS verbunden ist. Ein Klick bittet das Gerät, die Verbindung zu beenden."}},
    MessageRow{&Messages::msgWarnAddress, {"%1: \"%2\" is not an IPv4 address.", "%1: \"%2\" nie je adresa IPv4.", "%1: \"%2\" ist keine IPv4-Adresse."}},
    MessageRow{&Messages::msgWarnPort, {"%1: \"%2\" is not a port from 1 to 65535.", "%1: \"%2\" nie je port od 1 do 65535.", "%1: \"%2\" ist kein Port von 1 bis 65535."}},
    MessageRow{&Messages::msgWarnNumbers, {"%1: %2 number(s) in this list are longer than 14 characters; the device keeps only the first 14.", "%1: %2 čísla v tomto zozname sú dlhšie ako 14 znakov; zariadenie si ponechá len prvých 14.", "%1: %2 Nummer(n) dieser Liste sind länger als 14 Zeichen; das Gerät behält nur die ersten 14."}},
    MessageRow{&Messages::msgSendAnyway, {"Send anyway?", "Napriek tomu odoslať?", "Trotzdem senden?"}},
    MessageRow{&Messages::msgPortUnavailable, {"The USB adapter %1 cannot be opened: %2", "USB adaptér %1 sa nedá otvoriť: %2", "Der USB-Adapter %1 kann nicht geöffnet werden: %2"}},
    MessageRow{&Messages::msgPortInUse, {"it is in use by another program", "používa ho iný program", "es wird von einem anderen Programm benutzt"}},
    MessageRow{&Messages::msgNotSerialPort, {"it is not a serial port", "nie je to sériový port", "es ist keine serielle Schnittstelle"}},
    MessageRow{&Messages::msgPrintObject, {"Object code: %1", "Kód objektu: %1", "Objektcode: %1"}},
    MessageRow{&Messages::msgPrintDate, {"Printed: %1", "Vytlačené: %1", "Gedruckt: %1"}},
    MessageRow{&Messages::msgGprsOpenToAll, {"Any peer that connects over GPRS will be sent the access code: narrow who may connect (listening address, allowed networks).", "Každému, kto sa pripojí cez GPRS, sa pošle prístupový kód: obmedzte, kto sa môže pripojiť (adresa počúvania, povolené siete).", "Jeder, der sich über GPRS verbindet, erhält den Zugangscode: schränken Sie ein, wer sich verbinden darf (Empfangsadresse, erlaubte Netze)."}},
    MessageRow{&Messages::msgGprsAccess, {"Who may connect...", "Kto sa môže pripojiť...", "Wer sich verbinden darf..."}},
    MessageRow{&Messages::msgGprsListenAddress, {"Listen on the address (empty: every address):", "Počúvať na adrese (prázdne: každá adresa):", "Auf der Adresse empfangen (leer: jede Adresse):"}},
    MessageRow{&Messages::msgGprsAllowedNetworks, {"Allowed networks, e.g. 192.168.1.0/24 10.0.0.7 (empty: any):", "Povolené siete, napr. 192.168.1.0/24 10.0.0.7 (prázdne: všetky):", "Erlaubte Netze, z. B. 192.168.1.0/24 10.0.0.7 (leer: alle):"}},
    MessageRow{&Messages::msgGprsNotAnAddress, {"%s is not an IPv4 or IPv6 address or network.", "%s nie je adresa ani sieť IPv4 alebo IPv6.", "%s ist keine IPv4- oder IPv6-Adresse und kein solches Netz."}},
};
// clang-format on

} // namespace

std::span<const TextRow> controlTextRows() {
    return kControlTextRows;
}
std::span<const MenuRow> menuRows() {
    return kMenuRows;
}
std::span<const MenuRow> ownMenuRows() {
    return kOwnMenuRows;
}
std::span<const MessageRow> messageRows() {
    return kMessageRows;
}

const Trio kTitle{"Programmer for QAT 710 Vavi v 3.1", "Programátor QTA 710 Vavi v 4.1",
                  "Programmer für QTA710 Vavi v 4.1"};
const Trio kHesloCaption{"Password", "Heslo", "Zugangscode"};
const Trio kHesloHint{"Enter new acces password", "Zadajte nové prístupové heslo",
                      "Das neue Kennwort eingeben"};
const ByLanguage<int> kHesloLeft{315, 336, 297};
const Trio kApnHint{"Access Point Name - ask tou mobile operator for proper value",
                    "miesto prístupu - nastavte podľa mobilného operátora",
                    "Access Point Name-abhängig Ihrem Mobilfunkbetreiber"};

const char* const kDanishTitle = "Programmer for QAT 710 Vavi v 4.1";
const char* const kDanishEventLogMenuCaption = "Hndelser";

} // namespace qta::catalogue::tables
