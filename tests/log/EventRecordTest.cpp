#include "log/EventRecord.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using qta::Language;
using qta::log::WriteEvent;

// 32 bytes: stamp (10), text (16), five unused bytes, code.
std::string record(std::string stamp, std::string text, unsigned char code) {
    stamp.resize(10, '\0');
    text.resize(16, '\0');
    return stamp + text + std::string(5, '\x55') + static_cast<char>(code);
}

qta::log::EventRecordBytes bytesOf(const std::string& r) {
    return qta::log::EventRecordBytes(reinterpret_cast<const unsigned char*>(r.data()), 32);
}

std::string line(const std::string& r, Language language = Language::EN) {
    return WriteEvent(bytesOf(r), language);
}

const std::string kStamp = "0712261430"; // 7 December 2026, 14:30

TEST(WriteEvent, TimePartThenTheEventTextWithItsOwnSeparator) {
    EXPECT_EQ(line(record(kStamp, "", 76)), "07.12.2026   14:30   -  Restart");
    EXPECT_EQ(line(record(kStamp, "", 0)), "07.12.2026   14:30 GSM jammer detected !");
}

TEST(WriteEvent, TextFieldGetsTheSeparatorOnlyWhenItsFirstByteIsACharacter) {
    EXPECT_EQ(line(record(kStamp, "+421900", 73)), "07.12.2026   14:30   -  +421900  -  PC connected");
    EXPECT_EQ(line(record(kStamp, std::string("\0AB", 3), 73)), "07.12.2026   14:30 AB  -  PC connected");
    EXPECT_EQ(line(record(kStamp, std::string("A\0\0B\0C", 6), 0)),
              "07.12.2026   14:30   -  ABCGSM jammer detected !");
    EXPECT_EQ(line(record(kStamp, "0123456789ABCDEF", 134)), "07.12.2026   14:30   -  0123456789ABCDEF");
}

TEST(WriteEvent, StampWithoutTenCharactersLosesOnlyTheTimePart) {
    EXPECT_EQ(line(record("071226143", "", 76)), "  -  Restart"); // nine characters
    std::string zeroInside = kStamp;
    zeroInside[2] = '\0';
    EXPECT_EQ(line(record(zeroInside, "", 76)), "  -  Restart");
    EXPECT_EQ(line(record("071226143", "5", 76)), "  -  5  -  Restart"); // the text field lends nothing
    EXPECT_EQ(line(record("ab12cd34ef", "", 85)),
              "ab.12.20cd   34:ef   -  GSM signal OK"); // copied as they stand
}

TEST(WriteEvent, CodesWithoutTextAppendNothing) {
    EXPECT_EQ(line(record(kStamp, "", 134)), "07.12.2026   14:30 ");
    EXPECT_EQ(line(record(kStamp, "X", 255)), "07.12.2026   14:30   -  X");
    EXPECT_EQ(line(record(kStamp, "", 133)), "07.12.2026   14:30   -  inputs deblockig by DTMF");
}

TEST(WriteEvent, LinesAreWindows1250InEachLanguageWithTrailingBlanksKept) {
    EXPECT_EQ(line(record(kStamp, "", 76), Language::SK), "07.12.2026   14:30   -  Re\x9Atart vola\xE8"
                                                          "a");
    EXPECT_EQ(line(record(kStamp, "", 25), Language::DE),
              "07.12.2026   14:30   -  Gesendet SMS \"1.Eingan Dektiviert\" ");
    EXPECT_EQ(line(record(kStamp, "", 104), Language::DE),
              "07.12.2026   14:30   -  Gesendet auf ARC \"1.Eingan Deaktiviert\" erfolgreich");
    EXPECT_EQ(line(record(kStamp, "", 128), Language::DE),
              "07.12.2026   14:30   -  Eing\xE4nge Blockierung bei Empfang");
    EXPECT_EQ(line(record(kStamp, "", 71), Language::EN),
              "07.12.2026   14:30   -  start remote tapping / hearing    ");
    EXPECT_EQ(line(record(kStamp, "", 71), Language::DK),
              "07.12.2026   14:30   -  start remote tapping / hearing    ");
    EXPECT_EQ(line(record(kStamp, "", 69), Language::SK), "07.12.2026   14:30   -  \xCF"
                                                          "al\x9Aie volania zru\x9A"
                                                          "en\xE9 u\x9E\xEDvate\xBEom ");
}

TEST(EventRecords, EmptySlotsAreSkippedAndTheRestKeepTheirOrder) {
    const std::string records =
        record(kStamp, "", 76) + record("\xFF", "", 76) + record("", "ZZ", 76) + record("0812261431", "", 0);
    const auto lines = qta::log::decodeEventRecords(records, Language::EN);
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, (std::vector<std::string>{"07.12.2026   14:30   -  Restart",
                                                "08.12.2026   14:31 GSM jammer detected !"}));
}

TEST(EventRecords, OnlyWholeRecordsAreDecoded) {
    EXPECT_EQ(qta::log::decodeEventRecords("", Language::EN), std::vector<std::string>{});
    EXPECT_FALSE(qta::log::decodeEventRecords(record(kStamp, "", 76) + "x", Language::EN));
    EXPECT_FALSE(qta::log::decodeEventRecords(std::string(31, '1'), Language::EN));
    // 256 empty slots, as a log that was never written
    EXPECT_EQ(qta::log::decodeEventRecords(std::string(256 * 32, '\xFF'), Language::EN),
              std::vector<std::string>{});
}

TEST(EventLogFile, EveryLineEndsWithCrLf) {
    const std::vector<std::string> lines{"a ", "", "b"};
    EXPECT_EQ(qta::log::eventLogFileContent(lines), "a \r\n\r\nb\r\n");
    EXPECT_EQ(qta::log::eventLogFileContent({}), "");
}

} // namespace
