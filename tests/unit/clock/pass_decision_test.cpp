// The ClockThread's pass decision, checked against the behaviour a listener
// expects: when announcements come, what holds them back, and that every
// second of the clock is looked at without the thread spinning.
#include "pass_decision.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <string>

namespace {

TEST(ClampInterval, TakesLowWordThenClamps) {
    struct Case {
        int32_t stored;
        uint16_t expected;
    };
    const Case cases[] = {
        {0, 1},         {1, 1},      {7, 7},       {15, 15},         {60, 60},
        {61, 60},       {1000, 60},  {-1, 60},     {65535, 60},      {65536, 1},
        {65536 + 7, 7}, {-65536, 1}, {-65521, 15}, {0x7FFFFFFF, 60},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ClampInterval(c.stored), c.expected) << "stored " << c.stored;
    }
}

// 'Q' marks a quiet hour, '.' a speaking one, for hours 0 to 23.
TEST(QuietHours, EveryHourOfTheDay) {
    struct Case {
        uint16_t after, before;
        const char *hours; // 0         1         2
                           // 012345678901234567890123
    };
    const Case cases[] = {
        {22, 6, "QQQQQQ................QQ"},  // spans midnight
        {1, 5, ".QQQQ..................."},   // within one day
        {0, 0, "QQQQQQQQQQQQQQQQQQQQQQQQ"},   // equal: always
        {12, 12, "QQQQQQQQQQQQQQQQQQQQQQQQ"}, // equal: always
        {23, 0, ".......................Q"},  {0, 23, "QQQQQQQQQQQQQQQQQQQQQQQ."},
        {23, 1, "Q......................Q"},  {5, 4, "QQQQ.QQQQQQQQQQQQQQQQQQQ"},
        {30, 40, "........................"}, // out-of-range hours never match
        {40, 30, "QQQQQQQQQQQQQQQQQQQQQQQQ"}, // h < 30 for every h
    };
    for (const Case &c : cases) {
        const std::string expected = c.hours;
        ASSERT_EQ(expected.size(), 24u);
        std::string actual;
        for (uint16_t h = 0; h < 24; ++h) {
            actual += IsQuietHour(c.after, c.before, h) ? 'Q' : '.';
        }
        EXPECT_EQ(actual, expected) << "after " << c.after << " before " << c.before;
    }
}

// Settings of the quiet-hours and beep steps, counting how often they are read.
struct GateSettings : AnnouncementGateSettings {
    QuietHours quiet;
    bool beep = false;
    int quietReads = 0;
    int beepReads = 0;
    QuietHours ReadQuietHours() override {
        ++quietReads;
        return quiet;
    }
    bool ReadBeepInterval() override {
        ++beepReads;
        return beep;
    }
};

ClockReading At(uint16_t hour, uint16_t minute, uint16_t second, uint16_t ms = 0) {
    ClockReading clock;
    clock.year = 2026;
    clock.month = 3;
    clock.day = 9;
    clock.hour = hour;
    clock.minute = minute;
    clock.second = second;
    clock.milliseconds = ms;
    return clock;
}

TEST(PauseBeforePass, SleepsOnlyWithinASecondAlreadyRead) {
    const ClockReading pass = At(10, 0, 5, 2);
    EXPECT_EQ(PauseBeforePass(pass, At(10, 0, 5, 3), false), 1000 - 3 + kWakeMarginMs);
    EXPECT_EQ(PauseBeforePass(pass, At(10, 0, 5, 999), false), 1 + kWakeMarginMs);
    EXPECT_EQ(PauseBeforePass(pass, At(10, 0, 5, 3), true), 0u);  // request raised
    EXPECT_EQ(PauseBeforePass(pass, At(10, 0, 6, 3), false), 0u); // next second
    EXPECT_EQ(PauseBeforePass(pass, At(10, 1, 5, 3), false), 0u); // a minute later
    EXPECT_EQ(PauseBeforePass(pass, At(11, 0, 5, 3), false), 0u); // an hour later
    ClockReading nextDay = At(10, 0, 5, 3);
    nextDay.day += 1;
    EXPECT_EQ(PauseBeforePass(pass, nextDay, false), 0u);
    EXPECT_EQ(PauseBeforePass(ClockReading(), At(0, 0, 0, 500), false), 0u); // first pass
}

TEST(DayNumber, AgreesWithTheCalendarFor400Years) {
    for (int64_t day = -30000; day < 146097 - 30000; day += 13) {
        const std::time_t t = static_cast<std::time_t>(day * 86400);
        std::tm tm{};
        gmtime_r(&t, &tm);
        ASSERT_EQ(DayNumber(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday), day);
    }
}

TEST(SameMinuteGuard, ByTheAbsoluteMinute) {
    GateSettings settings;
    AnnouncementBookkeeping bookkeeping;
    const AnnouncementInstant first{29'000'000, 5'000};
    EXPECT_TRUE(DecidePass(bookkeeping, At(1, 0, 0), first, 60, false, settings).announce);
    RecordAnnouncement(bookkeeping, first);
    const AnnouncementInstant sameSecond{first.utcMinute, first.steadyMs + 900};
    EXPECT_FALSE(DecidePass(bookkeeping, At(1, 0, 0), sameSecond, 60, false, settings).announce);
    // Speak Time bypasses the guard.
    EXPECT_TRUE(DecidePass(bookkeeping, At(1, 0, 20), sameSecond, 60, true, settings).announce);
    // The clocks went back: 1:00 again, an hour later in absolute time.
    const AnnouncementInstant fellBack{first.utcMinute + 60, first.steadyMs + 3'600'000};
    EXPECT_TRUE(DecidePass(bookkeeping, At(1, 0, 0), fellBack, 60, false, settings).announce);
    // The clock set back an hour by hand: the same absolute minute, an hour on.
    const AnnouncementInstant setBack{first.utcMinute, first.steadyMs + 3'600'000};
    EXPECT_TRUE(DecidePass(bookkeeping, At(1, 0, 0), setBack, 60, false, settings).announce);
}

// One pass of DecidePass under given settings and requests.
struct GateCase {
    const char *name;
    ClockReading clock;
    uint16_t interval;
    bool speakTime;
    bool startupPending;
    QuietHours quiet;
    bool beepSetting;
    bool announce;
    bool beep;
    bool startupPendingAfter;
    bool gateRead; // quiet hours and beep consulted at all
};

TEST(QuietHoursAndBeep, OnlyForIntervalAndStartupAnnouncements) {
    const QuietHours off{};
    const QuietHours night{true, 22, 6};
    const QuietHours always{true, 0, 0};
    const GateCase cases[] = {
        {"interval, quiet off", At(10, 15, 0), 15, false, false, off, false, true, false, false,
         true},
        {"interval in quiet hours", At(23, 15, 0), 15, false, false, night, false, false, false,
         false, true},
        {"interval outside quiet hours", At(12, 15, 0), 15, false, false, night, false, true, false,
         false, true},
        {"equal hours silence everything", At(12, 15, 0), 15, false, false, always, true, false,
         false, false, true},
        {"speak time in quiet hours", At(23, 15, 20), 15, true, false, always, true, true, false,
         false, false},
        {"speak time on an interval minute: no beep", At(10, 15, 0), 15, true, false, off, true,
         true, false, false, false},
        {"beep on the interval", At(10, 15, 0), 15, false, false, off, true, true, true, false,
         true},
        {"beep held back by quiet hours", At(23, 15, 0), 15, false, false, night, true, false,
         false, false, true},
        {"startup in quiet hours is dropped", At(3, 4, 27), 15, false, true, night, true, false,
         false, false, true},
        {"startup outside quiet hours", At(9, 4, 27), 15, false, true, night, false, true, false,
         false, true},
        {"startup with quiet mode off keeps pending", At(9, 4, 27), 15, false, true, off, true,
         true, false, true, true},
        {"startup on an interval minute beeps", At(9, 15, 27), 15, false, true, off, true, true,
         true, true, true},
        {"speak time with startup pending skips quiet hours", At(3, 4, 27), 15, true, true, always,
         true, true, false, true, false},
        {"not due", At(10, 15, 1), 15, false, false, off, true, false, false, false, false},
    };
    for (const GateCase &c : cases) {
        GateSettings settings;
        settings.quiet = c.quiet;
        settings.beep = c.beepSetting;
        AnnouncementBookkeeping bookkeeping;
        bookkeeping.startupAnnouncementPending = c.startupPending;
        const PassDecision d = DecidePass(bookkeeping, c.clock, AnnouncementInstant{0, 0},
                                          c.interval, c.speakTime, settings);
        EXPECT_EQ(d.announce, c.announce) << c.name;
        EXPECT_EQ(d.beep, c.beep) << c.name;
        EXPECT_EQ(bookkeeping.startupAnnouncementPending, c.startupPendingAfter) << c.name;
        EXPECT_EQ(settings.quietReads > 0, c.gateRead) << c.name;
    }
}

} // namespace
