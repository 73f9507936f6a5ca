// The ClockThread's pass decision, checked against the behaviour a listener
// expects: when announcements come, what holds them back, and that every
// second of the clock is looked at without the thread spinning.
#include "pass_decision.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

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

std::string Hms(const ClockReading &c) {
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", c.hour, c.minute, c.second);
    return text;
}

// Drives the pass decision the way the ClockThread does, on a simulated clock:
// the pause before each pass comes from PauseBeforePass, an announcement is
// followed by its waiting step (the clock runs on while speech plays), and a
// pass costs a millisecond.  Records announcements and the seconds read.
struct Simulation {
    GateSettings settings;
    AnnouncementBookkeeping bookkeeping;
    uint16_t interval = 15;
    int64_t speechMs = 2500; // how long an announcement takes to speak
    int64_t earlyWakeMs = 0; // waits that end this much before the boundary
    int64_t nowMs = 0;       // since midnight of the simulated day
    bool speakTime = false;

    std::vector<std::string> announced;
    std::vector<bool> beeps;
    std::set<int64_t> secondsRead;
    std::vector<std::pair<int64_t, int64_t>> waits; // [start, end) in ms
    int passes = 0;

    ClockReading Now() const {
        const int64_t s = nowMs / 1000;
        return At(static_cast<uint16_t>(s / 3600 % 24), static_cast<uint16_t>(s / 60 % 60),
                  static_cast<uint16_t>(s % 60), static_cast<uint16_t>(nowMs % 1000));
    }

    void Run(int64_t untilMs) {
        ClockReading previous; // no pass yet
        bool waited = false;
        while (nowMs < untilMs) {
            const uint32_t pause = PauseBeforePass(previous, Now(), speakTime || waited);
            if (pause > 0) {
                nowMs += pause - (pause > static_cast<uint32_t>(earlyWakeMs) ? earlyWakeMs : 0);
            }
            if (nowMs >= untilMs) {
                break;
            }
            waited = false;
            const ClockReading clock = Now();
            ++passes;
            secondsRead.insert(nowMs / 1000);
            const PassDecision d = DecidePass(bookkeeping, clock, interval, speakTime, settings);
            if (d.announce) {
                announced.push_back(Hms(clock));
                beeps.push_back(d.beep);
                waits.emplace_back(nowMs, nowMs + speechMs);
                nowMs += speechMs;
                waited = true;
                RecordAnnouncement(bookkeeping, clock);
                speakTime = false;
            }
            previous = clock;
            nowMs += 1;
        }
    }
};

std::vector<std::string> Minutes(int fromHour, int toHour, int step) {
    std::vector<std::string> out;
    for (int h = fromHour; h < toHour; ++h) {
        for (int m = 0; m < 60; m += step) {
            char text[32];
            std::snprintf(text, sizeof text, "%02d:%02d:00", h, m);
            out.push_back(text);
        }
    }
    return out;
}

TEST(IntervalRule, AnnouncesOnMultiplesOfTheIntervalAtSecondZero) {
    struct Case {
        int32_t storedInterval;
        int step;
    };
    // 0 behaves as 1; 61 and -1 as 60.
    const Case cases[] = {{7, 7}, {15, 15}, {60, 60}, {0, 1}, {61, 60}, {-1, 60}, {1000, 60}};
    for (const Case &c : cases) {
        Simulation sim;
        sim.interval = ClampInterval(c.storedInterval);
        sim.nowMs = (9 * 3600 + 59 * 60 + 30) * 1000LL + 123;
        sim.Run(12 * 3600 * 1000LL);
        EXPECT_EQ(sim.announced, Minutes(10, 12, c.step)) << "interval " << c.storedInterval;
    }
}

TEST(IntervalRule, SevenMinutesRestartsAtTheHour) {
    Simulation sim;
    sim.interval = 7;
    sim.nowMs = (10 * 3600 + 55 * 60) * 1000LL + 500;
    sim.Run((11 * 3600 + 8 * 60) * 1000LL);
    // 10:56, then 11:00 four minutes later, then 11:07.
    EXPECT_EQ(sim.announced, (std::vector<std::string>{"10:56:00", "11:00:00", "11:07:00"}));
}

TEST(Pause, EverySecondIsReadWithoutSpinning) {
    for (int64_t early : {0, 1, 3}) {
        Simulation sim;
        sim.interval = 1;
        sim.earlyWakeMs = early;
        const int64_t start = 8 * 3600 * 1000LL + 777;
        sim.nowMs = start;
        const int64_t end = start + 3600 * 1000LL;
        sim.Run(end);
        // Every second of the hour was read by a pass, except those spent
        // entirely waiting for speech.
        for (int64_t s = start / 1000; s < end / 1000; ++s) {
            bool insideWait = false;
            for (const auto &w : sim.waits) {
                insideWait = insideWait || (w.first < s * 1000 && (s + 1) * 1000 <= w.second);
            }
            if (!insideWait) {
                ASSERT_TRUE(sim.secondsRead.count(s)) << "second " << s << " early " << early;
            }
        }
        // About one pass a second (a second one after each wait or early wake),
        // never the hundreds a 5 ms poll would make.
        EXPECT_LE(sim.passes, 2 * 3600 + 2 * static_cast<int>(sim.waits.size()))
            << "early " << early;
        // 08:00 (its second 0 is still running at the start) to 09:00.
        EXPECT_EQ(sim.announced.size(), 61u) << "early " << early;
    }
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

TEST(NoCatchUp, DueSecondPassedWhileWaitingIsNotAnnounced) {
    Simulation sim;
    sim.interval = 7;
    sim.speechMs = 5000;
    sim.nowMs = (10 * 3600 + 6 * 60 + 58) * 1000LL + 100;
    sim.speakTime = true; // spoken at 10:06:58, speech lasts into 10:07:03
    sim.Run((10 * 3600 + 15 * 60) * 1000LL);
    EXPECT_EQ(sim.announced, (std::vector<std::string>{"10:06:58", "10:14:00"}));
}

TEST(NoCatchUp, SpeechEndingWithinSecondZeroStillAnnounces) {
    // The waiting step ends during 10:07:00: the rest of that second is still
    // looked at, as a pass 5 ms later would.
    Simulation sim;
    sim.interval = 7;
    sim.speechMs = 1500;
    sim.nowMs = (10 * 3600 + 6 * 60 + 59) * 1000LL;
    sim.speakTime = true;
    sim.Run((10 * 3600 + 8 * 60) * 1000LL);
    EXPECT_EQ(sim.announced, (std::vector<std::string>{"10:06:59", "10:07:00"}));
}

TEST(SameMinuteGuard, OneAnnouncementPerMinute) {
    GateSettings settings;
    AnnouncementBookkeeping bookkeeping;
    // Announced at 10:15:00; another pass in that second says nothing.
    EXPECT_TRUE(DecidePass(bookkeeping, At(10, 15, 0), 15, false, settings).announce);
    RecordAnnouncement(bookkeeping, At(10, 15, 0, 4));
    EXPECT_FALSE(DecidePass(bookkeeping, At(10, 15, 0, 900), 15, false, settings).announce);
    // Speak Time at 10:15:20 bypasses the guard and the interval rule.
    EXPECT_TRUE(DecidePass(bookkeeping, At(10, 15, 20), 15, true, settings).announce);
    RecordAnnouncement(bookkeeping, At(10, 15, 20));
    for (uint16_t s = 20; s < 60; ++s) {
        EXPECT_FALSE(DecidePass(bookkeeping, At(10, 15, s), 15, false, settings).announce);
    }
    // The same minute of another hour is not the same minute.
    EXPECT_TRUE(DecidePass(bookkeeping, At(11, 15, 0), 15, false, settings).announce);
}

TEST(SameMinuteGuard, StartsMatchingNothing) {
    // 65535 is no hour or minute: the first due second is announced even at 00:00.
    GateSettings settings;
    AnnouncementBookkeeping bookkeeping;
    EXPECT_EQ(bookkeeping.lastAnnouncedHour, kNeverAnnounced);
    EXPECT_TRUE(DecidePass(bookkeeping, At(0, 0, 0), 15, false, settings).announce);
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
        const PassDecision d = DecidePass(bookkeeping, c.clock, c.interval, c.speakTime, settings);
        EXPECT_EQ(d.announce, c.announce) << c.name;
        EXPECT_EQ(d.beep, c.beep) << c.name;
        EXPECT_EQ(bookkeeping.startupAnnouncementPending, c.startupPendingAfter) << c.name;
        EXPECT_EQ(settings.quietReads > 0, c.gateRead) << c.name;
    }
}

TEST(StartupAnnouncement, QuietHoursDropItForGood) {
    Simulation sim;
    sim.settings.quiet = {true, 22, 6};
    sim.interval = 60;
    sim.bookkeeping.startupAnnouncementPending = true;
    sim.nowMs = (5 * 3600 + 58 * 60 + 10) * 1000LL; // starts at 05:58:10, quiet
    sim.Run((6 * 3600 + 1 * 60) * 1000LL);
    // Not put off until 06:00: only the interval announcement at 06:00 is heard.
    EXPECT_EQ(sim.announced, (std::vector<std::string>{"06:00:00"}));
}

TEST(StartupAnnouncement, SpokenAtOnceThenTheGuardHolds) {
    Simulation sim;
    sim.interval = 15;
    sim.bookkeeping.startupAnnouncementPending = true;
    sim.nowMs = (10 * 3600 + 15 * 60 + 0) * 1000LL + 40;
    sim.Run((10 * 3600 + 31 * 60) * 1000LL);
    // At start, within a due second: one announcement for 10:15, then 10:30.
    EXPECT_EQ(sim.announced, (std::vector<std::string>{"10:15:00", "10:30:00"}));
    EXPECT_FALSE(sim.bookkeeping.startupAnnouncementPending);
}

} // namespace
