#include "compare/ConfigDiff.h"
#include "compare/ConfigPatch.h"
#include "compare/FieldCaptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qta::compare {
namespace {

using ::testing::ElementsAre;

const FieldTable& table() {
    return FieldTable::instance();
}

FieldId id(std::string_view name) {
    return table().id(name);
}

std::vector<std::string> names(const std::vector<Difference>& differences) {
    std::vector<std::string> out;
    for (const Difference& d : differences)
        out.push_back(d.name);
    return out;
}

// Input 3's voice list holds 17 numbers; input 4 is NO; input 5 reports "Požiar" (index 3).
Configuration base() {
    Configuration config = Configuration::startup(',');
    for (int j = 1; j <= 17; ++j)
        config.setText(table().id("TNIN_V_", 3, j), "09051234" + std::to_string(10 + j));
    config.setFlag(id("NO_IN4"), true);
    config.setChoice(id("EventCodeIN5"), 3);
    config.setText(id("UMAX_AIN1"), "25,5");
    config.setText(id("UMIN_AIN2"), "3,5");
    config.setText(id("T_SMS_IN2"), "Alarm zone 2");
    return config;
}

TEST(ConfigDiffTest, NamesEachChangedSettingWithBothValuesAndItsCaption) {
    const Configuration a = base();
    Configuration b = a;
    b.setText(id("TNIN_V_3_17"), "0905123457");
    b.setText(id("T_SMS_IN2"), "Alarm\r\nzone 2");
    b.setFlag(id("NC_IN4"), true); // and so NO_IN4 off
    b.setChoice(id("EventCodeIN5"), 17);
    b.setText(id("UMAX_AIN1"), "25.5"); // the same value with the other separator
    b.setText(id("UMIN_AIN2"), "4.0");

    const auto differences = diff(a, b, Language::EN);
    ASSERT_THAT(names(differences),
                ElementsAre("TNIN_V_3_17", "T_SMS_IN2", "NO_IN4", "NC_IN4", "UMIN_AIN2", "EventCodeIN5"));
    EXPECT_EQ(differences[0].before, "0905123427");
    EXPECT_EQ(differences[0].after, "0905123457");
    EXPECT_EQ(differences[0].caption, "Digit. inputs, 3 .input, Phone numbers for voice messages, 17. num.");
    EXPECT_EQ(differences[1].after, "Alarm\r\nzone 2");
    EXPECT_EQ(differences[1].caption, "Digit. inputs, 2 .input, Text SMS, Activation");
    EXPECT_EQ(differences[2].before, "1");
    EXPECT_EQ(differences[2].after, "0");
    EXPECT_EQ(differences[2].shownBefore, "[x]");
    EXPECT_EQ(differences[3].caption, "Digit. inputs, 4 .input, Input type, NC");
    EXPECT_EQ(differences[4].before, "3,5");
    EXPECT_EQ(differences[4].after, "4.0");
    EXPECT_EQ(differences[5].before, "3");
    EXPECT_EQ(differences[5].after, "17");
    EXPECT_EQ(differences[5].shownAfter, "None");
    EXPECT_EQ(differences[5].caption, "ARC, Data codes, 5. input, Reported event");

    const auto slovak = diff(a, b, Language::SK);
    EXPECT_EQ(slovak[0].caption, "Digit. vstupy, 3 .vstup, Tel. čísla pre zvukové správy, 17. číslo");
    EXPECT_EQ(slovak[5].shownAfter, "Žiadna");

    EXPECT_TRUE(diff(a, a, Language::EN).empty());
}

TEST(ConfigDiffTest, EverySettingHasACaptionOfTheCatalogue) {
    for (std::size_t i = 0; i < table().size(); ++i) {
        const auto field = static_cast<FieldId>(i);
        for (const Language language : {Language::SK, Language::EN, Language::DE})
            EXPECT_NE(fieldCaption(field, language), table()[field].name) << table()[field].name;
    }
    EXPECT_EQ(fieldCaption(id("Port_PCO2"), Language::EN), "ARC, Access to ARC, IP adress, Port");
    EXPECT_EQ(fieldCaption(id("CheckBoxJam"), Language::SK),
              "Stavové SMS, Zasielanie chybových stavov, Zasielať zachytenie rušičky");
    EXPECT_EQ(fieldCaption(id("TNBLK_S_2"), Language::EN),
              "Blocking inputs, Phone numbers for blocking by SMS, 2. num.");
    EXPECT_EQ(fieldCaption(id("CheckOut_2"), Language::EN), "Outputs, 2 .output, Swich-on on dialing");
}

TEST(ConfigDiffTest, TakingTheOtherValuesBringsTheSameConfiguration) {
    Configuration window = base();
    std::vector<FieldId> heard;
    window.setObserver([&](FieldId f) { heard.push_back(f); });
    Configuration file = Configuration::startup(',');
    file.setText(id("TNIN_V_3_1"), "111");
    file.setText(id("TNIN_V_3_2"), "222");

    const auto differences = diff(window, file, Language::EN);
    take(window, file, id("TNIN_V_3_2"));
    EXPECT_EQ(window.text(id("TNIN_V_3_2")), "222");
    EXPECT_EQ(window.text(id("TNIN_V_3_3")), "0905123413") << "one take changes that setting only";
    EXPECT_THAT(heard, ElementsAre(id("TNIN_V_3_2")));

    takeAll(window, file, differences);
    EXPECT_TRUE(diff(window, file, Language::EN).empty());
    EXPECT_TRUE(window == file);
}

TEST(ConfigDiffTest, APatchChangesOnlyTheKeysItHolds) {
    const Configuration a = base();
    Configuration patched = a;
    const auto patch = ProfileDocument::parse("[1B]\r\ntnin_v_3_17 = 0905999999\r\n[1F]\r\nNC_IN4=1\r\n"
                                              "[8E]\r\nEventCodeIN5=40\r\n[2G]\r\nUMIN_AIN2=12\r\n");
    const PatchResult result = applyPatch(patch, patched);
    EXPECT_EQ(result.applied, 4);
    EXPECT_TRUE(result.clean());
    EXPECT_THAT(names(diff(a, patched, Language::EN)),
                ElementsAre("TNIN_V_3_17", "NO_IN4", "NC_IN4", "UMIN_AIN2", "EventCodeIN5"));
    EXPECT_EQ(patched.text(id("TNIN_V_3_17")), "0905999999");
    EXPECT_EQ(patched.choice(id("EventCodeIN5")), kChoiceNone);
    EXPECT_EQ(patched.text(id("UMAX_AIN1")), "25,5") << "a setting absent from the patch stays";
    EXPECT_EQ(patched.text(id("T_SMS_IN2")), "Alarm zone 2");

    Configuration empty = Configuration::startup(',');
    const PatchResult gap = applyPatch(ProfileDocument::parse("[5A]\r\nTNLS_1=\r\nTNLS_5=123\r\n"), empty);
    EXPECT_THAT(gap.dropped, ElementsAre("TNLS_5"));
    EXPECT_FALSE(applyPatch(ProfileDocument::parse("[Other]\r\nkey=1\r\n"), empty).anyKey());
}

TEST(ConfigDiffTest, APatchHoldsOnlyTheChangedKeysUnderTheirSections) {
    const Configuration a = base();
    Configuration b = a;
    b.setText(id("TNIN_V_3_17"), "0905123457");
    b.setFlag(id("CheckBox230V"), false);
    b.setText(id("UMAX_AIN1"), "25.5");
    EXPECT_EQ(makePatch(a, b).serialize(), "[1B]\r\nTNIN_V_3_17=0905123457\r\n[6C]\r\n230V=0\r\n");
}

} // namespace
} // namespace qta::compare
