#include "model/EntryRules.h"

#include <gtest/gtest.h>

namespace qta::entry {
namespace {

const NumberRange kDelay{0, 2550000, 10000};
const NumberRange kVolts{0, 255000, 1000};
const NumberRange kTestPco{10000, 2550000, 10000};

TEST(EntryRulesTest, DigitsFilterTakesDigitsPlusAndControlCharacters) {
    for (char32_t c : {U'0', U'9', U'+', char32_t{8}, char32_t{13}, char32_t{22} /* Ctrl+V */})
        EXPECT_TRUE(onlyNumbers(c)) << static_cast<int>(c);
    for (char32_t c : {U'*', U'#', U' ', U'a', U'á', U'-', char32_t{127}})
        EXPECT_FALSE(onlyNumbers(c)) << static_cast<int>(c);
    EXPECT_EQ(filterKey(Typing::Digits, U'*', ','), KeyVerdict::Drop) << "dropped without a sound";
}

TEST(EntryRulesTest, TextFilterTakesPrintableAsciiAndBackspace) {
    for (char32_t c : {U' ', U'a', U'~', char32_t{127}, char32_t{8}})
        EXPECT_TRUE(onlyText(c)) << static_cast<int>(c);
    for (char32_t c : {char32_t{13}, char32_t{9}, char32_t{3}, char32_t{22}, char32_t{26}, U'é', U'á'})
        EXPECT_FALSE(onlyText(c)) << static_cast<int>(c);
}

TEST(EntryRulesTest, NumberFieldRefusesWithABeep) {
    EXPECT_EQ(numberFieldKey(U'5', ','), KeyVerdict::Accept);
    EXPECT_EQ(numberFieldKey(U'-', ','), KeyVerdict::Accept);
    EXPECT_EQ(numberFieldKey(U'.', ','), KeyVerdict::Accept);
    EXPECT_EQ(numberFieldKey(U',', '.'), KeyVerdict::Accept);
    EXPECT_EQ(numberFieldKey(char32_t{8}, ','), KeyVerdict::Accept);
    EXPECT_EQ(numberFieldKey(char32_t{13}, ','), KeyVerdict::DropWithBeep);
    EXPECT_EQ(numberFieldKey(U'a', ','), KeyVerdict::DropWithBeep);
    EXPECT_EQ(numberFieldKey(U' ', ','), KeyVerdict::DropWithBeep);
    EXPECT_EQ(filterKey(Typing::Free, U'é', ','), KeyVerdict::Accept);
}

TEST(EntryRulesTest, NumberTextsReadWithEitherDecimalPoint) {
    EXPECT_EQ(parseNumber("25,5"), 255000);
    EXPECT_EQ(parseNumber("25.5"), 255000);
    EXPECT_EQ(parseNumber("007"), 70000);
    EXPECT_EQ(parseNumber(" -5 "), -50000);
    EXPECT_EQ(parseNumber("+3"), 30000);
    EXPECT_EQ(parseNumber("1,23456"), 12345);
    EXPECT_EQ(parseNumber(",5"), 5000);
    EXPECT_FALSE(parseNumber(""));
    EXPECT_FALSE(parseNumber("-"));
    EXPECT_FALSE(parseNumber("1,2,3"));
    EXPECT_FALSE(parseNumber("1.2,3"));
    EXPECT_FALSE(parseNumber("1 000"));
    EXPECT_FALSE(parseNumber("abc"));
    EXPECT_EQ(numberValue(kTestPco, ""), 10000) << "unreadable gives the minimum";
    EXPECT_GT(*parseNumber("99999999999999999999999"), 0) << "saturates instead of overflowing";
}

TEST(EntryRulesTest, StepsAreExactDecimals) {
    std::string text = "0";
    for (int i = 0; i < 10; ++i)
        text = stepNumber(kVolts, text, +1, ',');
    EXPECT_EQ(text, "1");
    EXPECT_EQ(stepNumber(kVolts, "25,5", +1, ','), "25,5");
    EXPECT_EQ(stepNumber(kVolts, "25,5", -1, ','), "25,4");
    EXPECT_EQ(stepNumber(kVolts, "25.5", -1, '.'), "25.4");
    EXPECT_EQ(stepNumber(kVolts, "25,5", -1, '.'), "25.4") << "a comma text is readable under '.'";
    EXPECT_EQ(stepNumber(kVolts, "0", -1, ','), "0");
    EXPECT_EQ(stepNumber(kDelay, "", +1, ','), "1");
    EXPECT_EQ(stepNumber(kDelay, "1,5", +1, ','), "2,5");
    EXPECT_EQ(stepNumber(kTestPco, "0", +1, ','), "1");
    EXPECT_EQ(stepNumber(kTestPco, "0", -1, ','), "1");
    EXPECT_EQ(stepNumber(kDelay, "300", -1, ','), "255");
}

TEST(EntryRulesTest, LeavingAFieldClampsOnlyOutOfRangeValues) {
    EXPECT_EQ(leaveNumberField(kDelay, "300", ','), "255");
    EXPECT_EQ(leaveNumberField(kDelay, "-5", ','), "0");
    EXPECT_EQ(leaveNumberField(kTestPco, "0", ','), "1");
    EXPECT_EQ(leaveNumberField(kVolts, "30", ','), "25,5");
    EXPECT_EQ(leaveNumberField(kVolts, "30", '.'), "25.5");
    EXPECT_EQ(leaveNumberField(kDelay, "007", ','), std::nullopt);
    EXPECT_EQ(leaveNumberField(kDelay, "1,5", ','), std::nullopt);
    EXPECT_EQ(leaveNumberField(kDelay, "", ','), std::nullopt);
    EXPECT_EQ(leaveNumberField(kDelay, "-", ','), std::nullopt);
}

TEST(EntryRulesTest, FormatDropsTrailingZeros) {
    EXPECT_EQ(formatNumber(255000, ','), "25,5");
    EXPECT_EQ(formatNumber(240000, '.'), "24");
    EXPECT_EQ(formatNumber(0, ','), "0");
    EXPECT_EQ(formatNumber(12345, '.'), "1.2345");
    EXPECT_EQ(formatNumber(-5000, ','), "-0,5");
}

} // namespace
} // namespace qta::entry
