// diff, patch, export-lists and import-lists on files.
#include "CliRunner.h"

#include "model/Configuration.h"
#include "model/Cp1250.h"
#include "model/PffFile.h"

#include <gtest/gtest.h>

namespace qta::test {
namespace {

Configuration configured() {
    Configuration config = Configuration::startup(',');
    const FieldTable& table = config.table();
    for (int j = 1; j <= 17; ++j)
        config.setText(table.id("TNIN_V_", 3, j), "09051234" + std::to_string(39 + j));
    config.setText(table.id("T_SMS_IN2"), utf8ToCp1250("Požiar"));
    config.setText(table.id("UMAX_AIN1"), "25,5");
    return config;
}

TEST(CliCompareTest, DiffNamesEachSettingAndItsPatchTurnsAIntoB) {
    TempDir dir;
    const Configuration a = configured();
    Configuration b = a;
    const FieldTable& table = b.table();
    b.setText(table.id("TNIN_V_3_17"), "0905123457");
    b.setText(table.id("T_SMS_IN2"), utf8ToCp1250("Požiar v hale"));
    b.setFlag(table.id("NC_IN4"), true);
    b.setChoice(table.id("EventCodeIN5"), 3);
    ASSERT_TRUE(pff::save(a, dir / "a.pff"));
    ASSERT_TRUE(pff::save(b, dir / "b.pff"));

    const CliResult diff = runCli({"diff", dir / "a.pff", dir / "b.pff", "--patch-out", dir / "p.pff"});
    EXPECT_EQ(diff.exitCode, 1) << diff.err;
    EXPECT_EQ(diff.out, "TNIN_V_3_17: 0905123456 -> 0905123457\n"
                        "T_SMS_IN2: Požiar -> Požiar v hale\n"
                        "NO_IN4: 1 -> 0\n"
                        "NC_IN4: 0 -> 1\n"
                        "EventCodeIN5: 17 -> 3\n");
    EXPECT_EQ(readFile(dir / "p.pff"),
              "[1B]\r\nTNIN_V_3_17=0905123457\r\n[1C]\r\nT_SMS_IN2=Po\x9E"
              "iar v hale\r\n[1E]\r\nNO_IN4=0\r\n[1F]\r\nNC_IN4=1\r\n[8E]\r\nEventCodeIN5=3\r\n");
    const CliResult json = runCli({"--lang", "SK", "diff", "--json", dir / "a.pff", dir / "b.pff"});
    EXPECT_EQ(
        json.out.substr(0, json.out.find('\n')),
        "{\"name\":\"TNIN_V_3_17\",\"caption\":\"Digit. vstupy, 3 .vstup, Tel. čísla pre zvukové správy, "
        "17. číslo\",\"a\":\"0905123456\",\"b\":\"0905123457\",\"forced\":false}");

    const CliResult patched = runCli({"patch", dir / "a.pff", dir / "p.pff", "-o", dir / "c.pff"});
    ASSERT_EQ(patched.exitCode, 0) << patched.err;
    EXPECT_EQ(readFile(dir / "c.pff"), readFile(dir / "b.pff"));
    EXPECT_EQ(runCli({"diff", dir / "b.pff", dir / "c.pff"}).exitCode, 0);

    EXPECT_EQ(runCli({"diff", dir / "a.pff", dir / "missing.pff"}).exitCode, 2);
    const std::string kept = readFile(dir / "a.pff");
    EXPECT_EQ(runCli({"diff", dir / "a.pff", dir / "b.pff", "--patch-out", dir / "a.pff"}).exitCode, 2);
    EXPECT_EQ(readFile(dir / "a.pff"), kept) << "a patch never replaces a file it was made from";
    EXPECT_EQ(runCli({"diff", dir / "a.pff", dir / "b.pff", "--patch-out", dir / "no/p.pff"}).exitCode, 2);
    EXPECT_EQ(runCli({"diff", dir / "a.pff"}).exitCode, 2);
}

TEST(CliCompareTest, ListsGoToASpreadsheetAndBackAndBadRowsAreRefusedOnStandardError) {
    TempDir dir;
    ASSERT_TRUE(pff::save(configured(), dir / "in.pff"));
    ASSERT_EQ(runCli({"export-lists", dir / "in.pff", "-o", dir / "l.csv", "--encoding", "cp1250",
                      "--separator", ";"})
                  .exitCode,
              0);
    const std::string csv = readFile(dir / "l.csv");
    EXPECT_TRUE(csv.starts_with("list;position;value\r\nTNIN_V_1;1;\r\n"));
    EXPECT_NE(csv.find("\r\nT_SMS_IN2;;Po\x9E"
                       "iar\r\n"),
              std::string::npos);

    ASSERT_TRUE(pff::save(Configuration::startup(','), dir / "base.pff"));
    const CliResult imported =
        runCli({"import-lists", dir / "base.pff", dir / "l.csv", "-o", dir / "out.pff"});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(runCli({"diff", dir / "in.pff", dir / "out.pff"}).out, "");

    writeFile(dir / "bad.csv", "\xEF\xBB\xBFlist,position,value\r\nTNLS,1,112\r\nTNLS,2,1x\r\n");
    const CliResult refused =
        runCli({"import-lists", dir / "base.pff", dir / "bad.csv", "-o", dir / "bad.pff"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err,
              "qta710-cli: " + (dir / "bad.csv") +
                  ": row 3, list TNLS, position 2, value \"1x\": only digits and \"+\" make a phone "
                  "number\nqta710-cli: 1 rows refused; nothing was imported\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.pff"));
}

} // namespace
} // namespace qta::test
