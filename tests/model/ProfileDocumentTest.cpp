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

TEST(ProfileDocumentTest, WritingIntoAnExistingFileKeepsEveryOtherLine) {
    auto doc = ProfileDocument::parse("; comment\n"
                                      "[Foreign]\n"
                                      "x = 1\n"
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
    doc.setValue("8B", "Port_PCO", "5000");
    EXPECT_EQ(doc.serialize(), "; comment\n"
                               "[Foreign]\n"
                               "x = 1\n"
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
