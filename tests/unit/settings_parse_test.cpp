#include <gtest/gtest.h>

#include <cstring>

#include "setting_parse.h"

namespace {

int32_t Parse(const char *text) {
    return ParseSettingInt(text, std::strlen(text) + 1);
}

TEST(ParseSettingInt, FollowsTheRegistryIntegerRule) {
    struct Case {
        const char *text;
        int32_t expected;
    } cases[] = {
        {"15", 15},
        {"  \t42", 42},
        {"+7", 7},
        {"-1", -1},
        {" -7x", -7},
        {"2", 2},
        {"", 0},
        {"abc", 0},
        {"-", 0},
        {"+", 0},
        {"12abc34", 12},
        {"0x10", 0},
        {"- 5", 0},
        {"007", 7},
        {"16777215", 16777215},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"4294967295", -1}, // wraps like the "%d" that wrote it would read back
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Parse(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(ParseSettingInt, NeverReadsPastTheGivenSize) {
    // Registry data need not be terminated: the parse must stop at the size.
    const char digits[4] = {'1', '2', '3', '4'};
    EXPECT_EQ(ParseSettingInt(digits, 2), 12);
    EXPECT_EQ(ParseSettingInt(digits, 0), 0);
    const char spaces[3] = {' ', ' ', ' '};
    EXPECT_EQ(ParseSettingInt(spaces, sizeof spaces), 0);
}

TEST(FormatSettingInt, WritesDecimalThatParsesBack) {
    for (int32_t value : {0, 1, -1, 15, 16777215, INT32_MAX, INT32_MIN}) {
        char text[16];
        FormatSettingInt(value, text, sizeof text);
        EXPECT_EQ(Parse(text), value) << text;
    }
    char text[16];
    FormatSettingInt(-1, text, sizeof text);
    EXPECT_STREQ(text, "-1");
}

} // namespace
