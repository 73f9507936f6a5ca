#include "inline_command.h"

#include <gtest/gtest.h>

using namespace engine;

TEST(InlineCommand, VolumeIsParsedAndClamped) {
    struct Case {
        const char *text;
        int volume;
    } cases[] = {
        {"[:volume set 50]", 50},
        {"[:volume set 0]", 0},
        {"[:volume set 100]", 100},
        {"[:Volume Set 7]", 7},
        {"[: volume  set\t30 ]", 30},
        {"[:volume set 900]", 100},
        {"[:volume set -5]", 0},
        {"[:volume set +20]", 20},
        {"[:volume set 99999999999999999999]", 100},
        {"[:volume set 42]\r\n", 42},
    };
    for (const Case &c : cases) {
        auto cmd = parseInlineCommand(c.text);
        ASSERT_TRUE(cmd.has_value()) << c.text;
        EXPECT_EQ(cmd->kind, InlineCommand::Kind::Volume) << c.text;
        EXPECT_EQ(cmd->volume, c.volume) << c.text;
    }
}

TEST(InlineCommand, PlayKeepsThePathAsWritten) {
    auto cmd = parseInlineCommand("[:play \"C:\\Program Files\\Orvanel\\alarm tone.wav\"]");
    ASSERT_TRUE(cmd.has_value());
    EXPECT_EQ(cmd->kind, InlineCommand::Kind::Play);
    EXPECT_EQ(cmd->path, "C:\\Program Files\\Orvanel\\alarm tone.wav");

    cmd = parseInlineCommand("[:PLAY \"\\\\host\\share\\x.wav\" ]  ");
    ASSERT_TRUE(cmd.has_value());
    EXPECT_EQ(cmd->path, "\\\\host\\share\\x.wav");
}

TEST(InlineCommand, AnythingElseIsText) {
    const char *texts[] = {
        "",
        "[",
        "[:",
        " [:volume set 50]",         // must start at the first byte
        "Hello [:volume set 50]",    // embedded
        "[:volume set 50] and more", // text after the command
        "[:volume set abc]",
        "[:volume set]",
        "[:volume 50]",
        "[:volume set 50", // unterminated
        "[:volumes set 50]",
        "[:volume set 5 0]",
        "[:play \"", // unterminated quote
        "[:play \"x.wav]",
        "[:play x.wav]", // path must be quoted
        "[:play \"\"]",
        "[:play \"  \"]",
        "[:play \"a\nb.wav\"]", // control character in the path
        "[:rate 300]",          // unknown command
        "[volume set 50]",
        "[[:volume set 50]",
    };
    for (const char *t : texts)
        EXPECT_FALSE(parseInlineCommand(t).has_value()) << '"' << t << '"';
}
