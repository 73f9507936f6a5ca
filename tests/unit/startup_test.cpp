#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "startup.h"

namespace {

TEST(HasSwitch, IsACaseSensitiveSubstringSearch) {
    struct Case {
        const char *commandLine;
        const char *switchText;
        bool expected;
    } cases[] = {
        {"/h", "/h", true},    {"/H", "/h", false},        {"-h", "/h", false},
        {"/hide", "/h", true}, {"/ic", "/i", true},        {"/ic", "/c", false}, // no "/c" in it
        {"/i/c", "/c", true},  {"/ic", "/h", false},       {"C:/config/x.ini", "/c", true},
        {"", "/c", false},     {"  /i /c /h", "/h", true}, {"/C", "/c", false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(HasSwitch(c.commandLine, c.switchText), c.expected)
            << '"' << c.commandLine << "\" " << c.switchText;
    }
    EXPECT_FALSE(HasSwitch(nullptr, "/h"));
}

TEST(AppendDefaultIniName, AppendsOnlyWhenTheWholePathFits) {
    char path[260]{};
    std::strcpy(path, "C:\\Programs\\Orvanel");
    ASSERT_TRUE(AppendDefaultIniName(path, sizeof path));
    EXPECT_STREQ(path, "C:\\Programs\\Orvanel\\Orvanel.ini");

    // 247 characters + "\Orvanel.ini" (12) = 259: fits with its terminator.
    std::string folder(247, 'a');
    std::memset(path, 0, sizeof path);
    std::memcpy(path, folder.data(), folder.size());
    ASSERT_TRUE(AppendDefaultIniName(path, sizeof path));
    EXPECT_EQ(std::strlen(path), 259u);

    // One more character and the name would be cut: refused, folder untouched.
    folder.push_back('b');
    std::memset(path, 0, sizeof path);
    std::memcpy(path, folder.data(), folder.size());
    EXPECT_FALSE(AppendDefaultIniName(path, sizeof path));
    EXPECT_EQ(std::string(path), folder);
}

} // namespace
