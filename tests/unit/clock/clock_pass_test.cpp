// The ClockThread's real pass driven by a simulated machine: a clock that runs
// on (and that the user or the zone's rules set forward and back), speech that
// takes time, sleep, and requests.  What a listener relies on is checked over
// a whole run: each alarm once per date it repeats on (or reported missed),
// two in one second one after the other, every due minute announced at most
// once and never a passed one, and no burst of waits.
#include "clock_pass.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

enum class Spoken { Announcement, Alarm, Clipboard };

struct Wait {
    int64_t start, end; // real ms
    Spoken what;
};

class Machine : public ClockHost, public SpeechSession {
  public:
    explicit Machine(const char *zone) {
        setenv("TZ", zone, 1);
        tzset();
        settings_[static_cast<size_t>(Setting::CheckInterval)] = 15;
    }

    // --- what the test sets up
    void Set(Setting id, int32_t value) { settings_[static_cast<size_t>(id)] = value; }
    // The first alarm, every day; more join the list after it.
    void SetAlarm(int h, int m, int s) {
        list_.clear();
        AddAlarm(h * 3600 + m * 60 + s, AlarmRepeat{});
    }
    void AddAlarm(int32_t secondOfDay, const AlarmRepeat &repeat) {
        list_.push_back({(secondOfDay % 86400 + 86400) % 86400, repeat});
    }
    // Starts the clock at a local time (as "YYYY-MM-DD HH:MM:SS").
    void StartAt(const char *local) {
        std::tm tm{};
        strptime(local, "%Y-%m-%d %H:%M:%S", &tm);
        tm.tm_isdst = -1;
        realMs_ = static_cast<int64_t>(std::mktime(&tm)) * 1000 + 377;
        skewMs_ = 0;
    }
    int64_t SystemMs() const { return realMs_ + skewMs_; }
    void SetClockBy(int64_t seconds) {
        skewMs_ += seconds * 1000;
        Enter(realMs_, false);
    }
    void SleepFor(int64_t seconds) { Advance(seconds * 1000); }
    std::mt19937 random{7};
    int64_t announcementMs = 2000, alarmMs = 1000, clipboardMs = 0;

    // --- what happened
    struct Sounded {
        size_t alarm;
        int64_t day;    // the date it was due for
        int64_t lateMs; // real time since the clock first showed it that date
        bool missed;
    };
    std::vector<Sounded> alarms;
    // By the real minute: a clock set back shows a minute again, and it is due again.
    std::map<int64_t, int> announcedMinutes;             // real minute -> count
    std::vector<std::pair<int64_t, int64_t>> dueMinutes; // real minute, real ms of second 0
    std::vector<Wait> waits;
    std::vector<int64_t> nextAlarms; // as shown, when they changed
    int passedMinuteSpoken = 0;

    // --- ClockHost
    bool Running() override { return true; }
    std::atomic<uint32_t> &Requests() override { return requests_; }
    void Pause(uint32_t ms) override { Advance(ms > 0 ? ms : 1); }
    ClockNow ReadClock() override { return ClockNow{Local(), Utc(), realMs_}; }
    int32_t ReadInt(Setting id) override { return settings_[static_cast<size_t>(id)]; }
    bool ReadFlag(Setting id) override { return ReadInt(id) != 0; }
    void ReadText(Setting, char (&text)[kTextBufferSize]) override { text[0] = '\0'; }
    void ReadAlarms(AlarmSchedule (&alarms)[kMaxAlarms]) override {
        for (size_t i = 0; i < kMaxAlarms; ++i) {
            alarms[i] = AlarmSchedule();
            if (i < list_.size()) {
                const Listed &a = list_[i];
                alarms[i].present = alarms[i].on = true;
                alarms[i].hour = static_cast<uint16_t>(a.second / 3600);
                alarms[i].minute = static_cast<uint16_t>(a.second / 60 % 60);
                alarms[i].second = static_cast<uint16_t>(a.second % 60);
                alarms[i].repeat = a.repeat;
            }
        }
    }
    void ReadAlarmText(int index, AlarmText which, char (&text)[kTextBufferSize]) override {
        text[0] = '\0';
        if (which == AlarmText::Message) {
            std::snprintf(text, sizeof text, "ALARM%d", index);
        }
    }
    SpeechSession &Session() override { return *this; }
    bool SpeakClipboard() override {
        queuedMs_ += clipboardMs;
        speaking_ = Spoken::Clipboard;
        return true;
    }
    // The chime instead of the time counts as the minute's announcement.
    bool PlayChime(const ChimePattern &) override {
        Announce(Local(), false, nullptr);
        return true;
    }
    void Announce(const ClockReading &clock, bool, const ChimePattern *) override {
        const ClockReading now = Local();
        if (now.minute != clock.minute || now.hour != clock.hour) {
            ++passedMinuteSpoken;
        }
        ++announcedMinutes[realMs_ / 60000];
        queuedMs_ += announcementMs;
        speaking_ = Spoken::Announcement;
    }
    void Beep() override {}
    void ShowSpeaking(bool) override {}
    // The first of the alarms of that second not yet heard or missed that date.
    void ShowNextAlarm(int64_t wall) override { nextAlarms.push_back(wall); }
    void ShowAlarmMissed(uint16_t h, uint16_t m, uint16_t s) override {
        for (size_t i = 0; i < list_.size(); ++i) {
            if (list_[i].second == h * 3600 + m * 60 + s && !recorded_.count({i, DayOf(i)})) {
                Record(i, true);
                return;
            }
        }
        ADD_FAILURE() << "a missed alarm that is not in the list";
    }

    // --- SpeechSession
    bool Start() override { return true; }
    void Stop() override {}
    void ApplySettings() override {}
    void Speak(const char *text, bool, SpeechKind) override {
        if (std::strncmp(text, "ALARM", 5) == 0) {
            Record(std::strtoul(text + 5, nullptr, 10), false);
            queuedMs_ += alarmMs;
        }
    }
    void Interrupt() override { queuedMs_ = 0; }
    void WaitUntilSpoken(WaitWatcher &watcher) override {
        Wait wait{realMs_, 0, speaking_};
        waiting_ = true;
        while (queuedMs_ > 0) {
            const int64_t step = queuedMs_ < 1000 ? queuedMs_ : 1000;
            Advance(step);
            queuedMs_ -= step;
            if (queuedMs_ > 0 && watcher.CutNow()) {
                queuedMs_ = 0;
            }
        }
        waiting_ = false;
        wait.end = realMs_;
        waits.push_back(wait);
    }

    void Raise(ClockRequest request) { requests_.fetch_or(request); }

    // Runs the real pass until the system clock reaches local time `until`.
    void RunUntil(ClockState &state, const char *until) {
        std::tm tm{};
        strptime(until, "%Y-%m-%d %H:%M:%S", &tm);
        tm.tm_isdst = -1;
        const int64_t end = static_cast<int64_t>(std::mktime(&tm)) * 1000;
        while (SystemMs() < end) {
            ClockPass(state, *this);
        }
    }

  private:
    // The zone's offset changes on whole UTC hours only: looked up once an hour.
    int64_t OffsetSeconds(int64_t utcSeconds) const {
        if (utcSeconds / 3600 != offsetHour_) {
            const std::time_t t = static_cast<std::time_t>(utcSeconds);
            std::tm tm{};
            localtime_r(&t, &tm);
            offsetHour_ = utcSeconds / 3600;
            offset_ = tm.tm_gmtoff;
        }
        return offset_;
    }
    ClockReading Reading(bool utc) const {
        const int64_t utcSeconds = SystemMs() / 1000;
        const int64_t seconds = utcSeconds + (utc ? 0 : OffsetSeconds(utcSeconds));
        // Days to a civil date, the inverse of DayNumber.
        const int64_t z = seconds / 86400 + 719468;
        const int64_t era = z / 146097;
        const int64_t doe = z - era * 146097;
        const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
        const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
        const int64_t mp = (5 * doy + 2) / 153;
        const int64_t month = mp < 10 ? mp + 3 : mp - 9;
        ClockReading r;
        r.year = static_cast<uint16_t>(yoe + era * 400 + (month <= 2 ? 1 : 0));
        r.month = static_cast<uint16_t>(month);
        r.day = static_cast<uint16_t>(doy - (153 * mp + 2) / 5 + 1);
        r.dayOfWeek = static_cast<uint16_t>((seconds / 86400 + 4) % 7);
        r.hour = static_cast<uint16_t>(seconds / 3600 % 24);
        r.minute = static_cast<uint16_t>(seconds / 60 % 60);
        r.second = static_cast<uint16_t>(seconds % 60);
        r.milliseconds = static_cast<uint16_t>(SystemMs() % 1000);
        return r;
    }
    ClockReading Local() const { return Reading(false); }
    ClockReading Utc() const { return Reading(true); }

    // Real time runs on; each second the local clock enters is looked at for
    // the first showing of the alarm's time and for due minutes.
    void Advance(int64_t ms) {
        const int64_t from = SystemMs() / 1000;
        realMs_ += ms;
        const int64_t to = SystemMs() / 1000;
        if (to - from > 5) { // asleep: only the last second is seen
            Enter(realMs_, true);
            return;
        }
        for (int64_t s = from + 1; s <= to; ++s) {
            Enter(realMs_ - (SystemMs() - s * 1000), false);
        }
    }
    // asleep: the clock ran on unseen, so the alarm's time went by when the
    // clock showed it, not now.  Otherwise a jump shows it now.
    void Enter(int64_t realAt, bool asleep) {
        const ClockReading now = Local();
        const int64_t wall = WallSeconds(now);
        for (size_t i = 0; i < list_.size(); ++i) {
            for (int64_t day = wall / 86400 - 1; day <= wall / 86400; ++day) {
                const int64_t alarmWall = day * 86400 + list_[i].second;
                if (wall >= alarmWall && firstShown_.count({i, day}) == 0) {
                    firstShown_[{i, day}] = asleep ? realAt - (wall - alarmWall) * 1000 : realAt;
                }
            }
        }
        const int interval = ClampInterval(ReadInt(Setting::CheckInterval));
        if (!asleep && now.second == 0 && now.minute % interval == 0 && !waiting_) {
            dueMinutes.emplace_back(realAt / 60000, realAt);
        }
    }
    // The date of alarm i's latest showing on the clock.
    int64_t DayOf(size_t i) const {
        const int64_t wall = WallSeconds(Local());
        return wall / 86400 - (wall % 86400 < list_.at(i).second ? 1 : 0);
    }
    // The alarm named as the next one is never later than one that sounds.
    void Record(size_t i, bool missed) {
        const int64_t day = DayOf(i);
        if (!missed && !nextAlarms.empty()) { // the very first pass may be a clipboard's
            EXPECT_LE(nextAlarms.back(), day * 86400 + list_[i].second) << "alarm " << i;
        }
        recorded_.insert({i, day});
        alarms.push_back({i, day, realMs_ - firstShown_[{i, day}], missed});
        speaking_ = Spoken::Alarm;
    }

    std::atomic<uint32_t> requests_{0};
    int32_t settings_[static_cast<size_t>(Setting::Count)]{};
    struct Listed {
        int32_t second;
        AlarmRepeat repeat;
    };
    std::vector<Listed> list_;
    std::set<std::pair<size_t, int64_t>> recorded_;
    int64_t realMs_ = 0, skewMs_ = 0, queuedMs_ = 0;
    bool waiting_ = false;
    Spoken speaking_ = Spoken::Announcement;
    std::map<std::pair<size_t, int64_t>, int64_t> firstShown_; // alarm, day -> real ms
    mutable int64_t offsetHour_ = INT64_MIN, offset_ = 0;
};

// A due minute whose second 0 began while the thread was free is announced,
// unless a wait took all of that second, a clipboard reading began in it, or
// the alarms of that pass, one after the other, outlasted the minute.
void ExpectDueMinutesAnnounced(const Machine &m) {
    for (const auto &[minute, at] : m.dueMinutes) {
        bool excused = false;
        int64_t alarmsEnd = -1;
        for (const Wait &w : m.waits) {
            const bool beganInSecond = w.start >= at && w.start < at + 1000;
            if (w.what == Spoken::Alarm && (beganInSecond || w.start == alarmsEnd)) {
                alarmsEnd = w.end;
            }
            excused = excused || (w.start <= at && w.end >= at + 1000) ||
                      (beganInSecond && w.what == Spoken::Clipboard);
        }
        excused = excused || (alarmsEnd >= 0 && alarmsEnd / 60000 != at / 60000);
        if (!excused) {
            EXPECT_EQ(m.announcedMinutes.count(minute), 1u) << "minute " << minute;
        }
    }
}

void ExpectInvariants(const Machine &m) {
    std::map<std::pair<size_t, int64_t>, int> perDay;
    for (const auto &a : m.alarms) {
        ++perDay[{a.alarm, a.day}];
        if (a.missed) {
            EXPECT_GT(a.lateMs, kLatestAlarmSeconds * 1000 - 1000) << "day " << a.day;
        } else {
            EXPECT_LE(a.lateMs, kLatestAlarmSeconds * 1000 + 1000) << "day " << a.day;
        }
    }
    for (const auto &[alarmDay, count] : perDay) {
        EXPECT_EQ(count, 1) << "alarm " << alarmDay.first << " sounded or missed " << count
                            << " times on day " << alarmDay.second;
    }
    for (const auto &[minute, count] : m.announcedMinutes) {
        EXPECT_EQ(count, 1) << "minute " << minute << " announced " << count << " times";
    }
    EXPECT_EQ(m.passedMinuteSpoken, 0);
    std::map<int64_t, int> waitsPerSecond;
    for (const Wait &w : m.waits) {
        if (w.what != Spoken::Alarm) { // at most one each
            EXPECT_LE(++waitsPerSecond[w.start / 1000], 3) << "waits at second " << w.start / 1000;
        }
    }
    ExpectDueMinutesAnnounced(m);
}

// The cases users met, each on its own: the alarm and its day, announcements
// by the real minute.
TEST(ClockPass, AlarmsAndAnnouncementsInTheCasesUsersMet) {
    struct Case {
        const char *name, *zone, *start, *end;
        int alarmH, alarmM, alarmS, interval;
        int64_t announcementMs, alarmMs;
        int64_t setClockAt, setClockBy; // seconds after start; 0: never
        int expectedAlarms;             // sounded, not missed
        bool clipboardAtStart;
    };
    const Case cases[] = {
        {"alarm during the hour's announcement", "America/New_York", "2026-12-08 06:59:50",
         "2026-12-08 07:05:00", 7, 0, 1, 60, 4000, 1000, 0, 0, 1, false},
        {"alarm cuts a clipboard reading", "America/New_York", "2026-12-08 06:59:58",
         "2026-12-08 07:05:00", 7, 0, 0, 60, 2000, 1000, 0, 0, 1, true},
        {"a short alarm once", "America/New_York", "2026-12-08 06:59:50", "2026-12-08 07:02:00", 7,
         0, 0, 15, 2000, 30, 0, 0, 1, false},
        {"a long alarm and no late announcement", "America/New_York", "2026-12-08 06:59:50",
         "2026-12-08 07:05:00", 7, 0, 0, 15, 2000, 91000, 0, 0, 1, false},
        {"clocks go back", "America/New_York", "2026-11-01 00:50:00", "2026-11-01 03:10:00", 1, 30,
         0, 60, 3000, 2000, 0, 0, 1, false},
        {"clocks go forward over the alarm", "America/New_York", "2026-03-08 01:50:00",
         "2026-03-08 03:10:00", 2, 30, 0, 60, 3000, 2000, 0, 0, 1, false},
        {"clock set back after the alarm", "America/New_York", "2026-12-08 06:58:00",
         "2026-12-08 08:10:00", 7, 0, 0, 60, 3000, 2000, 300, -3600, 1, false},
        {"asleep through the alarm", "America/New_York", "2026-12-08 04:58:00",
         "2026-12-08 08:10:00", 7, 0, 0, 60, 3000, 2000, 0, 0, 0, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Machine m(c.zone);
        m.SetAlarm(c.alarmH, c.alarmM, c.alarmS);
        m.Set(Setting::CheckInterval, c.interval);
        m.announcementMs = c.announcementMs;
        m.alarmMs = c.alarmMs;
        m.clipboardMs = 600000;
        m.StartAt(c.start);
        ClockState state;
        ASSERT_TRUE(StartClock(state, m));
        if (c.clipboardAtStart) {
            m.Raise(ReadClipboardRequested);
        }
        if (std::string(c.name) == "asleep through the alarm") {
            m.RunUntil(state, "2026-12-08 05:00:00");
            m.SleepFor(3 * 3600);
        }
        if (c.setClockAt > 0) {
            const int64_t start = m.SystemMs();
            while (m.SystemMs() < start + c.setClockAt * 1000) {
                ClockPass(state, m);
            }
            m.SetClockBy(c.setClockBy);
        }
        m.RunUntil(state, c.end);
        int sounded = 0;
        for (const auto &a : m.alarms) {
            sounded += a.missed ? 0 : 1;
        }
        EXPECT_EQ(sounded, c.expectedAlarms);
        EXPECT_EQ(m.alarms.size(), 1u);
        ExpectInvariants(m);
    }
}

// An alarm set to a later time after it sounded sounds again that day, once;
// set back to the time it sounded at, it stays silent.
TEST(ClockPass, AnAlarmSetLaterTheSameDaySoundsAgain) {
    Machine m("Europe/Berlin");
    m.SetAlarm(7, 0, 0);
    m.StartAt("2026-12-08 06:59:50");
    ClockState state;
    ASSERT_TRUE(StartClock(state, m));
    m.RunUntil(state, "2026-12-08 07:02:00");
    m.SetAlarm(7, 5, 0);
    m.RunUntil(state, "2026-12-08 07:10:00");
    m.SetAlarm(7, 0, 0);
    m.RunUntil(state, "2026-12-08 07:20:00");
    ASSERT_EQ(m.alarms.size(), 2u);
    EXPECT_EQ(m.alarms[0].day, m.alarms[1].day);
    EXPECT_FALSE(m.alarms[0].missed || m.alarms[1].missed);
}

#if defined(__SANITIZE_ADDRESS__)
// Instrumented code runs many times slower: the spring's changes of the
// clocks in both hemispheres only.
const char kFirstDay[] = "2026-03-01 00:00:00";
const int kDays = 40;
#else
const char kFirstDay[] = "2026-01-01 00:00:00";
const int kDays = 365;
#endif

// The date of a day number, and its day of the week, by the C library.
std::tm DateOf(int64_t day) {
    const std::time_t t = static_cast<std::time_t>(day * 86400);
    std::tm tm{};
    gmtime_r(&t, &tm);
    return tm;
}

// Beside the first alarm: its twin in the same second, weekdays a minute
// later, weekends two minutes later, and once on the run's thirteenth day.
void AddRepeatingAlarms(Machine &m, int32_t first, int64_t firstDay) {
    m.AddAlarm(first, AlarmRepeat{});
    AlarmRepeat weekdays, weekends;
    weekdays.days = kWeekdays;
    weekends.days = kWeekends;
    m.AddAlarm(first + 60, weekdays);
    m.AddAlarm(first + 120, weekends);
    const std::tm once = DateOf(firstDay + 12);
    m.AddAlarm(first + 30, AlarmRepeat{0, static_cast<uint16_t>(once.tm_year + 1900),
                                       static_cast<uint8_t>(once.tm_mon + 1),
                                       static_cast<uint8_t>(once.tm_mday)});
}

// Each alarm on the days it repeats on, nearly every one of them (a few are
// lost to the machine being off), and the twins one after the other.
void ExpectRepeatingAlarms(const Machine &m, int64_t firstDay, int days) {
    const auto due = [&](size_t alarm, int64_t day) {
        const int weekday = DateOf(day).tm_wday;
        switch (alarm) {
        case 2:
            return weekday >= 1 && weekday <= 5;
        case 3:
            return weekday == 0 || weekday == 6;
        case 4:
            return day == firstDay + 12;
        default:
            return true;
        }
    };
    std::map<size_t, int> heard, expected;
    for (int64_t day = firstDay; day < firstDay + days; ++day) {
        for (size_t alarm = 0; alarm < 5; ++alarm) {
            expected[alarm] += due(alarm, day) ? 1 : 0;
        }
    }
    for (size_t i = 0; i < m.alarms.size(); ++i) {
        const Machine::Sounded &a = m.alarms[i];
        EXPECT_TRUE(due(a.alarm, a.day)) << "alarm " << a.alarm << " on day " << a.day;
        ++heard[a.alarm];
        if (a.alarm == 0) {
            ASSERT_LT(i + 1, m.alarms.size());
            EXPECT_EQ(m.alarms[i + 1].alarm, 1u) << "the twin follows on day " << a.day;
            EXPECT_EQ(m.alarms[i + 1].day, a.day);
        }
    }
    for (size_t alarm = 0; alarm < 5; ++alarm) {
        EXPECT_GE(heard[alarm], expected[alarm] - (alarm == 4 ? 0 : 5)) << "alarm " << alarm;
    }
}

// A year in three zones: both changes of the clocks, midnight, the clock set
// back and forward, sleep, chimes, speech and alarms of every length that repeat
// every day, on weekdays, on weekends or once.  Each day runs around the
// alarms and around midnight, and the days of the clocks' changes run whole;
// in between the machine is off.
TEST(ClockPass, AYearInThreeZones) {
    struct Zone {
        const char *name;
        int alarmH, alarmM, alarmS, interval, chime;
    };
    const Zone zones[] = {{"America/New_York", 2, 30, 0, 60, 1},
                          {"Australia/Sydney", 2, 30, 0, 15, 2},
                          {"Asia/Kolkata", 23, 59, 59, 7, 0}};
    for (const Zone &zone : zones) {
        SCOPED_TRACE(zone.name);
        Machine m(zone.name);
        m.SetAlarm(zone.alarmH, zone.alarmM, zone.alarmS);
        const int64_t firstDay =
            DayNumber(std::atoi(kFirstDay), std::atoi(kFirstDay + 5), std::atoi(kFirstDay + 8));
        AddRepeatingAlarms(m, zone.alarmH * 3600 + zone.alarmM * 60 + zone.alarmS, firstDay);
        m.Set(Setting::CheckInterval, zone.interval);
        m.Set(Setting::Chime, zone.chime);
        m.StartAt(kFirstDay);
        ClockState state;
        ASSERT_TRUE(StartClock(state, m));
        std::uniform_int_distribution<int> percent(0, 99);
        std::uniform_real_distribution<double> logMs(std::log(30.0), std::log(90000.0));
        int64_t previousOffset = 0;
        for (int day = 0; day < kDays; ++day) {
            std::time_t noon = static_cast<std::time_t>(m.SystemMs() / 1000) + 12 * 3600;
            std::tm tm{};
            localtime_r(&noon, &tm);
            const int64_t offset = tm.tm_gmtoff;
            const bool wholeDay = offset != previousOffset || percent(m.random) < 1;
            previousOffset = offset;
            m.announcementMs = static_cast<int64_t>(std::exp(logMs(m.random)));
            m.alarmMs = static_cast<int64_t>(std::exp(logMs(m.random)));
            const int event = percent(m.random);
            char stamp[80];
            auto at = [&](int h, int mi, int s) {
                std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d",
                              tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, h, mi, s);
                return stamp;
            };
            const int aroundH = zone.alarmH, aroundM = zone.alarmM;
            if (wholeDay) {
                m.RunUntil(state, at(23, 50, 0));
            } else {
                m.RunUntil(state, at(aroundH, aroundM > 10 ? aroundM - 10 : 0, 0));
                if (event < 10) {
                    m.SleepFor(3 * 3600); // through the alarm: missed
                } else if (event < 20) {
                    m.RunUntil(state, at(aroundH, aroundM > 5 ? aroundM - 3 : 0, 0));
                    m.SetClockBy(10 * 60); // forward over the alarm
                } else if (event < 30) {
                    m.Raise(ReadClipboardRequested);
                    m.clipboardMs = 20 * 60000;
                }
                m.RunUntil(state, at(aroundH, aroundM < 50 ? aroundM + 10 : 59, 0));
                if (event >= 30 && event < 40) {
                    m.SetClockBy(-3600); // back over the alarm: not again
                    m.RunUntil(state, at(aroundH, aroundM < 50 ? aroundM + 10 : 59, 0));
                }
                m.clipboardMs = 0;
                // Off until just before midnight.
                std::tm before = tm;
                before.tm_hour = 23;
                before.tm_min = 55;
                before.tm_sec = 0;
                before.tm_isdst = -1;
                const int64_t target = static_cast<int64_t>(std::mktime(&before)) * 1000;
                if (target > m.SystemMs()) {
                    m.SleepFor((target - m.SystemMs()) / 1000);
                }
            }
            std::tm next = tm;
            next.tm_mday += 1;
            next.tm_hour = 0;
            next.tm_min = 5;
            next.tm_sec = 0;
            next.tm_isdst = -1;
            std::mktime(&next);
            std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d 00:05:00", next.tm_year + 1900,
                          next.tm_mon + 1, next.tm_mday);
            m.RunUntil(state, stamp);
        }
        ExpectInvariants(m);
        ExpectRepeatingAlarms(m, firstDay, kDays);
        EXPECT_GT(m.announcedMinutes.size(), kDays * 2u);
    }
}

} // namespace
