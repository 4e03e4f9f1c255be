#include "model/Cp1250.h"

#include <gtest/gtest.h>

namespace qta {
namespace {

TEST(Cp1250Test, SlovakAndGermanLettersRoundTrip) {
    // "Požiar" and "Gerät" as Windows-1250 bytes.
    EXPECT_EQ(utf8ToCp1250("Požiar"), "Po\x9E"
                                      "iar");
    EXPECT_EQ(utf8ToCp1250("Gerät"), "Ger\xE4t");
    EXPECT_EQ(utf8ToCp1250("ČĽŠťô"), "\xC8\xBC\x8A\x9D\xF4");
    EXPECT_EQ(cp1250ToUtf8("Po\x9E"
                           "iar"),
              "Požiar");
    EXPECT_EQ(cp1250ToUtf8("\xC8\xBC\x8A\x9D\xF4"), "ČĽŠťô");
}

TEST(Cp1250Test, WhatTheCodePageLacksBecomesAQuestionMark) {
    EXPECT_EQ(utf8ToCp1250("日x"), "?x");
    EXPECT_EQ(utf8ToCp1250("\xC3"), "?"); // cut sequence
    // Overlong forms of LF, '/' and 'A' are not UTF-8.
    EXPECT_EQ(utf8ToCp1250("\xC0\x8A"
                           "x\xE0\x80\xAF"
                           "x\xF0\x80\x81\x81"),
              "?x?x?");
    EXPECT_EQ(cp1250ToUtf8("\x81"), "\xEF\xBF\xBD");
}

} // namespace
} // namespace qta
