#include "user_dictionary.h"

#include <gtest/gtest.h>

using namespace engine;

namespace {
UserDictionary dict(const std::string &file) {
    return UserDictionary::parse(file);
}
} // namespace

TEST(UserDictionary, ParsesEntriesCommentsAndJunk) {
    std::string file = "# my words\n"
                       "PM\tin the afternoon\r\n"
                       "\n"
                       "   \t  \n"
                       "no tab on this line\n"
                       "\tno word\n"
                       "empty\t\n"
                       "Orvanel\tOr van ell   # how it is said\n"
                       "  spaced  \t  out  \n" +
                       std::string(5000, 'x') +
                       "\tlong\n"
                       "last\twithout newline";
    UserDictionary::ParseReport report;
    UserDictionary d = UserDictionary::parse(file, &report);
    EXPECT_EQ(report.entries, 4u);
    EXPECT_EQ(report.skippedLines, 4u); // no tab, no word, empty replacement, too long
    EXPECT_EQ(d.apply("3:07 PM, said Orvanel, spaced last"),
              "3:07 in the afternoon, said Or van ell, out without newline");
}

TEST(UserDictionary, WholeWordsOnlyInAnyCase) {
    UserDictionary d = dict("cat\tdog\nit's\tit is\n");
    EXPECT_EQ(d.apply("Cat, CAT cat. catalogue concat"), "dog, dog dog. catalogue concat");
    EXPECT_EQ(d.apply("'cat' (cat) cat's"), "'dog' (dog) cat's");
    EXPECT_EQ(d.apply("IT'S here"), "it is here");
    EXPECT_EQ(d.apply("cat3 3cat cat_"), "cat3 3cat dog_");
}

TEST(UserDictionary, LongestEntryWinsAndReplacementsAreNotReread) {
    UserDictionary d = dict("new\tnoo\nnew york\tthe big apple\napple\tpear\n");
    EXPECT_EQ(d.apply("New York is new"), "the big apple is noo");
    // A word with punctuation inside, and one that starts with punctuation.
    // Words that start or end with punctuation: only their letter ends need a gap.
    d = dict("e.g.\tfor example\nc++\tC plus plus\n.net\tdot net\n");
    EXPECT_EQ(d.apply("e.g. C++, .NET and asp.net"),
              "for example C plus plus, dot net and aspdot net");
}

TEST(UserDictionary, LaterLineForTheSameWordWins) {
    UserDictionary d = dict("clock\tfirst\nCLOCK\tsecond\n");
    EXPECT_EQ(d.size(), 1u);
    EXPECT_EQ(d.apply("clock"), "second");
}

TEST(UserDictionary, EncodingsAndNonAsciiWords) {
    // UTF-8 with a byte-order mark; the word has an accented capital.
    UserDictionary utf8 = dict("\xEF\xBB\xBF\xC3\x89t\xC3\xA9\tsummer\n");
    EXPECT_EQ(utf8.apply("\xC3\xA9t\xC3\xA9 \xC3\x89T\xC3\x89"), "summer summer");
    // The same file in Windows-1252.
    UserDictionary ansi = dict("\xC9t\xE9\tsummer\n");
    EXPECT_EQ(ansi.apply("\xC3\xA9t\xC3\xA9"), "summer");
    // Letters of a longer UTF-8 word are part of it.
    EXPECT_EQ(utf8.apply("\xC3\xA9t\xC3\xA9s"), "\xC3\xA9t\xC3\xA9s");
}

TEST(UserDictionary, JunkFilesGiveEmptyDictionaries) {
    EXPECT_TRUE(dict("").empty());
    EXPECT_TRUE(dict(std::string("\0\0\xFF\xFE garbage\x01\x02", 14)).empty());
    EXPECT_TRUE(dict(std::string(200000, '\t')).empty());
    UserDictionary empty;
    EXPECT_EQ(empty.apply("unchanged text"), "unchanged text");
}
