#include "compare/ListsCsv.h"

#include "model/Cp1250.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qta::compare {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

const FieldTable& table() {
    return FieldTable::instance();
}

// Every entry of every list filled with a number of its own, 14 characters long
// for the last one, and texts with a separator, a quote, a line break and accents.
Configuration fullLists() {
    Configuration config = Configuration::startup(',');
    int n = 0;
    for (const NumberList& list : table().lists()) {
        for (int j = 0; j < kListLength; ++j)
            config.setText(static_cast<FieldId>(list.first + j), "+421" + std::to_string(9000000000 + n++));
    }
    config.setText(table().id("T_SMS_IN1"), "Fire; \"big\", hall\r\nCall 112");
    config.setText(table().id("T_SMS_OUT_OFF_4"), utf8ToCp1250("Požiar v kotolni"));
    return config;
}

std::vector<std::string> messages(const ImportResult& result) {
    std::vector<std::string> out;
    for (const RefusedRow& row : result.refused)
        out.push_back(row.message());
    return out;
}

TEST(ListsCsvTest, TheFileHasAHeaderOneRowPerEntryAndTextAndQuotesWhatNeedsIt) {
    Configuration config = Configuration::startup(',');
    config.setText(table().id("TNIN_V_3_1"), "0905123456");
    config.setText(table().id("T_SMS_IN1"), "Fire; \"big\"\r\nCall");
    config.setText(table().id("T_SMS_IN2"), utf8ToCp1250("Požiar, hala"));

    const std::string utf8 = exportLists(config, {});
    EXPECT_TRUE(utf8.starts_with("\xEF\xBB\xBFlist,position,value\r\nTNIN_V_1,1,\r\nTNIN_V_1,2,\r\n"));
    EXPECT_THAT(utf8, HasSubstr("\r\nTNIN_V_3,1,0905123456\r\nTNIN_V_3,2,\r\n"));
    EXPECT_THAT(utf8, HasSubstr("\r\nTNLS,32,\r\nTNSSMS,1,\r\n"));
    EXPECT_THAT(utf8,
                HasSubstr("\r\nT_SMS_IN1,,\"Fire; \"\"big\"\"\r\nCall\"\r\nT_SMS_IN2,,\"Požiar, hala\"\r\n"));

    const std::string cp1250 = exportLists(config, {CsvEncoding::Cp1250, ';'});
    EXPECT_TRUE(cp1250.starts_with("list;position;value\r\nTNIN_V_1;1;\r\n"));
    EXPECT_THAT(cp1250, HasSubstr("\r\nT_SMS_IN2;;Po\x9E"
                                  "iar, hala\r\n"));
    // The header, 32 lists of 32 entries, 30 texts (8 + 8 + 2 + 2 + 4 + 4 + 2) and the line break inside one.
    EXPECT_EQ(std::count(cp1250.begin(), cp1250.end(), '\n'), 1 + 32 * 32 + 30 + 1);
}

TEST(ListsCsvTest, FullListsComeBackInBothEncodingsAndWithBothSeparators) {
    const Configuration full = fullLists();
    for (const CsvEncoding encoding : {CsvEncoding::Utf8Bom, CsvEncoding::Cp1250}) {
        for (const char separator : {',', ';'}) {
            Configuration imported = Configuration::startup(',');
            const ImportResult result =
                importLists(exportLists(full, {encoding, separator}), imported, false);
            EXPECT_TRUE(result.refused.empty()) << separator;
            EXPECT_EQ(result.taken, 32 * 32 + 30);
            EXPECT_TRUE(imported == full)
                << "encoding " << static_cast<int>(encoding) << ", separator " << separator;
        }
    }
}

TEST(ListsCsvTest, BadRowsAreRefusedWholeAndEachIsNamed) {
    const std::string csv = "list;position;value\r\n"
                            "TNIN_V_3;1;0905123456\r\n"
                            "TNIN_V_3;2;0905 123\r\n"
                            "TNIN_V_3;3;123456789012345\r\n"
                            "tnls;1;112\r\n"
                            "TNLS;3;113\r\n"
                            "TNOUT_S_5;1;1\r\n"
                            "TNSSMS;33;1\r\n"
                            "TNLS;1;114\r\n"
                            "T_SMS_IN1;;\"Alarm\r\nzone 1\"\r\n";
    Configuration config = Configuration::startup(',');
    const Configuration before = config;
    const ImportResult result = importLists(csv, config, false);
    EXPECT_THAT(
        messages(result),
        ElementsAre("row 3, list TNIN_V_3, position 2, value \"0905 123\": only digits and \"+\" make a "
                    "phone number",
                    "row 4, list TNIN_V_3, position 3, value \"123456789012345\": longer than 14 characters",
                    "row 6, list TNLS, position 3, value \"113\": an entry behind an empty one: a list is "
                    "filled from the front",
                    "row 7, list TNOUT_S_5, position 1, value \"1\": no such list or text",
                    "row 8, list TNSSMS, position 33, value \"1\": the position is a number from 1 to 32",
                    "row 9, list TNLS, position 1, value \"114\": the same entry as row 5"));
    EXPECT_FALSE(result.changed);
    EXPECT_TRUE(config == before) << "nothing changes while a row is refused";

    const ImportResult partial = importLists(csv, config, true);
    EXPECT_EQ(partial.refused.size(), 6u);
    EXPECT_EQ(partial.taken, 3);
    EXPECT_EQ(config.text(table().id("TNIN_V_3_1")), "0905123456");
    EXPECT_EQ(config.text(table().id("TNLS_1")), "112");
    EXPECT_EQ(config.text(table().id("T_SMS_IN1")), "Alarm\r\nzone 1");

    EXPECT_FALSE(importLists("name,number\r\nx,1\r\n", config, false).fault.empty());
}

} // namespace
} // namespace qta::compare
