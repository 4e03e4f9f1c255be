#include "model/Configuration.h"
#include "model/EventChoices.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

namespace qta {
namespace {

class ConfigurationTest : public ::testing::Test {
protected:
    Configuration config = Configuration::startup(',');
    const FieldTable& table = FieldTable::instance();
    FieldId id(std::string_view name) const { return table.id(name); }
    const std::string& text(std::string_view name) const { return config.text(id(name)); }
};

TEST_F(ConfigurationTest, TableHoldsEveryFieldOnceUnderItsCanonicalName) {
    EXPECT_EQ(table.size(), 1145u);
    std::set<std::string> names;
    for (const FieldDef& def : table.fields())
        names.insert(def.name);
    EXPECT_EQ(names.size(), 1145u);
    for (const char* name :
         {"TNIN_V_3_17", "TNIN_S_8_32", "TNAIN_V_2_32",   "TNOUT_S_4_1",     "TNLS_32",       "TNSSMS_1",
          "TNBLK_V_32",  "TNBLK_S_1",   "T_SMS_OUT_ON_2", "T_SMS_OUT_OFF_4", "DTMF_OUT_ON_1", "DELAY_IN3",
          "DELAY_AIN2",  "DELAY_OUT4",  "UMAX_AIN1",      "UMIN_AIN2",       "NO_IN8",        "NC_IN1",
          "CheckOut_1",  "CheckOut_2",  "MemoBlock_2",    "DTMF_BLOCK1",     "Auto_1",        "Auto_2",
          "CheckBoxJam", "CheckBoxAku", "CheckBox230V",   "ObjCodeIN8",      "EventCodeIN1",  "PartCodeIN4",
          "ZoneCodeIN5", "IP_PCO",      "Port_PCO",       "IP_PCO2",         "Port_PCO2",     "SMS_PCO",
          "TestPCO",     "Pass",        "editAPN"})
        EXPECT_TRUE(names.count(name)) << name;
    EXPECT_FALSE(table.find("TNIN_V_9_1"));
    EXPECT_FALSE(table.find("TNIN_V_1_33"));
    EXPECT_FALSE(table.find("TNIN_V_01_1"));

    EXPECT_EQ(familyName(Family::DTMF_BLOCK), "DTMF_BLOCK");
    EXPECT_EQ(findFamily("TNIN_V_"), Family::TNIN_V_);
    EXPECT_FALSE(findFamily("TNIN_V"));
    EXPECT_THROW(table.family(static_cast<Family>(kFamilyCount)), std::out_of_range)
        << "a family outside the list is an error, not an empty family";

    ASSERT_EQ(table.lists().size(), 32u);
    for (const NumberList& list : table.lists()) {
        for (int j = 1; j <= 32; ++j) {
            const FieldDef& entry = table[static_cast<FieldId>(list.first + j - 1)];
            EXPECT_EQ(entry.family, list.family);
            EXPECT_EQ(entry.position, j);
            EXPECT_EQ(&table.lists()[entry.list], &list);
        }
    }
}

TEST_F(ConfigurationTest, LookUpIgnoresLetterCaseAndGivesTheCanonicalName) {
    EXPECT_EQ(table[table.id("Delay_IN", 1)].name, "DELAY_IN1");
    EXPECT_EQ(table[*table.find("editapn")].name, "editAPN");
    EXPECT_EQ(table[*table.find("tnin_v_3_17")].name, "TNIN_V_3_17");
}

TEST_F(ConfigurationTest, KindsLimitsAndRangesFollowTheFamilies) {
    const auto& phone = table[id("TNOUT_V_2_5")];
    EXPECT_EQ(phone.kind, FieldKind::PhoneNumber);
    EXPECT_EQ(phone.limit, 14);
    EXPECT_EQ(phone.typing, Typing::Digits);
    EXPECT_EQ(table[id("T_SMS_IN1")].limit, 127);
    EXPECT_EQ(table[id("T_SMS_IN1")].typing, Typing::Text);
    EXPECT_EQ(table[id("Pass")].typing, Typing::Text);
    EXPECT_EQ(table[id("editAPN")].limit, 31);
    EXPECT_EQ(table[id("editAPN")].typing, Typing::Free);
    EXPECT_EQ(table[id("SMS_PCO")].limit, 15);
    EXPECT_EQ(table[id("ObjCodeIN1")].limit, 4);
    EXPECT_EQ(table[id("PartCodeIN1")].limit, 2);
    EXPECT_EQ(table[id("ZoneCodeIN1")].limit, 3);
    EXPECT_EQ(table[id("Port_PCO2")].limit, 5);
    EXPECT_EQ(table[id("Port_PCO2")].typing, Typing::Digits);

    const auto& volts = table[id("UMAX_AIN2")];
    EXPECT_EQ(volts.limit, 2);
    EXPECT_EQ(volts.range.maximum, 255000);
    EXPECT_EQ(volts.range.step, 1000);
    EXPECT_EQ(table[id("Auto_2")].range.maximum, 230000);
    EXPECT_EQ(table[id("Auto_2")].limit, 2);
    EXPECT_EQ(table[id("TestPCO")].range.minimum, 10000);
    EXPECT_EQ(table[id("DELAY_OUT1")].range.maximum, 2550000);

    int digits = 0, texts = 0, numbers = 0, free = 0;
    for (const FieldDef& def : table.fields()) {
        digits += def.typing == Typing::Digits;
        texts += def.typing == Typing::Text;
        numbers += def.typing == Typing::Number;
        free += def.typing == Typing::Free;
    }
    EXPECT_EQ(digits, 1060);
    EXPECT_EQ(texts, 31);
    EXPECT_EQ(numbers, 21);
    EXPECT_EQ(free, 4);
}

// Every family as the field tables list it: count, kind, typing limit, range
// and step (tenths for numbers), start-up and "New" value. Flags and choices
// give their values as "0"/"1" and the index.
struct FamilyExpectation {
    const char* firstName;
    const char* prefix;
    int count;
    FieldKind kind;
    int limit;
    int minimumTenths;
    int maximumTenths;
    int stepTenths;
    const char* start; // with ',' as the user's decimal separator
    const char* fresh;
};

using K = FieldKind;
const FamilyExpectation kFamilies[] = {
    {"TNIN_V_1_1", "TNIN_V_", 256, K::PhoneNumber, 14, 0, 0, 0, "", ""},
    {"TNIN_S_1_1", "TNIN_S_", 256, K::PhoneNumber, 14, 0, 0, 0, "", ""},
    {"T_SMS_IN1", "T_SMS_IN", 8, K::SmsText, 127, 0, 0, 0, "", ""},
    {"T_SMS_RIN1", "T_SMS_RIN", 8, K::SmsText, 127, 0, 0, 0, "", ""},
    {"DELAY_IN1", "DELAY_IN", 8, K::Number, 3, 0, 2550, 10, "0", "0"},
    {"NO_IN1", "NO_IN", 8, K::Flag, 0, 0, 0, 0, "1", "1"},
    {"NC_IN1", "NC_IN", 8, K::Flag, 0, 0, 0, 0, "0", "0"},
    {"TNAIN_V_1_1", "TNAIN_V_", 64, K::PhoneNumber, 14, 0, 0, 0, "", ""},
    {"TNAIN_S_1_1", "TNAIN_S_", 64, K::PhoneNumber, 14, 0, 0, 0, "", ""},
    {"T_SMS_AIN1", "T_SMS_AIN", 2, K::SmsText, 127, 0, 0, 0, "", ""},
    {"T_SMS_RAIN1", "T_SMS_RAIN", 2, K::SmsText, 127, 0, 0, 0, "", ""},
    {"DELAY_AIN1", "DELAY_AIN", 2, K::Number, 3, 0, 2550, 10, "0", "0"},
    {"UMAX_AIN1", "UMAX_AIN", 2, K::Number, 2, 0, 255, 1, "25,5", "25,5"},
    {"UMIN_AIN1", "UMIN_AIN", 2, K::Number, 2, 0, 255, 1, "0", "0"},
    {"TNOUT_V_1_1", "TNOUT_V_", 128, K::PhoneNumber, 14, 0, 0, 0, "", ""},
    {"TNOUT_S_1_1", "TNOUT_S_", 128, K::PhoneNumber, 14, 0, 0, 0, "", ""},
    {"T_SMS_OUT_ON_1", "T_SMS_OUT_ON_", 4, K::SmsText, 127, 0, 0, 0, "", ""},
    {"T_SMS_OUT_OFF_1", "T_SMS_OUT_OFF_", 4, K::SmsText, 127, 0, 0, 0, "", ""},
    {"DTMF_OUT_ON_1", "DTMF_OUT_ON_", 4, K::DtmfCode, 14, 0, 0, 0, "", ""},
    {"DTMF_OUT_OFF_1", "DTMF_OUT_OFF_", 4, K::DtmfCode, 14, 0, 0, 0, "", ""},
    {"DELAY_OUT1", "DELAY_OUT", 4, K::Number, 3, 0, 2550, 10, "0", "0"},
    {"CheckOut_1", "CheckOut_", 2, K::Flag, 0, 0, 0, 0, "0", "0"},
    {"TNBLK_V_1", "TNBLK_V_", 32, K::PhoneNumber, 14, 0, 0, 0, "", ""},
    {"TNBLK_S_1", "TNBLK_S_", 32, K::PhoneNumber, 14, 0, 0, 0, "", ""},
    {"MemoBlock_1", "MemoBlock_", 2, K::SmsText, 127, 0, 0, 0, "", ""},
    {"DTMF_BLOCK1", "DTMF_BLOCK", 2, K::DtmfCode, 14, 0, 0, 0, "", ""},
    {"TNLS_1", "TNLS_", 32, K::PhoneNumber, 14, 0, 0, 0, "", ""},
    {"TNSSMS_1", "TNSSMS_", 32, K::PhoneNumber, 14, 0, 0, 0, "", ""},
    {"Auto_1", "Auto_1", 1, K::Number, 3, 0, 2550, 10, "0", "0"},
    {"Auto_2", "Auto_2", 1, K::Number, 2, 0, 230, 10, "0", "0"},
    {"CheckBoxJam", "CheckBoxJam", 1, K::Flag, 0, 0, 0, 0, "0", "1"},
    {"CheckBoxAku", "CheckBoxAku", 1, K::Flag, 0, 0, 0, 0, "1", "1"},
    {"CheckBox230V", "CheckBox230V", 1, K::Flag, 0, 0, 0, 0, "1", "1"},
    {"ObjCodeIN1", "ObjCodeIN", 8, K::DigitString, 4, 0, 0, 0, "", ""},
    {"EventCodeIN1", "EventCodeIN", 8, K::Choice, 0, 0, 0, 0, "17", "17"},
    {"PartCodeIN1", "PartCodeIN", 8, K::DigitString, 2, 0, 0, 0, "00", "00"},
    {"ZoneCodeIN1", "ZoneCodeIN", 8, K::DigitString, 3, 0, 0, 0, "000", "000"},
    {"IP_PCO", "IP_PCO", 1, K::FreeText, 15, 0, 0, 0, "", ""},
    {"Port_PCO", "Port_PCO", 1, K::DigitString, 5, 0, 0, 0, "5000", "5000"},
    {"IP_PCO2", "IP_PCO2", 1, K::FreeText, 15, 0, 0, 0, "", ""},
    {"Port_PCO2", "Port_PCO2", 1, K::DigitString, 5, 0, 0, 0, "5000", "5000"},
    {"SMS_PCO", "SMS_PCO", 1, K::FreeText, 15, 0, 0, 0, "", ""},
    {"TestPCO", "TestPCO", 1, K::Number, 3, 10, 2550, 10, "24", "0"},
    {"Pass", "Pass", 1, K::AccessCode, 14, 0, 0, 0, "6173", "6173"},
    {"editAPN", "editAPN", 1, K::FreeText, 31, 0, 0, 0, "internet", "internet"},
};

std::string valueAsText(const Configuration& config, FieldId id) {
    switch (config.table()[id].kind) {
    case FieldKind::Flag:
        return config.flag(id) ? "1" : "0";
    case FieldKind::Choice:
        return std::to_string(config.choice(id));
    default:
        return config.text(id);
    }
}

TEST_F(ConfigurationTest, EveryFieldHasTheKindLimitRangeAndValuesOfItsFamily) {
    Configuration fresh = Configuration::startup('.');
    fresh.applyNew();
    int total = 0;
    for (const FamilyExpectation& family : kFamilies) {
        SCOPED_TRACE(family.prefix);
        const std::optional<Family> named = findFamily(family.prefix);
        ASSERT_TRUE(named);
        const auto& ids = table.family(*named);
        ASSERT_EQ(static_cast<int>(ids.size()), family.count);
        EXPECT_EQ(table[ids.front()].name, family.firstName);
        total += family.count;
        for (FieldId field : ids) {
            const FieldDef& def = table[field];
            EXPECT_EQ(def.kind, family.kind) << def.name;
            EXPECT_EQ(def.limit, family.limit) << def.name;
            if (family.kind == FieldKind::Number) {
                EXPECT_EQ(def.range.minimum, family.minimumTenths * 1000) << def.name;
                EXPECT_EQ(def.range.maximum, family.maximumTenths * 1000) << def.name;
                EXPECT_EQ(def.range.step, family.stepTenths * 1000) << def.name;
            }
            EXPECT_EQ(valueAsText(config, field), family.start) << def.name;
            EXPECT_EQ(valueAsText(fresh, field), family.fresh) << def.name;
        }
    }
    EXPECT_EQ(total, 1145);
}

TEST_F(ConfigurationTest, StartUpValues) {
    EXPECT_EQ(text("UMAX_AIN1"), "25,5");
    EXPECT_EQ(Configuration::startup('.').text(id("UMAX_AIN2")), "25.5");
    EXPECT_EQ(text("UMIN_AIN1"), "0");
    EXPECT_EQ(text("TestPCO"), "24");
    EXPECT_EQ(text("Pass"), "6173");
    EXPECT_EQ(text("editAPN"), "internet");
    EXPECT_EQ(text("Port_PCO"), "5000");
    EXPECT_EQ(text("PartCodeIN3"), "00");
    EXPECT_EQ(text("ZoneCodeIN3"), "000");
    EXPECT_EQ(text("ObjCodeIN3"), "");
    EXPECT_EQ(text("TNIN_V_1_1"), "");
    EXPECT_TRUE(config.flag(id("NO_IN4")));
    EXPECT_FALSE(config.flag(id("NC_IN4")));
    EXPECT_FALSE(config.flag(id("CheckBoxJam")));
    EXPECT_TRUE(config.flag(id("CheckBoxAku")));
    EXPECT_TRUE(config.flag(id("CheckBox230V")));
    EXPECT_EQ(config.choice(id("EventCodeIN5")), 17);
}

// Every field away from its "New" value: each text, number and list entry holds
// "9", each flag the opposite of its "New" value, each choice index 0.
Configuration fullConfiguration() {
    Configuration config = Configuration::startup(',');
    const FieldTable& table = config.table();
    for (FieldId field = 0; field < table.size(); ++field) {
        const FieldDef& def = table[field];
        switch (def.kind) {
        case FieldKind::Flag:
            config.setFlag(field, def.newValue == 0);
            break;
        case FieldKind::Choice:
            config.setChoice(field, 0);
            break;
        default:
            config.setText(field, "9");
            break;
        }
    }
    return config;
}

TEST_F(ConfigurationTest, NewResetsEveryFieldOfAFullConfiguration) {
    config = fullConfiguration();
    std::map<Family, std::string> freshValue;
    for (const FamilyExpectation& family : kFamilies)
        freshValue[*findFamily(family.prefix)] = family.fresh;
    for (FieldId field = 0; field < table.size(); ++field)
        ASSERT_NE(valueAsText(config, field), freshValue.at(table[field].family)) << table[field].name;

    config.applyNew();
    for (FieldId field = 0; field < table.size(); ++field)
        EXPECT_EQ(valueAsText(config, field), freshValue.at(table[field].family)) << table[field].name;
    // Where New differs from the start-up values.
    EXPECT_EQ(text("TestPCO"), "0");
    EXPECT_TRUE(config.flag(id("CheckBoxJam")));
    EXPECT_EQ(Configuration::startup('.').text(id("UMAX_AIN1")), "25.5");
    EXPECT_EQ(text("UMAX_AIN1"), "25,5");
}

TEST_F(ConfigurationTest, ListRuleKeepsListsFilledFromTheFront) {
    config.setText(id("TNLS_1"), "1");
    config.setText(id("TNLS_2"), "2");
    config.setText(id("TNLS_3"), "3");
    EXPECT_TRUE(config.isEditable(id("TNLS_4")));
    EXPECT_FALSE(config.isEditable(id("TNLS_5")));

    config.setText(id("TNLS_2"), "");
    EXPECT_EQ(text("TNLS_1"), "1");
    EXPECT_EQ(text("TNLS_3"), "");
    EXPECT_TRUE(config.isEditable(id("TNLS_2")));
    EXPECT_FALSE(config.isEditable(id("TNLS_3")));
    EXPECT_FALSE(config.isEditable(id("TNLS_32")));

    // Another list stays as it was.
    config.setText(id("TNSSMS_1"), "9");
    config.setText(id("TNSSMS_2"), "8");
    config.setText(id("TNLS_1"), "");
    EXPECT_EQ(text("TNSSMS_2"), "8");
    EXPECT_TRUE(config.isEditable(id("TNLS_1")));
    EXPECT_FALSE(config.isEditable(id("TNLS_2")));
}

TEST_F(ConfigurationTest, ListRuleFollowsTheInputNumberOfTwoIndexFamilies) {
    for (int j = 1; j <= 32; ++j) {
        config.setText(table.id("TNIN_V_", 2, j), std::to_string(j));
        config.setText(table.id("TNIN_V_", 3, j), std::to_string(j));
    }
    EXPECT_TRUE(config.isEditable(id("TNIN_V_2_32")));
    config.setText(id("TNIN_V_2_1"), "");
    EXPECT_EQ(text("TNIN_V_2_2"), "");
    EXPECT_EQ(text("TNIN_V_2_32"), "");
    EXPECT_TRUE(config.isEditable(id("TNIN_V_2_1")));
    EXPECT_FALSE(config.isEditable(id("TNIN_V_2_2")));
    EXPECT_EQ(text("TNIN_V_3_32"), "32");
    EXPECT_EQ(text("TNIN_S_2_1"), "");
}

TEST_F(ConfigurationTest, ObserverHearsEntriesTheListRuleCleared) {
    config.setText(id("TNBLK_S_1"), "1");
    config.setText(id("TNBLK_S_2"), "2");
    config.setText(id("TNBLK_S_3"), "3");
    std::vector<std::string> heard;
    config.setObserver([&](FieldId changed) { heard.push_back(table[changed].name); });
    config.setText(id("TNBLK_S_1"), "");
    EXPECT_EQ(heard, (std::vector<std::string>{"TNBLK_S_1", "TNBLK_S_2", "TNBLK_S_3"}));
}

TEST_F(ConfigurationTest, CopiesCarryValuesButNeverTheObserver) {
    int heard = 0;
    config.setObserver([&](FieldId) { ++heard; });
    config.setText(id("TNLS_1"), "1");
    ASSERT_EQ(heard, 1);

    Configuration snapshot = config;
    snapshot.setText(id("TNLS_1"), "2");
    snapshot.setFlag(id("NC_IN1"), true);
    Configuration moved = std::move(snapshot);
    moved.setText(id("TNLS_1"), "3");
    EXPECT_EQ(heard, 1) << "a copy must not reach the window of the original";
    EXPECT_EQ(text("TNLS_1"), "1");

    config = moved; // the original keeps its observer, and an assignment itself notifies nothing
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(text("TNLS_1"), "3");
    config.setText(id("TNLS_2"), "4");
    EXPECT_EQ(heard, 2);
}

// One count of changes for the whole Configuration, whichever field changed and
// whether the user, a rule or an assignment changed it.
TEST_F(ConfigurationTest, UnsavedChangesAreCountedInTheModelAndClearedOnlyAsOfTheirRevision) {
    std::vector<bool> turns;
    config.setModifiedObserver([&](bool modified) { turns.push_back(modified); });
    EXPECT_FALSE(config.modified());
    config.setText(id("TNLS_1"), std::string(text("TNLS_1")));
    config.setChoice(id("EventCodeIN1"), config.choice(id("EventCodeIN1")));
    EXPECT_FALSE(config.modified()) << "setting a value it already has is no change";

    config.setText(id("TNLS_1"), "112");
    config.setFlag(id("NC_IN2"), true); // NO_IN2 follows
    EXPECT_TRUE(config.modified());
    EXPECT_EQ(turns, std::vector<bool>{true}) << "told once, when it turns";

    const std::uint64_t sent = config.revision(); // a write begins
    config.setText(id("TNLS_2"), "113");          // an edit while it runs
    config.markUnmodifiedAt(sent);
    EXPECT_TRUE(config.modified()) << "the later edit is still unsaved";
    config.markUnmodified();
    EXPECT_FALSE(config.modified());
    EXPECT_EQ(turns, (std::vector<bool>{true, false}));

    const Configuration copy = config;
    EXPECT_FALSE(copy.modified());
    Configuration fresh = Configuration::startup(',');
    config = fresh;
    EXPECT_TRUE(config.modified()) << "an assignment replaced the values";
    config.markUnmodified();
    config = fresh;
    EXPECT_FALSE(config.modified()) << "the same values again";
    config.applyNew();
    EXPECT_TRUE(config.modified());
}

TEST_F(ConfigurationTest, PolarityIsOnePairPerInput) {
    config.setFlag(id("NC_IN3"), true);
    EXPECT_FALSE(config.flag(id("NO_IN3")));
    EXPECT_TRUE(config.flag(id("NO_IN2")));
    config.setFlag(id("NO_IN3"), true);
    EXPECT_FALSE(config.flag(id("NC_IN3")));
    config.setFlag(id("NO_IN3"), false);
    EXPECT_FALSE(config.flag(id("NO_IN3")));
    EXPECT_FALSE(config.flag(id("NC_IN3"))) << "clearing one flag must not set the other";
}

TEST_F(ConfigurationTest, ChoiceOutsideTheTableMeansNoSelection) {
    config.setChoice(id("EventCodeIN1"), 0);
    EXPECT_EQ(config.choice(id("EventCodeIN1")), 0);
    config.setChoice(id("EventCodeIN1"), 18);
    EXPECT_EQ(config.choice(id("EventCodeIN1")), -1);
    config.setChoice(id("EventCodeIN1"), -7);
    EXPECT_EQ(config.choice(id("EventCodeIN1")), -1);
}

TEST_F(ConfigurationTest, EventChoiceTable) {
    ASSERT_EQ(kEventChoices.size(), 18u);
    EXPECT_EQ(kEventChoices[0].contactIdCode, 140);
    EXPECT_EQ(kEventChoices[0].english, "General alarm");
    EXPECT_EQ(kEventChoices[7].slovak, "Čiastočne nastavené/odstavené");
    EXPECT_EQ(kEventChoices[13].contactIdCode, 627);
    EXPECT_EQ(kEventChoices[15].slovak, "Požiar");
    EXPECT_EQ(kEventChoices[16].contactIdCode, 100);
    EXPECT_EQ(kEventChoices[17].english, "None");
    EXPECT_EQ(kEventChoices[17].contactIdCode, -1);
}

TEST_F(ConfigurationTest, LoadedTextsBeyondTheLimitsAreKept) {
    const std::string longText(500, 'x');
    config.setText(id("T_SMS_IN1"), longText);
    config.setText(id("DELAY_IN1"), "300");
    EXPECT_EQ(text("T_SMS_IN1"), longText);
    EXPECT_EQ(text("DELAY_IN1"), "300");
}

} // namespace
} // namespace qta
