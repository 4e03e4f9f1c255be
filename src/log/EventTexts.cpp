#include "EventTexts.h"

#include <array>
#include <string_view>

namespace qta::log {
namespace {

// Every text from code 1 on starts with this.
constexpr std::string_view kSeparator = "  -  ";

// The phrases one language builds its families of event texts from. '#' stands
// for the number of the input or output.
struct TextSet {
    std::string_view jammerDetected; // code 0, the one text without separator
    std::string_view voiceCall;
    std::string_view sendedSms;
    std::string_view reportingToArc;
    std::array<std::string_view, 2> outcome; // successful, failed
    std::string_view inputActivated;
    std::string_view inputDeactivated;
    std::string_view inputDeactivatedInSms;         // German misspells it in the SMS family only
    std::array<std::string_view, 2> analogLimit;    // over, under
    std::array<std::string_view, 2> outputSwitched; // on, off
    std::array<std::string_view, 3> outputMeans;    // calling, DTMF, SMS
    std::array<std::string_view, 2> inputsBlocked;  // blocking, unblocking
    std::array<std::string_view, 3> blockingMeans;  // ringing, SMS, DTMF
};

constexpr TextSet kEnglish = {
    "GSM jammer detected !",
    "Voice call",
    "sended SMS",
    "reporting to ARC",
    {"successful", "failed"},
    "Input # activated",
    "Input # deactivated",
    "Input # deactivated",
    {"Analog input # overvoltage", "Analog input # undervoltage"},
    {"output # switch-on by ", "output # switch-off by "},
    {"calling", "DTMF code", "SMS"},
    {"inputs blockig by ", "inputs deblockig by "},
    {"ringing", "SMS", "DTMF"},
};

constexpr TextSet kSlovak = {
    "Zachytena rusicka GSM !",
    "Hlasové volanie",
    "odoslaná SMS",
    "odoslanie na PCO",
    {"úspešné", "neúspešné"},
    "Aktivovaný vstup #",
    "Deaktivovaný vstup #",
    "Deaktivovaný vstup #",
    {"Analog. vstup # nad limit", "Analog. vstup # pod limit"},
    {"výstup # zapnutý ", "výstup # vypnutý "},
    {"preznovením", "DTMF kódom", "SMS"},
    {"vstupy zablokované ", "vstupy odblokované "},
    {"prezvonením", "SMS", "DTMF"},
};

constexpr TextSet kGerman = {
    "GSM-Jamming erkannt!",
    "Sprachnachricht",
    "Gesendet SMS",
    "Gesendet auf ARC",
    {"erfolgreich", "vergeblich"},
    "#.Eingan Aktiviert",
    "#.Eingan Deaktiviert",
    "#.Eingan Dektiviert",
    {"#.Analogeingang überlimit", "#.Analogeingang unterlimit"},
    {"#.Ausgang Einschalten bei ", "#.Ausgang Abschaltung bei "},
    {"Empfang", "DTMF", "SMS"},
    {"Eingänge Blockierung bei ", "Eingänge Deblockiering bei "},
    {"Empfang", "SMS", "DTMF"},
};

// The codes that belong to no family, with their texts after the separator.
struct SingleText {
    int code;
    std::string_view english;
    std::string_view slovak;
    std::string_view german;
};

constexpr std::array<SingleText, 27> kSingleTexts = {{
    {69, "Next calling canceled by user ", "Ďalšie volania zrušené užívateľom ", "Nächster Anruf widerrufen"},
    {70, "Remote connect by GPRS ", "Vzdialený prístup cez GPRS", "Remote-Zugriff bei GPRS"},
    {71, "start remote tapping / hearing    ", "začiatok odposluchu priestoru  ",
     "Einleitung des Fernüberwachung"},
    {72, "stop remote tapping / hearing    ", "koniec odposluchu priestoru  ", "Ende des Fernüberwachung"},
    {73, "PC connected", "pripojenie PC", "PC verbunden"},
    {74, "Engineer entry", "Vstup technika", "Ankunft Techniken"},
    {75, "Engineer exit", "Odchod technika", "Ausfahrt Techniken"},
    {76, "Restart", "Reštart volača", "Gerät Neustart"},
    {77, "sended Status SMS", "odoslaná stavová SMS", "Gesendet Status-SMS"},
    {78, "sended SMS \"Main power supply failure\"", "odoslaná SMS \"Výpadok hl. napájania\"",
     "Gesendet SMS \"Fehler bei Spannungversorgung\""},
    {79, "Main power supply failure", "Výpadok hl. napajania", "Fehler bei Spannungversorgung"},
    {80, "sended SMS \"Main power supply OK\"", "odoslaná SMS \"Hl. napájanie OK\"",
     "Gesendet SMS \"Spannungversorgung wiederhergestellt\""},
    {81, "Main power supply OK", "Hl. napájanie OK", "Spannungversorgung wiederhergestellt"},
    {82, "sended SMS \"Low supply voltage\"", "odoslaná SMS \"Nízke nap. napätie\"",
     "Gesendet SMS \"Niedriger Spannung\""},
    {83, "Low supply voltage", "Nízke nap. napätie", "Niedriger Spannung"},
    {84, "GSM signal loss", "strata GSM signálu", "GSM-Signal Verlust"},
    {85, "GSM signal OK", "GSM signál OK", "GSM-Signal OK"},
    {86, "GSM Jamming detected!", "Detekované rušenie GSM!", "GSM-Jamming erkannt"},
    {87, "sended SMS \"GSM jammer detected !\"", "odoslaná SMS \"Zachytená rušička GSM !\"",
     "Gesendet SMS \"GSM-Jamming erkannt\""},
    {120, "reporting to ARC \"Periodic test\" successful", "odoslanie na PCO \"Test spojenia\" úspešné",
     "Gesendet auf ARC \"Periodic test\" erfolgreich"},
    {121, "reporting to ARC \"Periodic test\" failed", "odoslanie na PCO \"Test spojenia\" neúspešné",
     "Gesendet auf ARC \"Periodic test\" vergeblich"},
    {122, "TCP connection to ARC successful", "TCP spojenie s PCO úspešné",
     "TCP Verbindung mit ARC etablierten"},
    {123, "TCP connection to ARC broken", "TCP spojenie s PCO prerušené", "TCP Verbindung mit ARC brokenly"},
    {124, "reporting to ARC \"Program mode entry\" successful", "odoslanie na PCO \"Vstup technika\" úspešné",
     "Gesendet auf ARC \"Program mode entry\" erfolgreich"},
    {125, "reporting to ARC PCO \"Program mode entry\" failed",
     "odoslanie na PCO \"Vstup technika\" neúspešné",
     "Gesendet auf ARC PCO \"Program mode entry\" vergeblich"},
    {126, "reporting to ARC \"Program mode exit\" successful", "odoslanie na PCO \"Odchod technika\" úspešné",
     "Gesendet auf ARC \"Program mode exit\" erfolgreich"},
    {127, "reporting to ARC \"Program mode exit\" failed", "odoslanie na PCO \"Odchod technika\" neúspešné",
     "Gesendet auf ARC \"Program mode exit\" vergeblich"},
}};

// Two English texts of the analog SMS family that the device's users know with
// a doubled letter; they are kept as they are.
struct QuirkText {
    int code;
    std::string_view text;
};

constexpr std::array<QuirkText, 2> kEnglishQuirks = {{
    {42, "  -  sended SMS \"AAnalog input 1 undervoltage\""},
    {43, "  -  sended SMS \"AAnalog input 2 overvoltage\""},
}};

std::string numbered(std::string_view phrase, int number) {
    std::string text;
    for (const char c : phrase) {
        if (c == '#')
            text += std::to_string(number);
        else
            text += c;
    }
    return text;
}

std::string quoted(const std::string& phrase) {
    return '"' + phrase + '"';
}

// separator, action, the quoted subject, and the outcome when there is one
std::string reported(std::string_view action, const std::string& subject, std::string_view outcome) {
    std::string text(kSeparator);
    text += action;
    text += ' ';
    text += quoted(subject);
    text += outcome;
    return text;
}

std::string spaced(std::string_view outcome) {
    return ' ' + std::string(outcome);
}

// Each family builder takes k, the code's distance from the family's first code.
using FamilyBuilder = std::string (*)(const TextSet&, int k);

std::string voiceCallOnInput(const TextSet& set, int k) {
    return reported(set.voiceCall, numbered(set.inputActivated, k / 2 + 1), spaced(set.outcome[k % 2]));
}

std::string smsOnInputActivated(const TextSet& set, int k) {
    return reported(set.sendedSms, numbered(set.inputActivated, k + 1), " ");
}

std::string smsOnInputDeactivated(const TextSet& set, int k) {
    return reported(set.sendedSms, numbered(set.inputDeactivatedInSms, k + 1), " ");
}

std::string voiceCallOnAnalog(const TextSet& set, int k) {
    return reported(set.voiceCall, numbered(set.analogLimit[k % 4 / 2], k / 4 + 1),
                    spaced(set.outcome[k % 2]));
}

std::string smsOnAnalog(const TextSet& set, int k) {
    return reported(set.sendedSms, numbered(set.analogLimit[k % 2], k / 2 + 1), "");
}

std::string outputSwitched(const TextSet& set, int k, int onOrOff) {
    return std::string(kSeparator) + numbered(set.outputSwitched[onOrOff], k / 3 + 1) +
           std::string(set.outputMeans[k % 3]);
}

std::string outputSwitchedOn(const TextSet& set, int k) {
    return outputSwitched(set, k, 0);
}
std::string outputSwitchedOff(const TextSet& set, int k) {
    return outputSwitched(set, k, 1);
}

std::string arcOnInputActivated(const TextSet& set, int k) {
    return reported(set.reportingToArc, numbered(set.inputActivated, k / 2 + 1), spaced(set.outcome[k % 2]));
}

std::string arcOnInputDeactivated(const TextSet& set, int k) {
    return reported(set.reportingToArc, numbered(set.inputDeactivated, k / 2 + 1),
                    spaced(set.outcome[k % 2]));
}

std::string inputsBlocking(const TextSet& set, int k) {
    return std::string(kSeparator) + std::string(set.inputsBlocked[k / 3]) +
           std::string(set.blockingMeans[k % 3]);
}

struct Family {
    int first;
    int last;
    FamilyBuilder build;
};

constexpr std::array<Family, 10> kFamilies = {{
    {1, 16, voiceCallOnInput},
    {17, 24, smsOnInputActivated},
    {25, 32, smsOnInputDeactivated},
    {33, 40, voiceCallOnAnalog},
    {41, 44, smsOnAnalog},
    {45, 56, outputSwitchedOn},
    {57, 68, outputSwitchedOff},
    {88, 103, arcOnInputActivated},
    {104, 119, arcOnInputDeactivated},
    {128, 133, inputsBlocking},
}};

enum class TextSetId { English, Slovak, German };

using TextTable = std::array<std::string, kEventTextCount>;

TextTable buildTable(TextSetId id) {
    const TextSet& set = id == TextSetId::Slovak ? kSlovak : id == TextSetId::German ? kGerman : kEnglish;
    TextTable table;
    table[0] = set.jammerDetected;
    for (const Family& family : kFamilies) {
        for (int code = family.first; code <= family.last; ++code)
            table[code] = family.build(set, code - family.first);
    }
    for (const SingleText& single : kSingleTexts) {
        const std::string_view text = id == TextSetId::Slovak   ? single.slovak
                                      : id == TextSetId::German ? single.german
                                                                : single.english;
        table[single.code] = std::string(kSeparator) + std::string(text);
    }
    if (id == TextSetId::English) {
        for (const QuirkText& quirk : kEnglishQuirks)
            table[quirk.code] = quirk.text;
    }
    return table;
}

const TextTable& tableFor(qta::Language language) {
    static const std::array<TextTable, 3> tables = {
        buildTable(TextSetId::English), buildTable(TextSetId::Slovak), buildTable(TextSetId::German)};
    switch (language) {
    case qta::Language::SK:
        return tables[1];
    case qta::Language::DE:
        return tables[2];
    case qta::Language::EN:
    case qta::Language::DK:
        break;
    }
    return tables[0];
}

} // namespace

std::string eventText(int code, qta::Language language) {
    if (code < 0 || code >= kEventTextCount)
        return {};
    return tableFor(language)[code];
}

} // namespace qta::log
