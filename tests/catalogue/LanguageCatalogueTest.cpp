#include "catalogue/LanguageCatalogue.h"
#include "model/Cp1250.h"
#include "model/FieldTable.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace {

using namespace qta;
using namespace qta::catalogue;

constexpr Language kAllLanguages[] = {Language::SK, Language::EN, Language::DE, Language::DK};

const LanguageCatalogue& sk() {
    return languageCatalogue(Language::SK);
}
const LanguageCatalogue& en() {
    return languageCatalogue(Language::EN);
}
const LanguageCatalogue& de() {
    return languageCatalogue(Language::DE);
}
const LanguageCatalogue& dk() {
    return languageCatalogue(Language::DK);
}

std::optional<std::string> textOf(const std::vector<ControlText>& texts, std::string_view control,
                                  TextRole role) {
    for (const ControlText& text : texts)
        if (text.control == control && text.role == role)
            return text.text;
    return std::nullopt;
}
std::optional<std::string> caption(const LanguageCatalogue& c, std::string_view control) {
    return textOf(c.controlTexts, control, TextRole::Caption);
}
std::optional<std::string> hint(const LanguageCatalogue& c, std::string_view control) {
    return textOf(c.controlTexts, control, TextRole::Hint);
}
std::optional<std::string> menu(const LanguageCatalogue& c, std::string_view item) {
    return textOf(c.menuCaptions, item, TextRole::Caption);
}

std::size_t countRole(const LanguageCatalogue& c, TextRole role) {
    std::size_t n = 0;
    for (const ControlText& text : c.controlTexts)
        n += text.role == role ? 1 : 0;
    return n;
}

bool sameTexts(const std::vector<ControlText>& a, const std::vector<ControlText>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].control != b[i].control || a[i].role != b[i].role || a[i].text != b[i].text)
            return false;
    return true;
}

// ---------------------------------------------------------------- number labels

TEST(NumberLabels, CountWithinEachListAndTheThirtySecondIsNotZero) {
    EXPECT_EQ(caption(en(), "Label10001"), "1. num.");
    EXPECT_EQ(caption(en(), "Label10018"), "18. num.");
    EXPECT_EQ(caption(en(), "Label10031"), "31. num.");
    EXPECT_EQ(caption(en(), "Label10032"), "32. num.");
    EXPECT_EQ(caption(en(), "Label10033"), "1. num.");
    EXPECT_EQ(caption(en(), "Label10064"), "32. num.");
    EXPECT_EQ(caption(en(), "Label11024"), "32. num.");
    EXPECT_EQ(caption(dk(), "Label10032"), "32. num.");

    EXPECT_EQ(caption(sk(), "Label10001"), "1. číslo");
    EXPECT_EQ(caption(sk(), "Label10032"), "32. číslo");
    EXPECT_EQ(caption(sk(), "Label10993"), "1. číslo");
    EXPECT_EQ(caption(de(), "Label10001"), "1. Num");
    EXPECT_EQ(caption(de(), "Label11024"), "32. Num");
    EXPECT_EQ(caption(de(), "Label10047"), "15. Num");
}

TEST(NumberLabels, ExactlyTheThousandTwentyFourLabels) {
    for (Language language : kAllLanguages) {
        const LanguageCatalogue& c = languageCatalogue(language);
        EXPECT_FALSE(caption(c, "Label10000"));
        EXPECT_FALSE(caption(c, "Label11025"));
        for (int m = 10001; m <= 11024; ++m)
            ASSERT_TRUE(caption(c, "Label" + std::to_string(m))) << m;
    }
    // Every 32nd label ends its list.
    for (int m = 10032; m <= 11024; m += 32)
        EXPECT_EQ(caption(sk(), "Label" + std::to_string(m)), "32. číslo") << m;
}

// ---------------------------------------------------------------- numbered captions

TEST(NumberedCaptions, SubPagesHaveTheBlankBeforeThePoint) {
    EXPECT_EQ(caption(en(), "TabSheetIN1"), "1 .input");
    EXPECT_EQ(caption(en(), "TabSheetIN8"), "8 .input");
    EXPECT_EQ(caption(en(), "TabSheetAIN2"), "2 .input");
    EXPECT_EQ(caption(en(), "TabSheetOUT4"), "4 .output");
    EXPECT_EQ(caption(sk(), "TabSheetIN3"), "3 .vstup");
    EXPECT_EQ(caption(sk(), "TabSheetOUT1"), "1 .výstup");
    EXPECT_EQ(caption(de(), "TabSheetAIN1"), "1 .Eingang");
    EXPECT_EQ(caption(de(), "TabSheetOUT2"), "2 .Ausgang");
    EXPECT_FALSE(caption(en(), "TabSheetIN9"));
    EXPECT_FALSE(caption(en(), "TabSheetAIN3"));
    EXPECT_FALSE(caption(en(), "TabSheetOUT5"));
}

TEST(NumberedCaptions, DiagnosticsRowsHaveNoBlankBeforeThePoint) {
    EXPECT_EQ(caption(en(), "LabelDIN1"), "1. input");
    EXPECT_EQ(caption(en(), "LabelDAIN2"), "2. input");
    EXPECT_EQ(caption(en(), "LabelDO4"), "4. output");
    EXPECT_EQ(caption(sk(), "LabelDIN8"), "8. vstup");
    EXPECT_EQ(caption(sk(), "LabelDO1"), "1. výstup");
    EXPECT_EQ(caption(de(), "LabelDAIN1"), "1. Eingang");
    EXPECT_EQ(caption(de(), "LabelDO3"), "3. Ausgang");
    EXPECT_FALSE(caption(en(), "LabelDIN9"));
    EXPECT_FALSE(caption(en(), "LabelDO5"));
}

TEST(NumberedCaptions, ArcRowLabelsAreLabel2ThenLabel7To13) {
    EXPECT_EQ(caption(en(), "Label2"), "1. input");
    EXPECT_EQ(caption(en(), "Label7"), "2. input");
    EXPECT_EQ(caption(en(), "Label13"), "8. input");
    EXPECT_EQ(caption(sk(), "Label10"), "5. vstup");
    EXPECT_EQ(caption(de(), "Label2"), "1.Eingang");
    EXPECT_EQ(caption(de(), "Label12"), "7.Eingang");
    // The neighbours are other labels of the page, not rows.
    EXPECT_EQ(caption(en(), "Label6"), "Account");
    EXPECT_EQ(caption(en(), "Label14"), "IP adress");
    EXPECT_FALSE(caption(en(), "Label1"));
}

// ---------------------------------------------------------------- Danish

TEST(Danish, IsEnglishButForCodeTitleAndEventLogMenu) {
    EXPECT_EQ(dk().language, Language::DK);
    EXPECT_EQ(dk().code, "DK");
    EXPECT_EQ(dk().title, "Programmer for QAT 710 Vavi v 4.1");
    EXPECT_EQ(en().title, "Programmer for QAT 710 Vavi v 3.1");
    EXPECT_EQ(menu(dk(), "Otvori1"), "Hndelser");
    EXPECT_EQ(menu(en(), "Otvori1"), "Event log");

    ASSERT_EQ(dk().menuCaptions.size(), en().menuCaptions.size());
    for (std::size_t i = 0; i < en().menuCaptions.size(); ++i) {
        const ControlText& item = en().menuCaptions[i];
        EXPECT_EQ(dk().menuCaptions[i].control, item.control);
        if (item.control != "Otvori1") {
            EXPECT_EQ(dk().menuCaptions[i].text, item.text) << item.control;
        }
    }
    EXPECT_TRUE(sameTexts(dk().controlTexts, en().controlTexts));
    EXPECT_EQ(dk().heslo.caption, "Password");
    EXPECT_EQ(dk().heslo.hint, en().heslo.hint);
    EXPECT_EQ(dk().heslo.left, 315);
    EXPECT_EQ(dk().apnHint, en().apnHint);
    EXPECT_EQ(dk().messages.msgWaiting, "Waiting for answer... ");
    EXPECT_EQ(dk().messages.msgNotConnected, "Device not connected !");
    EXPECT_EQ(dk().eventChoiceItems, en().eventChoiceItems);
    // No catalogue renames the hidden Danish item.
    EXPECT_FALSE(menu(dk(), "Dansky1"));
}

// ---------------------------------------------------------------- German gaps

TEST(GermanGaps, NoPolarityHintsInGermanAllSixteenElsewhere) {
    for (int i = 1; i <= 8; ++i) {
        const std::string no = "NO_IN" + std::to_string(i);
        const std::string nc = "NC_IN" + std::to_string(i);
        EXPECT_FALSE(hint(de(), no)) << no;
        EXPECT_FALSE(hint(de(), nc)) << nc;
        EXPECT_EQ(hint(en(), no), "Input will be activated by applied voltage");
        EXPECT_EQ(hint(en(), nc), "Input will be activated by disconnecting voltage");
        EXPECT_EQ(hint(dk(), no), "Input will be activated by applied voltage");
        EXPECT_EQ(hint(sk(), no), "Vstup bude reagovať na pripojenie napätia");
        EXPECT_EQ(hint(sk(), nc), "Vstup bude reagovať na odpojenie napätia");
    }
    // The gap is only there: the neighbouring input fields keep their hints.
    EXPECT_EQ(hint(de(), "DELAY_IN8"), "Mindestdauer des Trigger-Impuls aktiviert den Eintrag in Sekunden");
    EXPECT_EQ(hint(de(), "TNIN_S_8_32"), "Telefonnummer für Alarm SMS-Versand");
}

// ---------------------------------------------------------------- exact texts

TEST(ExactTexts, TitlesPasswordCaptionAndApnHint) {
    EXPECT_EQ(sk().title, "Programátor QTA 710 Vavi v 4.1");
    EXPECT_EQ(de().title, "Programmer für QTA710 Vavi v 4.1");
    EXPECT_EQ(en().code, "EN");
    EXPECT_EQ(sk().code, "SK");
    EXPECT_EQ(de().code, "DE");

    EXPECT_EQ(en().heslo.caption, "Password");
    EXPECT_EQ(en().heslo.hint, "Enter new acces password");
    EXPECT_EQ(en().heslo.left, 315);
    EXPECT_EQ(sk().heslo.caption, "Heslo");
    EXPECT_EQ(sk().heslo.hint, "Zadajte nové prístupové heslo");
    EXPECT_EQ(sk().heslo.left, 336);
    EXPECT_EQ(de().heslo.caption, "Zugangscode");
    EXPECT_EQ(de().heslo.hint, "Das neue Kennwort eingeben");
    EXPECT_EQ(de().heslo.left, 297);

    EXPECT_EQ(en().apnHint, "Access Point Name - ask tou mobile operator for proper value");
    EXPECT_EQ(sk().apnHint, "miesto prístupu - nastavte podľa mobilného operátora");
    EXPECT_EQ(de().apnHint, "Access Point Name-abhängig Ihrem Mobilfunkbetreiber");
}

TEST(ExactTexts, MenusInOrder) {
    const std::vector<std::pair<std::string, std::string>> german = {
        {"Nov1", "Feile"},       {"Nov2", "Neu"},      {"Otvori2", "Öffnen"}, {"Uloi2", "Sparen"},
        {"N1", "Ende"},          {"Uloi1", "Daten"},   {"Nata2", "Lesen"},    {"Odosla2", "Senden"},
        {"Otvori1", "Tagebuch"}, {"Nata1", "Lesen"},   {"Uloi3", "Sparen"},   {"Tlai1", "Drucken"},
        {"Lang", "Sprache"},     {"SK", "Slowakisch"}, {"EN", "Englisch"},    {"DE", "Deutsch"},
    };
    ASSERT_EQ(de().menuCaptions.size(), german.size());
    for (std::size_t i = 0; i < german.size(); ++i) {
        EXPECT_EQ(de().menuCaptions[i].control, german[i].first);
        EXPECT_EQ(de().menuCaptions[i].text, german[i].second);
        EXPECT_EQ(de().menuCaptions[i].role, TextRole::Caption);
    }
    EXPECT_EQ(menu(sk(), "Nov1"), "Súbor");
    EXPECT_EQ(menu(sk(), "Otvori2"), "Otvoriť");
    EXPECT_EQ(menu(sk(), "SK"), "Slovenský");
    EXPECT_EQ(menu(sk(), "Tlai1"), "Tlačiť");
    EXPECT_EQ(menu(en(), "N1"), "Close");
    EXPECT_EQ(menu(en(), "Uloi1"), "Data");
}

TEST(ExactTexts, MessagesKeepTheirBlanksAndSpelling) {
    EXPECT_EQ(en().messages.msgDisconnected, "Disconnected");
    EXPECT_EQ(en().messages.msgConnected, "Connected");
    EXPECT_EQ(en().messages.msgEnterAccess, "Enter access password");
    EXPECT_EQ(en().messages.msgAccessLabel, "Password");
    EXPECT_EQ(en().messages.msgInProgress, "Transfer in progress. Please wait.");
    EXPECT_EQ(sk().messages.msgDisconnected, "Odpojené");
    EXPECT_EQ(sk().messages.msgReading, "Načítavanie dát z volača");
    EXPECT_EQ(sk().messages.msgWaiting, "Čakám na odpoveď... ");
    EXPECT_EQ(sk().messages.msgWrongAccess, "Nesprávny prístupový kód !");
    EXPECT_EQ(de().messages.msgNotConnected, "Nich angeschlossene Gerät !");
    EXPECT_EQ(de().messages.msgSending, "Senden von Daten");
    EXPECT_EQ(de().messages.msgInProgress, "Übertragen die Daten. Bitte warten.");
    EXPECT_EQ(de().messages.msgEnterAccess, "Geben Sie den Zugangscode");
}

TEST(ExactTexts, CaptionsWithTheirBlanksAndTypos) {
    EXPECT_EQ(caption(en(), "GroupBoxDIN"), " Status of inputs  ");
    EXPECT_EQ(caption(en(), "GroupBoxDPSU"), "Power ");
    EXPECT_EQ(caption(en(), "Label18"), "Swich-on on blocking");
    EXPECT_EQ(caption(de(), "Label19"), "Swich-on on dialing");
    EXPECT_EQ(caption(en(), "GroupBoxDTMF_OUT3"), "  DTMF code  ");
    EXPECT_EQ(caption(en(), "LabelSEK1"), "sec.");
    EXPECT_EQ(caption(sk(), "LabelSEK14"), "sek.");
    EXPECT_FALSE(caption(sk(), "LabelSEK15"));
    EXPECT_EQ(caption(en(), "TabSheet4"), "ARC");
    EXPECT_EQ(caption(sk(), "TabSheet4"), "PCO");
    EXPECT_EQ(caption(sk(), "GroupBox_TV_IN5"), " Tel. čísla pre zvukové správy  ");
    EXPECT_EQ(caption(sk(), "Label24"), "  Tel. číslo pre SMS:");
    EXPECT_EQ(caption(sk(), "GroupBoxDAIN"), "Analóg. vstupy  ");
    EXPECT_EQ(caption(sk(), "CheckBoxJam"), "Zasielať zachytenie rušičky");
    EXPECT_EQ(caption(de(), "Label24"), "      Tel. Nr. für SMS:");
    EXPECT_EQ(caption(de(), "Label16"), "Intervall der Prüfung ");
    EXPECT_EQ(caption(de(), "LabelHour"), "(00:Uhr)");
    EXPECT_EQ(caption(de(), "TabSheet1"), "Digitaleingänge");
    EXPECT_EQ(caption(de(), "LabelTypIN2"), "Art der Eing.");
    EXPECT_EQ(caption(de(), "GroupBoxDS"), "GSM signal  ");
}

TEST(ExactTexts, HintsOfFieldsAndPages) {
    EXPECT_EQ(hint(en(), "TNIN_V_3_17"), "Phone numbers which will received voice messages about alarm");
    EXPECT_EQ(hint(en(), "TNAIN_S_2_32"),
              "Phone numbers which will received SMS about analog input is out of limit");
    EXPECT_EQ(hint(en(), "Auto_1"),
              "Interval of automat. sending messages about status (0=SMS do not sended automatically)");
    EXPECT_EQ(hint(en(), "TabSheet7"), "Phone number to which will be sent error or status SMS");
    EXPECT_EQ(hint(sk(), "UMAX_AIN1"), "Prekročenie nastavenej hodnoty aktivuje volanie/zasielane SMS ");
    EXPECT_EQ(hint(sk(), "UMIN_AIN2"), "Pokles pod nastavenú hodnotu aktivuje volanie/zasielane SMS ");
    EXPECT_EQ(hint(sk(), "T_SMS_RIN4"), "Text SMS zaslavý pri návrate vstupu do kľudového stavu");
    EXPECT_EQ(hint(sk(), "TNBLK_V_1"), "Tel. čísla pre blokovanie prezvonením");
    EXPECT_EQ(hint(de(), "TNLS_32"), "Telefonnummern für die Remote-Klopfen / Hören erlaubt wird");
    EXPECT_EQ(hint(de(), "DTMF_OUT_OFF_4"), "DTMF Code für Ausgang Ausschalten");
    EXPECT_EQ(hint(de(), "TNOUT_V_1_1"), "Telefonnummern für Ausgang Empfang-Fernsteuerung");
    // The blocking page has a caption but no hint.
    for (Language language : kAllLanguages) {
        EXPECT_FALSE(hint(languageCatalogue(language), "TabSheet5"));
        EXPECT_TRUE(caption(languageCatalogue(language), "TabSheet5"));
    }
}

TEST(ExactTexts, EventChoicesSlovakOrEnglish) {
    EXPECT_EQ(sk().eventChoiceItems[0], "Poplach");
    EXPECT_EQ(sk().eventChoiceItems[7], "Čiastočne nastavené/odstavené");
    EXPECT_EQ(sk().eventChoiceItems[17], "Žiadna");
    for (const LanguageCatalogue* c : {&en(), &de(), &dk()}) {
        EXPECT_EQ(c->eventChoiceItems[2], "Silent Burglary");
        EXPECT_EQ(c->eventChoiceItems[17], "None");
    }
}

// ---------------------------------------------------------------- size and completeness

// A switch makes 1,231 control texts and 1,106 hints. Of the control texts,
// four live outside controlTexts: the window title, Heslo's caption, the
// language code put into Sprache and the status label's message. Of the
// hints, Heslo's and editAPN's do. So controlTexts holds 1,227 captions:
//   1,024 number labels + 14 LabelSEK + 9 page captions + 14 sub-pages
//   + 12 diagnostics captions + 14 diagnostics rows + 56 digital-input group
//   and label captions (7 per input) + 8 analog (4 per input) + 2 output
//   option labels + 36 output captions (9 per output) + 1 hearing
//   + 10 status-SMS + 19 ARC + 8 blocking,
// and 1,104 hints: 8 page hints + 1,096 field hints. German leaves out the
// 16 polarity hints.
TEST(Size, AssignmentsPerCatalogue) {
    for (const LanguageCatalogue* c : {&sk(), &en(), &dk()}) {
        EXPECT_EQ(countRole(*c, TextRole::Caption), 1227u) << c->code;
        EXPECT_EQ(countRole(*c, TextRole::Hint), 1104u) << c->code;
    }
    EXPECT_EQ(countRole(de(), TextRole::Caption), 1227u);
    EXPECT_EQ(countRole(de(), TextRole::Hint), 1104u - 16u);
    for (Language language : kAllLanguages)
        EXPECT_EQ(languageCatalogue(language).menuCaptions.size(), 16u);
}

TEST(Size, NoControlGetsTheSameKindOfTextTwice) {
    for (Language language : kAllLanguages) {
        std::set<std::pair<std::string, TextRole>> seen;
        for (const ControlText& text : languageCatalogue(language).controlTexts)
            EXPECT_TRUE(seen.insert({text.control, text.role}).second) << text.control;
    }
}

// The Configuration fields that carry a hint, by family as the field table names them.
using F = Family;
const Family kHintedFamilies[] = {
    F::TNIN_S_,    F::TNIN_V_,    F::T_SMS_IN,      F::T_SMS_RIN,      F::DELAY_IN,     F::NO_IN,
    F::NC_IN,      F::T_SMS_AIN,  F::T_SMS_RAIN,    F::DELAY_AIN,      F::UMAX_AIN,     F::UMIN_AIN,
    F::TNAIN_S_,   F::TNAIN_V_,   F::T_SMS_OUT_ON_, F::T_SMS_OUT_OFF_, F::DTMF_OUT_ON_, F::DTMF_OUT_OFF_,
    F::TNOUT_S_,   F::TNOUT_V_,   F::TNLS_,         F::TNSSMS_,        F::Auto_1,       F::Auto_2,
    F::MemoBlock_, F::DTMF_BLOCK, F::TNBLK_S_,      F::TNBLK_V_,
};

bool germanGap(const FieldDef& def) {
    return def.family == F::NO_IN || def.family == F::NC_IN;
}

TEST(Completeness, EveryHintedFieldGetsAHintInEveryLanguage) {
    const FieldTable& table = FieldTable::instance();
    std::size_t hinted = 0;
    for (const Family family : kHintedFamilies) {
        ASSERT_FALSE(table.family(family).empty()) << familyName(family);
        for (FieldId id : table.family(family)) {
            const FieldDef& def = table[id];
            ++hinted;
            for (Language language : kAllLanguages) {
                const bool expected = !(language == Language::DE && germanGap(def));
                const auto text = hint(languageCatalogue(language), def.name);
                EXPECT_EQ(text.has_value(), expected) << def.name << " " << languageCode(language);
                if (text) {
                    EXPECT_FALSE(text->empty()) << def.name;
                }
            }
        }
    }
    EXPECT_EQ(hinted, 1096u);
}

TEST(Completeness, HintsGoOnlyToCanonicalFieldNamesAndPages) {
    const FieldTable& table = FieldTable::instance();
    const std::set<std::string> pages = {"TabSheet1", "TabSheet2", "TabSheet3", "TabSheet4",
                                         "TabSheet6", "TabSheet7", "TabSheet8", "TabSheet9"};
    for (Language language : kAllLanguages)
        for (const ControlText& text : languageCatalogue(language).controlTexts) {
            if (text.role != TextRole::Hint || pages.count(text.control))
                continue;
            const auto id = table.find(text.control);
            ASSERT_TRUE(id) << text.control;
            EXPECT_EQ(table[*id].name, text.control); // spelt as the window names the control
        }
}

TEST(Completeness, EveryTextFitsTheWindowsCodePage) {
    // A character outside Windows-1250 would turn into '?' in files and in the device.
    for (Language language : kAllLanguages) {
        const LanguageCatalogue& c = languageCatalogue(language);
        std::vector<std::string> texts = {c.title, c.heslo.caption, c.heslo.hint, c.apnHint};
        for (const ControlText& t : c.controlTexts)
            texts.push_back(t.text);
        for (const ControlText& t : c.menuCaptions)
            texts.push_back(t.text);
        for (const std::string& t : c.eventChoiceItems)
            texts.push_back(t);
        for (const std::string& t : texts) {
            EXPECT_FALSE(t.empty());
            EXPECT_EQ(cp1250ToUtf8(utf8ToCp1250(t)), t);
        }
    }
}

TEST(ControlNames, UnionOfTheFourCataloguesEachOnce) {
    const std::vector<std::string> names = controlNamesWithTexts();
    const std::set<std::string> unique(names.begin(), names.end());
    EXPECT_EQ(unique.size(), names.size());
    // 1,227 captions and 1,104 hints, less the eight pages that get both.
    EXPECT_EQ(names.size(), 1227u + 1104u - 8u);
    for (const char* name : {"Label10001", "Label11024", "LabelSEK14", "TabSheetOUT4", "GroupBoxDIN",
                             "LabelDO4", "Label13", "NO_IN8", "NC_IN1", "TNBLK_V_32", "CheckBox230V"})
        EXPECT_TRUE(unique.count(name)) << name;
    // Set elsewhere, not through controlTexts.
    for (const char* name : {"Heslo", "editAPN", "Label406", "Otvori1", "EventCodeIN1"})
        EXPECT_FALSE(unique.count(name)) << name;
}

TEST(Cache, SameCatalogueOnEveryUseAndEqualToAFreshBuild) {
    EXPECT_EQ(&languageCatalogue(Language::DE), &languageCatalogue(Language::DE));
    const LanguageCatalogue fresh = buildLanguageCatalogue(Language::SK);
    EXPECT_TRUE(sameTexts(fresh.controlTexts, sk().controlTexts));
    EXPECT_EQ(fresh.title, sk().title);
}

} // namespace
