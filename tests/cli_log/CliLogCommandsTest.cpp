#include "CliRunner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using qta::test::readFile;
using qta::test::runCli;
using qta::test::TempDir;
using qta::test::writeFile;

// stamp (10), text (16), five unused bytes, code
std::string record(const std::string& stamp, std::string text, char code) {
    text.resize(16, '\0');
    return stamp + text + std::string(5, '\0') + code;
}

bool isOneLine(const std::string& text) {
    return !text.empty() && text.find('\n') == text.size() - 1;
}

TEST(CliEvents, WritesOneWindows1250LinePerRecordWithCrLfAndSkipsEmptySlots) {
    TempDir dir;
    const std::string records = record("0712261430", "", 76) + std::string(32, '\xFF') +
                                record("0812261505", "Brana", 25) + std::string(32, '\0') +
                                record("0912260001", "", static_cast<char>(200));
    writeFile(dir / "log.bin", records);

    const auto sk = runCli({"--lang", "SK", "events", dir / "log.bin", "-o", dir / "sk.txt"});
    EXPECT_EQ(sk.exitCode, 0) << sk.err;
    EXPECT_EQ(readFile(dir / "sk.txt"),
              "07.12.2026   14:30   -  Re\x9Atart vola\xE8"
              "a\r\n"
              "08.12.2026   15:05   -  Brana  -  odoslan\xE1 SMS \"Deaktivovan\xFD vstup 1\" \r\n"
              "09.12.2026   00:01 \r\n");

    const auto de = runCli({"--lang", "DE", "events", dir / "log.bin", "-o", dir / "de.txt"});
    EXPECT_EQ(de.exitCode, 0) << de.err;
    EXPECT_EQ(readFile(dir / "de.txt"),
              "07.12.2026   14:30   -  Ger\xE4t Neustart\r\n"
              "08.12.2026   15:05   -  Brana  -  Gesendet SMS \"1.Eingan Dektiviert\" \r\n"
              "09.12.2026   00:01 \r\n");

    const auto en = runCli({"events", dir / "log.bin", "-o", dir / "en.txt"});
    EXPECT_EQ(en.exitCode, 0) << en.err;
    EXPECT_EQ(readFile(dir / "en.txt"),
              "07.12.2026   14:30   -  Restart\r\n"
              "08.12.2026   15:05   -  Brana  -  sended SMS \"Input 1 deactivated\" \r\n"
              "09.12.2026   00:01 \r\n");
}

TEST(CliEvents, AnEmptyLogGivesAnEmptyFile) {
    TempDir dir;
    writeFile(dir / "none.bin", "");
    writeFile(dir / "blank.bin", std::string(256 * 32, '\xFF'));
    for (const std::string name : {"none", "blank"}) {
        const auto result = runCli({"events", dir / (name + ".bin"), "-o", dir / (name + ".txt")});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        ASSERT_TRUE(std::filesystem::exists(dir / (name + ".txt")));
        EXPECT_EQ(readFile(dir / (name + ".txt")), "");
    }
}

TEST(CliEvents, APartialRecordFailsWithOneLineAndWritesNothing) {
    TempDir dir;
    writeFile(dir / "short.bin", record("0712261430", "", 76) + "0712");
    const auto result = runCli({"events", dir / "short.bin", "-o", dir / "out.txt"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(isOneLine(result.err)) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.txt"));

    const auto missing = runCli({"events", dir / "missing.bin", "-o", dir / "out.txt"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(isOneLine(missing.err)) << missing.err;
}

// inputs 1 and 8 active, 12.3 V and 0 V, 3804 mV, main power OK, signal 5,
// 7 December 2026 14:05, GPRS failed, outputs 1 and 3 on, option boxes locked
std::string statusReport() {
    return std::string("\x81\x7B\x00\x6F\x02"
                       "5"
                       "2612071405"
                       "\x02\x05\x00\x1C,",
                       21);
}

TEST(CliStatus, PrintsEveryControlInOrder) {
    TempDir dir;
    writeFile(dir / "report.bin", statusReport());
    const auto result = runCli({"--decimal-separator", ",", "status", dir / "report.bin"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "inputs=10000001\n"
                          "AIN_1=12,3\n"
                          "AIN_2=0\n"
                          "MemoPSU=3,80 green\n"
                          "Memo230V=OK green\n"
                          "gaugeSIGNAL=5 yellow\n"
                          "editTIME= 07.12.2026   14:05\n"
                          "MemoGPRS=Fail red\n"
                          "outputs=1010\n"
                          "options=locked\n");
}

TEST(CliStatus, ShowsWhatStaysUnchanged) {
    TempDir dir;
    std::string report = statusReport();
    report[3] = 110;   // 3800 mV: not above 3800
    report[4] = 0;     // no news of main power
    report[5] = 'x';   // not a digit
    report[16] = 0;    // no news of GPRS
    report[17] = 0x7F; // all outputs on, option boxes left alone
    writeFile(dir / "report.bin", report);
    const auto result = runCli({"--decimal-separator", ".", "status", dir / "report.bin"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "inputs=10000001\n"
                          "AIN_1=12.3\n"
                          "AIN_2=0\n"
                          "MemoPSU=3,80 red\n"
                          "Memo230V=unchanged\n"
                          "gaugeSIGNAL=unchanged\n"
                          "editTIME= 07.12.2026   14:05\n"
                          "MemoGPRS=unchanged\n"
                          "outputs=1111\n"
                          "options=unchanged\n");
}

TEST(CliStatus, BytesOutsidePrintableAsciiArePrintedAsHexEscapes) {
    TempDir dir;
    std::string report = statusReport();
    report[6] = '\x1B'; // ESC [ in the year: a terminal's control sequence
    report[7] = '[';
    report[10] = '\x07'; // BEL in the day
    report[15] = '\xE8'; // not ASCII in the minute
    writeFile(dir / "report.bin", report);
    const auto result = runCli({"status", dir / "report.bin"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("\neditTIME= \\x077.12.20\\x1B[   14:0\\xE8\n"), std::string::npos)
        << result.out;
    EXPECT_EQ(result.out.find_first_of("\x07\x1B\xE8"), std::string::npos);
}

TEST(CliStatus, AReportOfTheWrongSizeFailsWithOneLine) {
    TempDir dir;
    for (const std::string& bytes : {statusReport() + ",", statusReport().substr(0, 20), std::string()}) {
        writeFile(dir / "report.bin", bytes);
        const auto result = runCli({"status", dir / "report.bin"});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(isOneLine(result.err)) << result.err;
    }
}

} // namespace
