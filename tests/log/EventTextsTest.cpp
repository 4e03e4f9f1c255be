#include "log/EventTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using qta::Language;
using qta::log::eventText;

struct Expected {
    int code;
    const char* text;
};

void expectTexts(Language language, const std::vector<Expected>& expected) {
    for (const auto& [code, text] : expected)
        EXPECT_EQ(eventText(code, language), text) << "code " << code;
}

TEST(EventTexts, EnglishFamiliesAtTheirBoundariesWithTheirQuirks) {
    expectTexts(Language::EN, {
                                  {0, "GSM jammer detected !"},
                                  {1, "  -  Voice call \"Input 1 activated\" successful"},
                                  {2, "  -  Voice call \"Input 1 activated\" failed"},
                                  {15, "  -  Voice call \"Input 8 activated\" successful"},
                                  {16, "  -  Voice call \"Input 8 activated\" failed"},
                                  {17, "  -  sended SMS \"Input 1 activated\" "},
                                  {24, "  -  sended SMS \"Input 8 activated\" "},
                                  {25, "  -  sended SMS \"Input 1 deactivated\" "},
                                  {32, "  -  sended SMS \"Input 8 deactivated\" "},
                                  {33, "  -  Voice call \"Analog input 1 overvoltage\" successful"},
                                  {34, "  -  Voice call \"Analog input 1 overvoltage\" failed"},
                                  {35, "  -  Voice call \"Analog input 1 undervoltage\" successful"},
                                  {36, "  -  Voice call \"Analog input 1 undervoltage\" failed"},
                                  {37, "  -  Voice call \"Analog input 2 overvoltage\" successful"},
                                  {40, "  -  Voice call \"Analog input 2 undervoltage\" failed"},
                                  {41, "  -  sended SMS \"Analog input 1 overvoltage\""},
                                  {42, "  -  sended SMS \"AAnalog input 1 undervoltage\""},
                                  {43, "  -  sended SMS \"AAnalog input 2 overvoltage\""},
                                  {44, "  -  sended SMS \"Analog input 2 undervoltage\""},
                                  {45, "  -  output 1 switch-on by calling"},
                                  {46, "  -  output 1 switch-on by DTMF code"},
                                  {47, "  -  output 1 switch-on by SMS"},
                                  {48, "  -  output 2 switch-on by calling"},
                                  {56, "  -  output 4 switch-on by SMS"},
                                  {57, "  -  output 1 switch-off by calling"},
                                  {68, "  -  output 4 switch-off by SMS"},
                                  {69, "  -  Next calling canceled by user "},
                                  {70, "  -  Remote connect by GPRS "},
                                  {71, "  -  start remote tapping / hearing    "},
                                  {72, "  -  stop remote tapping / hearing    "},
                                  {76, "  -  Restart"},
                                  {87, "  -  sended SMS \"GSM jammer detected !\""},
                                  {88, "  -  reporting to ARC \"Input 1 activated\" successful"},
                                  {89, "  -  reporting to ARC \"Input 1 activated\" failed"},
                                  {103, "  -  reporting to ARC \"Input 8 activated\" failed"},
                                  {104, "  -  reporting to ARC \"Input 1 deactivated\" successful"},
                                  {119, "  -  reporting to ARC \"Input 8 deactivated\" failed"},
                                  {120, "  -  reporting to ARC \"Periodic test\" successful"},
                                  {125, "  -  reporting to ARC PCO \"Program mode entry\" failed"},
                                  {127, "  -  reporting to ARC \"Program mode exit\" failed"},
                                  {128, "  -  inputs blockig by ringing"},
                                  {129, "  -  inputs blockig by SMS"},
                                  {130, "  -  inputs blockig by DTMF"},
                                  {131, "  -  inputs deblockig by ringing"},
                                  {133, "  -  inputs deblockig by DTMF"},
                              });
}

TEST(EventTexts, SlovakFamiliesAtTheirBoundaries) {
    expectTexts(Language::SK, {
                                  {0, "Zachytena rusicka GSM !"},
                                  {1, "  -  Hlasové volanie \"Aktivovaný vstup 1\" úspešné"},
                                  {16, "  -  Hlasové volanie \"Aktivovaný vstup 8\" neúspešné"},
                                  {17, "  -  odoslaná SMS \"Aktivovaný vstup 1\" "},
                                  {32, "  -  odoslaná SMS \"Deaktivovaný vstup 8\" "},
                                  {35, "  -  Hlasové volanie \"Analog. vstup 1 pod limit\" úspešné"},
                                  {38, "  -  Hlasové volanie \"Analog. vstup 2 nad limit\" neúspešné"},
                                  {42, "  -  odoslaná SMS \"Analog. vstup 1 pod limit\""},
                                  {43, "  -  odoslaná SMS \"Analog. vstup 2 nad limit\""},
                                  {45, "  -  výstup 1 zapnutý preznovením"},
                                  {55, "  -  výstup 4 zapnutý DTMF kódom"},
                                  {59, "  -  výstup 1 vypnutý SMS"},
                                  {69, "  -  Ďalšie volania zrušené užívateľom "},
                                  {70, "  -  Vzdialený prístup cez GPRS"},
                                  {71, "  -  začiatok odposluchu priestoru  "},
                                  {72, "  -  koniec odposluchu priestoru  "},
                                  {79, "  -  Výpadok hl. napajania"},
                                  {87, "  -  odoslaná SMS \"Zachytená rušička GSM !\""},
                                  {102, "  -  odoslanie na PCO \"Aktivovaný vstup 8\" úspešné"},
                                  {105, "  -  odoslanie na PCO \"Deaktivovaný vstup 1\" neúspešné"},
                                  {123, "  -  TCP spojenie s PCO prerušené"},
                                  {128, "  -  vstupy zablokované prezvonením"},
                                  {132, "  -  vstupy odblokované SMS"},
                              });
}

TEST(EventTexts, GermanFamiliesAtTheirBoundariesWithTheirQuirks) {
    expectTexts(Language::DE, {
                                  {0, "GSM-Jamming erkannt!"},
                                  {1, "  -  Sprachnachricht \"1.Eingan Aktiviert\" erfolgreich"},
                                  {14, "  -  Sprachnachricht \"7.Eingan Aktiviert\" vergeblich"},
                                  {24, "  -  Gesendet SMS \"8.Eingan Aktiviert\" "},
                                  {25, "  -  Gesendet SMS \"1.Eingan Dektiviert\" "},
                                  {36, "  -  Sprachnachricht \"1.Analogeingang unterlimit\" vergeblich"},
                                  {41, "  -  Gesendet SMS \"1.Analogeingang überlimit\""},
                                  {44, "  -  Gesendet SMS \"2.Analogeingang unterlimit\""},
                                  {45, "  -  1.Ausgang Einschalten bei Empfang"},
                                  {46, "  -  1.Ausgang Einschalten bei DTMF"},
                                  {68, "  -  4.Ausgang Abschaltung bei SMS"},
                                  {69, "  -  Nächster Anruf widerrufen"},
                                  {71, "  -  Einleitung des Fernüberwachung"},
                                  {104, "  -  Gesendet auf ARC \"1.Eingan Deaktiviert\" erfolgreich"},
                                  {122, "  -  TCP Verbindung mit ARC etablierten"},
                                  {125, "  -  Gesendet auf ARC PCO \"Program mode entry\" vergeblich"},
                                  {128, "  -  Eingänge Blockierung bei Empfang"},
                                  {133, "  -  Eingänge Deblockiering bei DTMF"},
                              });
}

TEST(EventTexts, GermanArcFamilyAndFurtherFamilyMembers) {
    expectTexts(Language::DE, {
                                  {88, "  -  Gesendet auf ARC \"1.Eingan Aktiviert\" erfolgreich"},
                                  {89, "  -  Gesendet auf ARC \"1.Eingan Aktiviert\" vergeblich"},
                                  {103, "  -  Gesendet auf ARC \"8.Eingan Aktiviert\" vergeblich"},
                                  {119, "  -  Gesendet auf ARC \"8.Eingan Deaktiviert\" vergeblich"},
                                  {17, "  -  Gesendet SMS \"1.Eingan Aktiviert\" "},
                                  {32, "  -  Gesendet SMS \"8.Eingan Dektiviert\" "},
                                  {33, "  -  Sprachnachricht \"1.Analogeingang überlimit\" erfolgreich"},
                                  {40, "  -  Sprachnachricht \"2.Analogeingang unterlimit\" vergeblich"},
                                  {57, "  -  1.Ausgang Abschaltung bei Empfang"},
                                  {62, "  -  2.Ausgang Abschaltung bei SMS"},
                                  {131, "  -  Eingänge Deblockiering bei Empfang"},
                              });
    expectTexts(Language::SK, {
                                  {40, "  -  Hlasové volanie \"Analog. vstup 2 pod limit\" neúspešné"},
                                  {57, "  -  výstup 1 vypnutý preznovením"},
                                  {88, "  -  odoslanie na PCO \"Aktivovaný vstup 1\" úspešné"},
                                  {119, "  -  odoslanie na PCO \"Deaktivovaný vstup 8\" neúspešné"},
                              });
}

// Single texts whose blanks, punctuation or diacritics differ from one language to the next.
TEST(EventTexts, SingleTextsKeepTheirOwnBlanksAndSpelling) {
    expectTexts(Language::EN, {
                                  {70, "  -  Remote connect by GPRS "},
                                  {78, "  -  sended SMS \"Main power supply failure\""},
                                  {86, "  -  GSM Jamming detected!"},
                                  {124, "  -  reporting to ARC \"Program mode entry\" successful"},
                              });
    expectTexts(Language::SK, {
                                  {70, "  -  Vzdialený prístup cez GPRS"},
                                  {78, "  -  odoslaná SMS \"Výpadok hl. napájania\""},
                                  {79, "  -  Výpadok hl. napajania"},
                                  {82, "  -  odoslaná SMS \"Nízke nap. napätie\""},
                                  {121, "  -  odoslanie na PCO \"Test spojenia\" neúspešné"},
                              });
    expectTexts(Language::DE, {
                                  {70, "  -  Remote-Zugriff bei GPRS"},
                                  {72, "  -  Ende des Fernüberwachung"},
                                  {80, "  -  Gesendet SMS \"Spannungversorgung wiederhergestellt\""},
                                  {86, "  -  GSM-Jamming erkannt"},
                                  {87, "  -  Gesendet SMS \"GSM-Jamming erkannt\""},
                                  {123, "  -  TCP Verbindung mit ARC brokenly"},
                              });
}

TEST(EventTexts, DanishShowsTheEnglishTexts) {
    for (int code = 0; code < qta::log::kEventTextCount; ++code)
        EXPECT_EQ(eventText(code, Language::DK), eventText(code, Language::EN)) << "code " << code;
    EXPECT_EQ(eventText(42, Language::DK), "  -  sended SMS \"AAnalog input 1 undervoltage\"");
}

TEST(EventTexts, EveryTextAfterCodeZeroStartsWithTheSeparator) {
    for (const Language language : {Language::SK, Language::EN, Language::DE, Language::DK}) {
        for (int code = 1; code < qta::log::kEventTextCount; ++code)
            EXPECT_TRUE(eventText(code, language).starts_with("  -  ")) << "code " << code;
    }
}

TEST(EventTexts, CodesOutsideTheTableHaveNoText) {
    for (const int code : {-1, 134, 200, 255})
        EXPECT_EQ(eventText(code, Language::EN), "") << "code " << code;
}

} // namespace
