// The announcement's speak calls, in order and with their force flags, for
// the combinations of settings a user can make; and the composed texts never
// cut or overrun, whatever the lengths of the settings.
#include "announcement.h"

#include <gtest/gtest.h>

#include "resource_ids.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// A host with settings in a table, fixed platform answers, and a log of what
// the announcement did: "speak:TEXT" (no force), "force:TEXT", "interrupt",
// "refresh".
struct FakeHost : AnnouncementHost {
    std::map<Setting, bool> flags;
    std::map<Setting, std::string> texts;
    std::string time12 = "3:07 PM";
    std::string time12NoMarker = "3:07";
    std::string time24 = "15:07";
    std::string longDate = "Sunday, December 6, 2026";
    std::string shortDate = "12/6/2026";
    ZoneState zoneState = ZoneState::Standard;
    std::string standardName = "Eastern Standard Time";
    std::string daylightName = "Eastern Daylight Time";
    std::vector<std::string> log;
    int zoneQueries = 0;

    FakeHost() {
        // The defaults of an empty configuration.
        flags = {{Setting::Hour24, false},        {Setting::BypassMarker, false},
                 {Setting::UniversalTime, false}, {Setting::IncludeZone, true},
                 {Setting::EndComma, true},       {Setting::AnnounceDate, false},
                 {Setting::ShortDate, false},     {Setting::Interruptability, false}};
        texts = {{Setting::TimeIntro, "The current time is"},
                 {Setting::DateIntro, "The current date is"},
                 {Setting::Greeting, ""},
                 {Setting::Closing, ""}};
    }

    bool ReadFlag(Setting id) override { return flags.at(id); }
    void ReadText(Setting id, char (&text)[kPieceSize]) override { Fill(text, texts.at(id)); }
    // Spoken time has no seconds: a request for them shows in the text.
    void FormatTime(const TimeFormat &format, char (&text)[kPieceSize]) override {
        const std::string seconds = (format.flags & kTimeNoSeconds) != 0 ? "" : ":09";
        if (format.pictureId == IDS_PICTURE_24H) {
            Fill(text, time24 + seconds);
        } else if (format.pictureId == IDS_PICTURE_12H) {
            Fill(text,
                 ((format.flags & kTimeNoTimeMarker) != 0 ? time12NoMarker : time12) + seconds);
        } else {
            Fill(text, "picture " + std::to_string(format.pictureId));
        }
    }
    void FormatDate(bool isShort, char (&text)[kPieceSize]) override {
        Fill(text, isShort ? shortDate : longDate);
    }
    ZoneState QueryZone(char (&name)[kPieceSize]) override {
        ++zoneQueries;
        if (zoneState == ZoneState::Standard) {
            Fill(name, standardName);
        } else if (zoneState == ZoneState::Daylight) {
            Fill(name, daylightName);
        }
        return zoneState;
    }
    const char *UniversalTimeWords() override { return "Coordinated Universal Time"; }
    void InterruptionStep() override { log.push_back("interrupt"); }
    void Speak(const char *text, bool force) override {
        log.push_back((force ? "force:" : "speak:") + std::string(text));
    }
    void RefreshTimeDisplay() override { log.push_back("refresh"); }

    static void Fill(char (&buffer)[kPieceSize], const std::string &value) {
        std::memset(buffer, 0, sizeof buffer);
        std::memcpy(buffer, value.data(), std::min(value.size(), kPieceSize - 1));
    }
};

using Log = std::vector<std::string>;

struct Case {
    const char *name;
    std::map<Setting, bool> flags;
    std::map<Setting, std::string> texts;
    ZoneState zone;
    Log expected;
};

TEST(Announcement, SpeakCallsForEachCombinationOfSettings) {
    const Case cases[] = {
        {"defaults, zone on standard time",
         {},
         {},
         ZoneState::Standard,
         {"interrupt", "speak:The current time is 3:07 PM Eastern Standard Time", "force:,",
          "refresh"}},
        {"zone on daylight time",
         {},
         {},
         ZoneState::Daylight,
         {"interrupt", "speak:The current time is 3:07 PM Eastern Daylight Time", "force:,",
          "refresh"}},
        {"zone without daylight saving: no zone words",
         {},
         {},
         ZoneState::Unknown,
         {"interrupt", "speak:The current time is 3:07 PM", "force:,", "refresh"}},
        {"bypass marker",
         {{Setting::BypassMarker, true}},
         {},
         ZoneState::Standard,
         {"interrupt", "speak:The current time is 3:07 Eastern Standard Time", "force:,",
          "refresh"}},
        {"24-hour wins over bypass marker",
         {{Setting::Hour24, true}, {Setting::BypassMarker, true}},
         {},
         ZoneState::Standard,
         {"interrupt", "speak:The current time is 15:07 Eastern Standard Time", "force:,",
          "refresh"}},
        {"24-hour, universal time, long date, period",
         {{Setting::Hour24, true},
          {Setting::UniversalTime, true},
          {Setting::AnnounceDate, true},
          {Setting::EndComma, false}},
         {},
         ZoneState::Standard,
         {"interrupt", "speak:The current time is 15:07 Coordinated Universal Time", "force:.",
          "refresh", "force:The current date is Sunday, December 6, 2026"}},
        {"universal time ignores include zone",
         {{Setting::UniversalTime, true}, {Setting::IncludeZone, false}},
         {},
         ZoneState::Unknown,
         {"interrupt", "speak:The current time is 3:07 PM Coordinated Universal Time", "force:,",
          "refresh"}},
        {"zone off, short date",
         {{Setting::IncludeZone, false}, {Setting::AnnounceDate, true}, {Setting::ShortDate, true}},
         {},
         ZoneState::Standard,
         {"interrupt", "speak:The current time is 3:07 PM", "force:,", "refresh",
          "force:The current date is 12/6/2026"}},
        {"short date without announce date says no date",
         {{Setting::ShortDate, true}},
         {},
         ZoneState::Unknown,
         {"interrupt", "speak:The current time is 3:07 PM", "force:,", "refresh"}},
        {"greeting and closing",
         {{Setting::AnnounceDate, true}},
         {{Setting::Greeting, "Good afternoon"}, {Setting::Closing, "Have a nice day"}},
         ZoneState::Unknown,
         {"interrupt", "force:Good afternoon", "speak:The current time is 3:07 PM", "force:,",
          "refresh", "force:The current date is Sunday, December 6, 2026",
          "force:Have a nice day"}},
        {"empty time intro keeps its blank",
         {},
         {{Setting::TimeIntro, ""}},
         ZoneState::Unknown,
         {"interrupt", "speak: 3:07 PM", "force:,", "refresh"}},
        {"empty date intro keeps its blank",
         {{Setting::AnnounceDate, true}, {Setting::ShortDate, true}},
         {{Setting::DateIntro, ""}},
         ZoneState::Unknown,
         {"interrupt", "speak:The current time is 3:07 PM", "force:,", "refresh",
          "force: 12/6/2026"}},
        {"own intro words",
         {},
         {{Setting::TimeIntro, "It is now"}},
         ZoneState::Standard,
         {"interrupt", "speak:It is now 3:07 PM Eastern Standard Time", "force:,", "refresh"}},
    };
    for (const Case &c : cases) {
        FakeHost host;
        for (const auto &f : c.flags) {
            host.flags[f.first] = f.second;
        }
        for (const auto &t : c.texts) {
            host.texts[t.first] = t.second;
        }
        host.zoneState = c.zone;
        SpeakAnnouncement(host, false);
        EXPECT_EQ(host.log, c.expected) << c.name;
    }
}

TEST(Announcement, ZoneIsQueriedOnlyWhenItsWordsMaySpeak) {
    FakeHost utc;
    utc.flags[Setting::UniversalTime] = true;
    SpeakAnnouncement(utc, false);
    EXPECT_EQ(utc.zoneQueries, 0);

    FakeHost off;
    off.flags[Setting::IncludeZone] = false;
    SpeakAnnouncement(off, false);
    EXPECT_EQ(off.zoneQueries, 0);

    FakeHost on;
    SpeakAnnouncement(on, false);
    EXPECT_EQ(on.zoneQueries, 1);
}

TEST(Announcement, StartupAnnouncementDoesNotRefreshTheDisplay) {
    FakeHost host;
    host.flags[Setting::AnnounceDate] = true;
    SpeakAnnouncement(host, true);
    EXPECT_EQ(host.log, (Log{"interrupt", "speak:The current time is 3:07 PM Eastern Standard Time",
                             "force:,", "force:The current date is Sunday, December 6, 2026"}));
}

TEST(Announcement, FailedFormattingLeavesTheLayout) {
    FakeHost host;
    host.time12 = "";
    host.longDate = "";
    host.flags[Setting::AnnounceDate] = true;
    SpeakAnnouncement(host, false);
    EXPECT_EQ(host.log, (Log{"interrupt", "speak:The current time is  Eastern Standard Time",
                             "force:,", "refresh", "force:The current date is "}));
}

TEST(Announcement, LongestSettingsAreSpokenWhole) {
    FakeHost host;
    const std::string intro(259, 'i');
    const std::string time(259, 't');
    const std::string zone(259, 'z');
    const std::string dateIntro(259, 'd');
    const std::string date(259, 'D');
    const std::string greeting(259, 'g');
    host.texts[Setting::TimeIntro] = intro;
    host.texts[Setting::DateIntro] = dateIntro;
    host.texts[Setting::Greeting] = greeting;
    host.time12 = time;
    host.standardName = zone;
    host.longDate = date;
    host.flags[Setting::AnnounceDate] = true;
    SpeakAnnouncement(host, false);
    EXPECT_EQ(host.log,
              (Log{"interrupt", "force:" + greeting, "speak:" + intro + " " + time + " " + zone,
                   "force:,", "refresh", "force:" + dateIntro + " " + date}));
}

// One chooser for the painted time (seconds as the settings say) and the
// spoken one (never seconds).
TEST(TimeFormat, PictureAndFlagsForEveryCombination) {
    struct Row {
        bool hour24, seconds, bypass;
        uint16_t picture;
        uint32_t flags;
    };
    const Row rows[] = {
        {false, true, false, IDS_PICTURE_12H_SECONDS, 0},
        {false, false, false, IDS_PICTURE_12H, kTimeNoSeconds},
        {false, true, true, IDS_PICTURE_12H_SECONDS, kTimeNoTimeMarker},
        {false, false, true, IDS_PICTURE_12H, kTimeNoTimeMarker | kTimeNoSeconds},
        {true, true, false, IDS_PICTURE_24H_SECONDS, 0},
        {true, false, false, IDS_PICTURE_24H, kTimeNoSeconds},
        {true, false, true, IDS_PICTURE_24H, kTimeNoTimeMarker | kTimeNoSeconds},
    };
    for (const Row &row : rows) {
        const TimeFormat format = ChooseTimeFormat(row.hour24, row.seconds, row.bypass);
        EXPECT_EQ(format.pictureId, row.picture) << row.hour24 << row.seconds << row.bypass;
        EXPECT_EQ(format.flags, row.flags) << row.hour24 << row.seconds << row.bypass;
    }
}

TEST(JoinPieces, NeverReadsPastAPieceOrWritesPastTheSentence) {
    // Pieces longer than a piece buffer (not terminated within it) are taken
    // up to 259 characters: the sentence buffer still holds all three.
    const std::string huge(1000, 'x');
    char sentence[kSentenceSize];
    JoinPieces(sentence, huge.c_str(), huge.c_str(), huge.c_str());
    const std::string piece(kPieceSize - 1, 'x');
    EXPECT_EQ(std::string(sentence), piece + " " + piece + " " + piece);

    JoinPieces(sentence, "a", "b");
    EXPECT_STREQ(sentence, "a b");
    JoinPieces(sentence, "", "", "");
    EXPECT_STREQ(sentence, "  ");
}

TEST(Commands, VolumeAndPlayAreFormattedWhole) {
    char volume[kVolumeCommandSize];
    const std::pair<int32_t, const char *> volumes[] = {
        {100, "[:volume set 100]"},
        {0, "[:volume set 0]"},
        {-2147483647 - 1, "[:volume set -2147483648]"},
        {2147483647, "[:volume set 2147483647]"},
    };
    for (const auto &v : volumes) {
        FormatVolumeCommand(volume, v.first);
        EXPECT_STREQ(volume, v.second);
    }

    char play[kPlayCommandSize];
    FormatPlayCommand(play, "C:\\Sounds\\alarm.wav");
    EXPECT_STREQ(play, "[:play \"C:\\Sounds\\alarm.wav\"]");
    const std::string longest(259, 'p');
    FormatPlayCommand(play, longest.c_str());
    EXPECT_EQ(std::string(play), "[:play \"" + longest + "\"]");
}

} // namespace
