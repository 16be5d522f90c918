#include "platform/Cp1251.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using platform::Cp1251ToUtf8;
using platform::Utf8ToCp1251;

TEST(Cp1251, DecodesThePageAndEncodesItBack) {
    const std::string utf8 = "Полоска в чемодане";
    const std::string cp1251 = "\xCF\xEE\xEB\xEE\xF1\xEA\xE0 \xE2 \xF7\xE5\xEC\xEE\xE4\xE0\xED\xE5";
    EXPECT_EQ(Utf8ToCp1251(utf8), cp1251);
    EXPECT_EQ(Cp1251ToUtf8(cp1251), utf8);
    // Characters outside the basic alphabet.
    EXPECT_EQ(Cp1251ToUtf8("\xA8\xB8"), "Ёё");
    EXPECT_EQ(Cp1251ToUtf8("\xC0\xDF\xE0\xFF"), "АЯая");
    EXPECT_EQ(Cp1251ToUtf8("\xB9\x88\x85\x96\x97"), "№€…–—");
    EXPECT_EQ(Cp1251ToUtf8("\xAB\xBB\x93\x94\x99"), "«»“”™");
    EXPECT_EQ(Cp1251ToUtf8("\x80\x8F\xA5\xB4\xAF\xBF"), "ЂЏҐґЇї");
    EXPECT_EQ(Cp1251ToUtf8("\xA0"), "\u00A0");
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "\uFFFD"); // the page's one undefined code
}

TEST(Cp1251, EveryDefinedByteSurvivesARoundTrip) {
    std::set<std::string> seen;
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98) continue;
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = Cp1251ToUtf8(byte);
        EXPECT_TRUE(seen.insert(utf8).second) << "two bytes decode alike at " << b;
        EXPECT_EQ(Utf8ToCp1251(utf8), byte) << "byte " << b;
        // The upper half never decodes to C1 control characters or to plain ASCII.
        if (b >= 0x80) {
            EXPECT_GE(static_cast<unsigned char>(utf8[0]), 0xC2) << "byte " << b;
        }
    }
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8("\x98")), "?");
    // Embedded NULs are data, not terminators.
    const std::string withNul("a\0b", 3);
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(withNul)), withNul);
}

TEST(Cp1251, UnmappableAndMalformedUtf8BecomesQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1251("中"), "?");                  // no code in the page
    EXPECT_EQ(Utf8ToCp1251("\xF0\x9F\x98\x80!"), "?!");  // 4-byte character: one mark
    EXPECT_EQ(Utf8ToCp1251("a\x80z"), "a?z");            // stray continuation byte
    EXPECT_EQ(Utf8ToCp1251("a\xFFz"), "a?z");            // never valid as a lead
    EXPECT_EQ(Utf8ToCp1251("\xD0\x9F\xD0"), "\xCF?");    // truncated at the end
    EXPECT_EQ(Utf8ToCp1251("\xD0z"), "?z");              // continuation missing
    EXPECT_EQ(Utf8ToCp1251("\xC0\xAF"), "??");           // overlong '/'
    EXPECT_EQ(Utf8ToCp1251("\xE0\x80\xAF"), "???");      // overlong in three bytes
    EXPECT_EQ(Utf8ToCp1251("\xED\xA0\x80"), "???");      // UTF-16 surrogate
    EXPECT_EQ(Utf8ToCp1251("\xF4\x90\x80\x80"), "????"); // beyond U+10FFFF
    EXPECT_EQ(Utf8ToCp1251(""), "");
}
