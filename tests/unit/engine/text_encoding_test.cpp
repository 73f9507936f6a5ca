#include "text_encoding.h"

#include <gtest/gtest.h>

using namespace engine;

TEST(TextEncoding, AnsiToUtf8MapsWindows1252) {
    EXPECT_EQ(ansiToUtf8("plain 3:07"), "plain 3:07");
    EXPECT_EQ(ansiToUtf8("caf\xE9"), "caf\xC3\xA9"); // e acute, Latin-1 range
    EXPECT_EQ(ansiToUtf8("\x80"), "\xE2\x82\xAC");   // euro sign
    EXPECT_EQ(ansiToUtf8("\x93quoted\x94"), "\xE2\x80\x9Cquoted\xE2\x80\x9D");
    EXPECT_EQ(ansiToUtf8("a\x81z"), "a z"); // unassigned byte
    EXPECT_EQ(ansiToUtf8("\xFF"), "\xC3\xBF");
    EXPECT_TRUE(isValidUtf8(ansiToUtf8(std::string("\x80\x8D\x9F\xA0\xFF", 5))));
}

TEST(TextEncoding, Utf8Validation) {
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_FALSE(isValidUtf8("caf\xE9"));          // Windows-1252, not UTF-8
    EXPECT_FALSE(isValidUtf8("\xC0\x80"));         // overlong NUL
    EXPECT_FALSE(isValidUtf8("\xE0\x80\xAF"));     // overlong slash
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));         // cut short
}

TEST(TextEncoding, FoldCaseKeepsLengthAndFoldsLatin1) {
    const std::string in = "The \xC3\x89T\xC3\x89 \xC3\x97 \xC3\x9F Z"; // ÉTÉ × ß Z
    const std::string out = foldCase(in);
    ASSERT_EQ(out.size(), in.size());
    EXPECT_EQ(out, "the \xC3\xA9t\xC3\xA9 \xC3\x97 \xC3\x9F z");
    // A lone lead byte at the end must not read past the string.
    EXPECT_EQ(foldCase("A\xC3"), "a\xC3");
}

TEST(TextEncoding, ControlCharactersBecomeSpaces) {
    std::string s = "a\x01"
                    "b\x1B"
                    "c\td\ne\rf\x7F";
    blankControlCharacters(s);
    EXPECT_EQ(s, "a b c\td\ne\rf ");
    EXPECT_EQ(trim(" \t x y \r\n"), "x y");
    EXPECT_EQ(trim(" \t "), "");
}

TEST(TextEncoding, FoldToAsciiDropsAccentsAndBlanksTheRest) {
    EXPECT_EQ(foldToAscii("Caf\xC3\xA9 \xC3\x89t\xC3\xA9 Stra\xC3\x9F"
                          "e"),
              "Cafe Ete Strasse");
    // A sign, a euro (3 bytes), an emoji (4 bytes) and a cut-off lead byte: one space each.
    EXPECT_EQ(foldToAscii("2\xC3\x97"
                          "3 \xE2\x82\xAC \xF0\x9F\x98\x80!\xC3"),
              "2 3    ! ");
    EXPECT_EQ(foldToAscii("plain ASCII, kept."), "plain ASCII, kept.");
}
