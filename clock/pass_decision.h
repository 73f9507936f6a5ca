// What one pass of the ClockThread decides from the clock and the settings:
// the interval, the alarm match, whether an announcement is due (same-minute
// guard, interval rule, quiet hours, beep) and how long the pause before the
// next pass may sleep.  Portable: no <windows.h>.
#pragma once

#include <cstdint>

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

// 65535, the 16-bit form of -1: matches no real hour or minute.
constexpr uint16_t kNeverAnnounced = 0xFFFF;

// The thread's own memory of what it announced.
struct AnnouncementBookkeeping {
    uint16_t lastAnnouncedHour = kNeverAnnounced;
    uint16_t lastAnnouncedMinute = kNeverAnnounced;
    bool startupAnnouncementPending = false;
};

// Hour, minute and interval settings are taken as their low 16 bits, unsigned.
uint16_t LowWord(int32_t stored);

// CheckInterval as the thread uses it: low 16 bits, 0 gives 1, above 60 gives 60.
uint16_t ClampInterval(int32_t stored);

// Quiet hours from afterHour up to (not including) beforeHour; equal hours
// mean always quiet.
bool IsQuietHour(uint16_t afterHour, uint16_t beforeHour, uint16_t hour);

bool IsAlarmSecond(const ClockReading &clock, uint16_t hour, uint16_t minute, uint16_t second);

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

// Same-minute guard, interval rule, then (only while no Speak Time request is
// raised) quiet hours and beep.  The quiet-hours test clears the startup
// announcement whether or not it holds the pass back.
PassDecision DecidePass(AnnouncementBookkeeping &bookkeeping, const ClockReading &clock,
                        uint16_t interval, bool speakTimeRequested,
                        AnnouncementGateSettings &settings);

// After an announcement: remember the hour and minute it was made on and drop
// the startup announcement.
void RecordAnnouncement(AnnouncementBookkeeping &bookkeeping, const ClockReading &clock);

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
