#include "text_processor.h"

#include <gtest/gtest.h>

using namespace engine;

namespace {

struct Session {
    TextProcessor tp{kEspeakRates};
    std::vector<QueueItem> items;

    void say(const std::string &text, bool force = true, bool literal = false) {
        tp.speak(text, force, literal, items);
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const QueueItem &i : items)
            t.push_back((i.kind == QueueItem::Kind::Play ? "play:" : "") + i.text);
        return t;
    }
};

using Texts = std::vector<std::string>;

} // namespace

TEST(TextProcessor, UnforcedTimeIsHeldUntilTheCommaCompletesTheClause) {
    Session r;
    r.say("The current time is 3:07 PM Eastern Standard Time", false);
    EXPECT_TRUE(r.items.empty());
    EXPECT_TRUE(r.tp.holding());
    r.say(",", true);
    EXPECT_EQ(r.texts(), Texts{"The current time is 3:07 PM Eastern Standard Time,"});
    EXPECT_FALSE(r.tp.holding());
}

TEST(TextProcessor, UnforcedTextReleasesCompleteClausesOnly) {
    Session r;
    r.say("Hello, world. It is 3:07", false);
    EXPECT_EQ(r.texts(), Texts{"Hello, world. "});
    r.say(" PM. And", false);
    EXPECT_EQ(r.texts(), (Texts{"Hello, world. ", "It is 3:07 PM. "}));
    r.items.clear();
    r.tp.flush(r.items);
    EXPECT_EQ(r.texts(), Texts{"And"});
}

TEST(TextProcessor, CommandsKeepStreamOrderAndVolumeAppliesToLaterText) {
    Session r;
    r.say("Good morning", false);
    r.say("[:volume set 30]");
    r.say("[:play \"C:\\alarm.wav\"]");
    r.say("Wake up");
    r.say("[:volume set 900]");
    r.say("Now");
    ASSERT_EQ(r.texts(), (Texts{"Good morning", "play:C:\\alarm.wav", "Wake up", "Now"}));
    EXPECT_EQ(r.items[0].volume, 100);
    EXPECT_EQ(r.items[1].volume, 30);
    EXPECT_EQ(r.items[2].volume, 30);
    EXPECT_EQ(r.items[3].volume, 100);
}

TEST(TextProcessor, LiteralAndMalformedCommandsAreSpokenAsText) {
    Session r;
    r.say("[:volume set 0]", true, true);
    r.say("[:volume set abc]");
    r.say("[:play \"");
    r.say(" [:volume set 0]");
    EXPECT_EQ(r.texts(),
              (Texts{"[:volume set 0]", "[:volume set abc]", "[:play \"", " [:volume set 0]"}));
    EXPECT_EQ(r.tp.volume(), 100);
}

TEST(TextProcessor, SpeakerAndRateAreFixedWhenTextIsQueued) {
    Session r;
    r.tp.setSpeaker(1);
    r.tp.setRate(300);
    r.say("first");
    r.tp.setSpeaker(8);
    r.tp.setRate(10);
    EXPECT_FALSE(r.tp.setSpeaker(9));
    r.say("second");
    ASSERT_EQ(r.items.size(), 2u);
    EXPECT_EQ(r.items[0].speaker, 1u);
    EXPECT_EQ(r.items[0].rate, 300);
    EXPECT_EQ(r.items[1].speaker, 8u);
    EXPECT_EQ(r.items[1].rate, kEspeakRates.lowest);
}

TEST(TextProcessor, ResetDropsHeldTextAndCompleteResetRestoresVolume) {
    Session r;
    r.say("[:volume set 20]");
    r.say("never spoken", false);
    r.tp.reset(false);
    EXPECT_FALSE(r.tp.holding());
    EXPECT_EQ(r.tp.volume(), 20);
    r.say("after", false);
    r.tp.reset(true);
    EXPECT_EQ(r.tp.volume(), 100);
    r.say("fresh");
    EXPECT_EQ(r.texts(), Texts{"fresh"});
}

TEST(TextProcessor, TextIsConvertedCleanedAndLookedUp) {
    Session r;
    r.tp.setDictionary(UserDictionary::parse("pm\tin the afternoon\n"));
    r.say("caf\xE9 at 3 PM\x01!");
    EXPECT_EQ(r.texts(), Texts{"caf\xC3\xA9 at 3 in the afternoon !"});
    r.items.clear();
    r.say("   \r\n\t");
    r.say("");
    EXPECT_TRUE(r.items.empty());
}

TEST(TextProcessor, LongTextIsCutIntoBoundedPiecesThatLoseNothing) {
    std::string sentence = "The quick brown fox jumps over the lazy dog. ";
    std::string big;
    while (big.size() < 1000000)
        big += sentence;
    big += std::string(9000, 'x'); // a "word" longer than a piece
    Session r;
    r.say(big);
    std::string joined;
    for (const QueueItem &i : r.items) {
        EXPECT_LE(i.text.size(), TextProcessor::kMaxPieceBytes);
        joined += i.text;
    }
    EXPECT_EQ(joined, big);
    // Pieces end at sentence ends where there are any.
    EXPECT_EQ(r.items.front().text.substr(r.items.front().text.size() - 2), ". ");
}

TEST(TextProcessor, HeldTextIsBounded) {
    Session r;
    std::string chunk(1000, 'a');
    for (int i = 0; i < 70; ++i)
        r.say(chunk, false);
    EXPECT_FALSE(r.items.empty());
    size_t total = 0;
    for (const QueueItem &i : r.items)
        total += i.text.size();
    EXPECT_GE(total, TextProcessor::kMaxHeldBytes);
}

TEST(TextProcessor, ClauseEnds) {
    EXPECT_EQ(lastClauseEnd("no end"), 0u);
    EXPECT_EQ(lastClauseEnd("3:07 PM"), 0u); // colon inside a time
    EXPECT_EQ(lastClauseEnd("end."), 0u);    // not yet known to end
    EXPECT_EQ(lastClauseEnd("a, b"), 3u);
    EXPECT_EQ(lastClauseEnd("a. b? c"), 6u);
    EXPECT_EQ(lastClauseEnd("line\nnext"), 5u);
}
