#include "model/ProfileDocument.h"

#include <gtest/gtest.h>

namespace qta {
namespace {

TEST(ProfileDocumentTest, ReadingMatchesCaseAndTrimsBlanksAndQuotes) {
    const auto doc = ProfileDocument::parse("[Main]\r\n"
                                            "  Key One =  spaced value  \r\n"
                                            "quoted=\"a \"\" b\"\r\n"
                                            "single=' x '\r\n"
                                            "mixed=\"x'\r\n"
                                            "eq=a=b\n"
                                            "key one=second\r\n"
                                            "[main]\r\n"
                                            "other=hidden\r\n"
                                            "[Last]\r\n"
                                            "tail=no newline");
    EXPECT_EQ(doc.value("MAIN", "KEY ONE"), "spaced value");
    EXPECT_EQ(doc.value("main", "quoted"), "a \"\" b");
    EXPECT_EQ(doc.value("main", "single"), " x ");
    EXPECT_EQ(doc.value("main", "mixed"), "\"x'");
    EXPECT_EQ(doc.value("main", "eq"), "a=b");
    EXPECT_EQ(doc.value("main", "other"), std::nullopt) << "the first section of a name wins";
    EXPECT_EQ(doc.value("last", "tail"), "no newline");
    EXPECT_EQ(doc.value("none", "tail"), std::nullopt);
}

TEST(ProfileDocumentTest, LongValuesAreCut) {
    const auto doc = ProfileDocument::parse("[s]\r\nk=" + std::string(3000, 'v') + "\r\n");
    EXPECT_EQ(doc.value("s", "k")->size(), 2047u);
}

TEST(ProfileDocumentTest, IntegersAreDecimalOrHexadecimal) {
    EXPECT_EQ(parseProfileInteger("17"), 17);
    EXPECT_EQ(parseProfileInteger("-1"), -1);
    EXPECT_EQ(parseProfileInteger("0x1F"), 31);
    EXPECT_EQ(parseProfileInteger("0X10"), 16);
    EXPECT_EQ(parseProfileInteger("$ff"), 255);
    EXPECT_EQ(parseProfileInteger("0xFFFFFFFF"), -1);
    EXPECT_EQ(parseProfileInteger("yes"), std::nullopt);
    EXPECT_EQ(parseProfileInteger("1.5"), std::nullopt);
    EXPECT_EQ(parseProfileInteger(""), std::nullopt);
    EXPECT_EQ(parseProfileInteger("0x"), std::nullopt);
    EXPECT_EQ(parseProfileInteger("99999999999"), std::nullopt);
}

// Every other line stays byte for byte; every line written, replaced or added,
// ends in CR LF even in a file whose lines end in LF.
TEST(ProfileDocumentTest, WritingIntoAnExistingFileKeepsEveryOtherLine) {
    auto doc = ProfileDocument::parse("; comment\n"
                                      "[Foreign]\n"
                                      "x = 1\n"
                                      "w=old\n"
                                      "\n"
                                      "[7a]\r\n"
                                      "PASS=old\r\n"
                                      "extra=keep\r\n"
                                      "\r\n"
                                      "[After]\r\n"
                                      "y=2");
    doc.setValue("7A", "Pass", "1234");
    doc.setValue("7A", "New", "n");
    doc.setValue("Foreign", "z", "3");
    doc.setValue("foreign", "W", "new");
    doc.setValue("8B", "Port_PCO", "5000");
    EXPECT_EQ(doc.serialize(), "; comment\n"
                               "[Foreign]\n"
                               "x = 1\n"
                               "W=new\r\n"
                               "z=3\r\n"
                               "\n"
                               "[7a]\r\n"
                               "Pass=1234\r\n"
                               "extra=keep\r\n"
                               "New=n\r\n"
                               "\r\n"
                               "[After]\r\n"
                               "y=2\r\n"
                               "[8B]\r\n"
                               "Port_PCO=5000\r\n");
    doc.setValue("After", "y", "3");
    EXPECT_TRUE(doc.serialize().ends_with("[After]\r\ny=3\r\n[8B]\r\nPort_PCO=5000\r\n"));
}

// A key added to a section, before its trailing blank lines or at its end, is
// found in the same document as it will be in the saved file.
TEST(ProfileDocumentTest, AddedKeysAreFoundInTheDocumentAsInTheSavedFile) {
    auto doc = ProfileDocument::parse("[A]\nx=1\n\n\n[B]\ny=2\n[C]\nz=3");
    doc.setValue("A", "middle", "m");
    doc.setValue("a", "Second", "s");
    doc.setValue("B", "end", "e");
    doc.setValue("C", "last", "l");
    doc.setValue("D", "new", "n");
    doc.setValue("D", "next", "t");
    // A name its line reads back differently: the line "k=v=1" holds the key "k".
    doc.setValue("B", "k=v", "1");
    doc.setValue("A", "k=v", "2");

    const ProfileDocument reread = ProfileDocument::parse(doc.serialize());
    const std::pair<const char*, const char*> keys[] = {
        {"A", "x"},   {"A", "middle"}, {"A", "second"}, {"B", "y"},   {"B", "end"}, {"C", "last"},
        {"D", "new"}, {"D", "next"},   {"B", "k"},      {"B", "k=v"}, {"A", "k"},   {"A", "k=v"},
    };
    for (const auto& [section, key] : keys)
        EXPECT_EQ(doc.value(section, key), reread.value(section, key)) << section << " " << key;
    EXPECT_EQ(doc.value("A", "middle"), "m");
    EXPECT_EQ(doc.value("A", "second"), "s");
    EXPECT_EQ(doc.value("C", "last"), "l");
    EXPECT_EQ(doc.value("D", "next"), "t");
    EXPECT_EQ(doc.value("B", "k"), "v=1");
}

TEST(ProfileDocumentTest, LineBreaksInAValueCannotInjectKeys) {
    ProfileDocument doc;
    doc.setValue("1C", "T_SMS_IN1", "x\r\n[7A]\r\nPass=0000\rA\nB");
    doc.setValue("7A", "Pass", "6173");
    EXPECT_EQ(doc.serialize(), "[1C]\r\nT_SMS_IN1=x [7A] Pass=0000 A B\r\n[7A]\r\nPass=6173\r\n");
    EXPECT_EQ(ProfileDocument::parse(doc.serialize()).value("7A", "Pass"), "6173");
}

} // namespace
} // namespace qta
