// What one pass of the ClockThread decides from the clock and the settings:
// the interval, the alarm match, whether an announcement is due (same-minute
// guard, interval rule, quiet hours, beep) and how long the pause before the
// next pass may sleep.  Portable: no <windows.h>.
#pragma once

#include <cstdint>

#include "alarm_list.h"

// A clock reading, field for field the platform's SYSTEMTIME record.
struct ClockReading {
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t dayOfWeek = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;
};

// Days since 1970-01-01 of a civil date, and a reading as seconds counted the
// same way.  Local readings counted so are "wall" seconds: they jump when the
// clocks change, which is what the alarm's rules need to see.
int64_t DayNumber(int year, int month, int day);
int64_t WallSeconds(const ClockReading &clock);

// Matches no real minute.
constexpr int64_t kNeverAnnounced = INT64_MIN;

// When an announcement was made: the absolute minute (UTC seconds / 60), so
// that the hour repeated when the clocks go back is announced again, and a
// clock that never jumps (milliseconds), so that a clock set back over an
// announced minute does not silence it when it comes round again.
struct AnnouncementInstant {
    int64_t utcMinute = kNeverAnnounced;
    int64_t steadyMs = 0;
};

// The thread's own memory of what it announced.
struct AnnouncementBookkeeping {
    AnnouncementInstant last;
    bool startupAnnouncementPending = false;
};

// Hour, minute and interval settings are taken as their low 16 bits, unsigned.
uint16_t LowWord(int32_t stored);

// CheckInterval as the thread uses it: low 16 bits, 0 gives 1, above 60 gives 60.
uint16_t ClampInterval(int32_t stored);

// Quiet hours from afterHour up to (not including) beforeHour; equal hours
// mean always quiet.
bool IsQuietHour(uint16_t afterHour, uint16_t beforeHour, uint16_t hour);

// The alarm: once per date of the clock it is compared with, at the first
// pass that sees its second reached, however the clock got past it (a wait
// for speech, a jump forward of the clocks); never again that date, also when
// the clocks go back over it.  Found later than kLatestAlarmSeconds of real
// time (the machine slept through it), it is reported missed instead.
constexpr int64_t kLatestAlarmSeconds = 600;
constexpr int64_t kNoDay = INT64_MIN;

// What the alarm keeps between passes.
struct AlarmWatch {
    bool watching = false;    // an earlier pass's reading is held
    bool utcClock = false;    // whether that reading was of the UTC clock
    int64_t previousWall = 0; // WallSeconds of that reading
    int64_t previousUtc = 0;  // the UTC clock then, in seconds
    int64_t lastDay = kNoDay; // the date it last sounded (or was missed) on
};

enum class AlarmCall { None, Sound, Missed };
struct AlarmDue {
    AlarmCall call = AlarmCall::None;
    int64_t day = kNoDay; // the date it is due for
};

// Hour, minute and second as the thread reads them; -1 when they name no
// second of a day (such an alarm never sounds).
int32_t AlarmSecondOfDay(uint16_t hour, uint16_t minute, uint16_t second);

// Whether an alarm that repeats so is due on a date (a DayNumber): weekly on
// its days, or on its one date only.
bool AlarmRepeatsOn(const AlarmRepeat &repeat, int64_t day);

// The wall second after nowWall when the first of the alarms that are on is
// next due, or kNoAlarm.
constexpr int64_t kNoAlarm = INT64_MAX;
int64_t NextAlarmWall(const AlarmSchedule *alarms, int count, int64_t nowWall);

// Whether the alarm is due at this pass, given the clock now (wall seconds of
// the clock the alarm is compared with, and the UTC clock's seconds).
AlarmDue CheckAlarm(const AlarmWatch &watch, int64_t nowWall, int64_t nowUtc, bool utcClock,
                    int32_t alarmSecondOfDay);
// Remembers this pass's reading for the next one.
void WatchAlarm(AlarmWatch &watch, int64_t nowWall, int64_t nowUtc, bool utcClock);

struct QuietHours {
    bool quietMode = false;
    uint16_t afterHour = 0;
    uint16_t beforeHour = 0;
};

// The settings that only an announcement about to be made consults; each is
// read when the pass reaches the step that needs it.
class AnnouncementGateSettings {
  public:
    virtual QuietHours ReadQuietHours() = 0;
    virtual bool ReadBeepInterval() = 0;

  protected:
    ~AnnouncementGateSettings() = default;
};

struct PassDecision {
    bool announce = false;
    bool beep = false; // sound the simple beep before announcing
};

// Same-minute guard (the same absolute minute within a minute of the last
// announcement), interval rule on clock, then (only while no Speak Time request is raised) quiet
// hours and beep.  The quiet-hours test clears the startup announcement whether or not it holds the
// pass back.
PassDecision DecidePass(AnnouncementBookkeeping &bookkeeping, const ClockReading &clock,
                        const AnnouncementInstant &now, uint16_t interval, bool speakTimeRequested,
                        AnnouncementGateSettings &settings);

// After an announcement: remember the absolute minute it was made in and drop
// the startup announcement.
void RecordAnnouncement(AnnouncementBookkeeping &bookkeeping, const AnnouncementInstant &now);

// How far past a second boundary the thread wakes, so that the pass reads the
// new second even if the wait ends a little early.
constexpr uint32_t kWakeMarginMs = 2;

// How long the pause before a pass may sleep, in milliseconds, given the clock
// reading of the previous pass and the clock now (read the same way).  Zero
// when work is pending (a raised request, or the previous pass waited for
// speech, so that the same second is looked at again) or when the clock has
// moved on to a second that no pass has read yet; otherwise up to just past
// the next second boundary.
uint32_t PauseBeforePass(const ClockReading &previousPass, const ClockReading &now,
                         bool workPending);
