#include "log_line.h"

#include <gtest/gtest.h>

using namespace engine;

TEST(LogLine, FieldsSurviveEscaping) {
    const std::vector<std::string> awkward = {
        "",
        "plain",
        "tab\there",
        "line\nbreak",
        "cr\r",
        "back\\slash",
        "\\t literally",
        "trailing\\",
        "\t\n\\\r mixed \\n",
    };
    for (const std::string &f : awkward) {
        std::string escaped = escapeLogField(f);
        EXPECT_EQ(escaped.find_first_of("\t\n\r"), std::string::npos) << f;
        EXPECT_EQ(unescapeLogField(escaped), f);
    }
}

TEST(LogLine, LineHoldsTimestampAndFields) {
    std::string line = formatLogLine(1234.5678, {"speak", "1", "1", "The time\tis\n3:07"});
    ASSERT_EQ(line.back(), '\n');
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
    line.pop_back();
    auto fields = splitLogLine(line);
    ASSERT_EQ(fields.size(), 5u);
    EXPECT_EQ(fields[0], "1234.568");
    EXPECT_EQ(fields[1], "speak");
    EXPECT_EQ(fields[4], "The time\tis\n3:07");
    // An empty last field is still a field.
    EXPECT_EQ(splitLogLine("1.000\tspeak\t").size(), 3u);
}
