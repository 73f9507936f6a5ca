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

bool IsAlarmSecond(const ClockReading &clock, uint16_t hour, uint16_t minute, uint16_t second) {
    return clock.hour == hour && clock.minute == minute && clock.second == second;
}

PassDecision DecidePass(AnnouncementBookkeeping &bookkeeping, const ClockReading &clock,
                        uint16_t interval, bool speakTimeRequested,
                        AnnouncementGateSettings &settings) {
    PassDecision decision;
    const bool requested = speakTimeRequested || bookkeeping.startupAnnouncementPending;

    const bool sameMinute = clock.hour == bookkeeping.lastAnnouncedHour &&
                            clock.minute == bookkeeping.lastAnnouncedMinute;
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

void RecordAnnouncement(AnnouncementBookkeeping &bookkeeping, const ClockReading &clock) {
    bookkeeping.lastAnnouncedHour = clock.hour;
    bookkeeping.lastAnnouncedMinute = clock.minute;
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
