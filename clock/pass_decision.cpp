#include "pass_decision.h"

uint16_t LowWord(int32_t stored) {
    return static_cast<uint16_t>(static_cast<uint32_t>(stored));
}

uint16_t ClampInterval(int32_t stored) {
    uint16_t interval = LowWord(stored);
    if (interval > 60) {
        interval = 60;
    }
    if (interval == 0) {
        interval = 1;
    }
    return interval;
}

bool IsQuietHour(uint16_t afterHour, uint16_t beforeHour, uint16_t hour) {
    if (afterHour > beforeHour) {
        return hour >= afterHour || hour < beforeHour;
    }
    if (afterHour < beforeHour) {
        return hour >= afterHour && hour < beforeHour;
    }
    return true;
}

int64_t DayNumber(int year, int month, int day) {
    // Counted from March, so that the leap day ends a year.
    const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

int64_t WallSeconds(const ClockReading &clock) {
    return DayNumber(clock.year, clock.month, clock.day) * 86400 + clock.hour * 3600 +
           clock.minute * 60 + clock.second;
}

int32_t AlarmSecondOfDay(uint16_t hour, uint16_t minute, uint16_t second) {
    if (hour > 23 || minute > 59 || second > 59) {
        return -1;
    }
    return hour * 3600 + minute * 60 + second;
}

static int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - (a % b < 0 ? 1 : 0);
}

bool AlarmRepeatsOn(const AlarmRepeat &repeat, int64_t day) {
    if (repeat.Once()) {
        return day == DayNumber(repeat.year, repeat.month, repeat.day);
    }
    const int64_t dayOfWeek = day + 4 - FloorDiv(day + 4, 7) * 7; // 1970-01-01 was a Thursday
    return (repeat.days >> dayOfWeek & 1) != 0;
}

int64_t NextAlarmWall(const AlarmSchedule *alarms, int count, int64_t nowWall) {
    int64_t next = kNoAlarm;
    const int64_t today = FloorDiv(nowWall, 86400);
    for (int i = 0; i < count; ++i) {
        const AlarmSchedule &a = alarms[i];
        const int32_t second = AlarmSecondOfDay(a.hour, a.minute, a.second);
        if (!a.present || !a.on || second < 0) {
            continue;
        }
        const AlarmRepeat &r = a.repeat;
        const int64_t first = r.Once() ? DayNumber(r.year, r.month, r.day) : today;
        for (int64_t day = first; day <= (r.Once() ? first : today + 7); ++day) {
            const int64_t wall = day * 86400 + second;
            if (wall > nowWall && AlarmRepeatsOn(r, day)) {
                next = wall < next ? wall : next;
                break;
            }
        }
    }
    return next;
}

AlarmDue CheckAlarm(const AlarmWatch &watch, int64_t nowWall, int64_t nowUtc, bool utcClock,
                    int32_t alarmSecondOfDay) {
    AlarmDue due;
    if (alarmSecondOfDay < 0) {
        return due;
    }
    // The latest moment the alarm's time was on the clock, today or yesterday.
    const int64_t today = FloorDiv(nowWall, 86400);
    int64_t alarm = today * 86400 + alarmSecondOfDay;
    if (alarm > nowWall) {
        alarm -= 86400;
    }
    // Real seconds since the last pass: a jump of the clocks is not lateness.
    int64_t elapsed = 1;
    int64_t windowStart = nowWall - 1; // the first pass sees its own second only
    if (watch.watching && watch.utcClock == utcClock) {
        elapsed = nowUtc - watch.previousUtc;
        if (elapsed < 1) {
            elapsed = 1;
        }
        // Forward (time running, or jumping over the alarm): all of the way
        // since the last pass.  Back: only as much as really went by.
        windowStart = nowWall >= watch.previousWall ? watch.previousWall : nowWall - elapsed;
    }
    if (alarm <= windowStart) {
        return due;
    }
    due.day = FloorDiv(alarm, 86400);
    if (due.day == watch.lastDay) {
        return AlarmDue();
    }
    const int64_t late = nowWall - alarm < elapsed ? nowWall - alarm : elapsed;
    due.call = late > kLatestAlarmSeconds ? AlarmCall::Missed : AlarmCall::Sound;
    return due;
}

void WatchAlarm(AlarmWatch &watch, int64_t nowWall, int64_t nowUtc, bool utcClock) {
    watch.watching = true;
    watch.utcClock = utcClock;
    watch.previousWall = nowWall;
    watch.previousUtc = nowUtc;
}

PassDecision DecidePass(AnnouncementBookkeeping &bookkeeping, const ClockReading &clock,
                        const AnnouncementInstant &now, uint16_t interval, bool speakTimeRequested,
                        AnnouncementGateSettings &settings) {
    PassDecision decision;
    const bool requested = speakTimeRequested || bookkeeping.startupAnnouncementPending;

    const bool sameMinute = now.utcMinute == bookkeeping.last.utcMinute &&
                            now.steadyMs - bookkeeping.last.steadyMs < 60000;
    if (sameMinute && !requested) {
        return decision;
    }

    const bool onInterval = clock.minute % interval == 0;
    const bool due = onInterval && clock.second == 0;
    if (!due && !requested) {
        return decision;
    }

    if (!speakTimeRequested) {
        const QuietHours quiet = settings.ReadQuietHours();
        if (quiet.quietMode) {
            // A startup announcement that meets quiet hours is dropped, not put off.
            bookkeeping.startupAnnouncementPending = false;
            if (IsQuietHour(quiet.afterHour, quiet.beforeHour, clock.hour)) {
                return decision;
            }
        }
        decision.beep = settings.ReadBeepInterval() && onInterval;
    }

    decision.announce = true;
    return decision;
}

void RecordAnnouncement(AnnouncementBookkeeping &bookkeeping, const AnnouncementInstant &now) {
    bookkeeping.last = now;
    bookkeeping.startupAnnouncementPending = false;
}

static bool SameSecond(const ClockReading &a, const ClockReading &b) {
    return a.second == b.second && a.minute == b.minute && a.hour == b.hour && a.day == b.day &&
           a.month == b.month && a.year == b.year;
}

uint32_t PauseBeforePass(const ClockReading &previousPass, const ClockReading &now,
                         bool workPending) {
    if (workPending || !SameSecond(previousPass, now)) {
        return 0;
    }
    const uint32_t milliseconds = now.milliseconds < 1000 ? now.milliseconds : 999;
    return 1000 - milliseconds + kWakeMarginMs;
}
