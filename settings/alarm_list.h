// The list of alarms and the text form each one is stored in.  The first
// alarm is the Configuration dialog's (the Alarm* keys of [Settings]); the
// others live in [Alarms] as AlarmN ("1,07:00:00,-MTWTF-" or
// "1,07:00:00,2026-12-25"), AlarmNMessage and AlarmNFile, N from 2.  The
// first alarm's days are Alarm1Days there; absent, it sounds every day, as it
// always did.  Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings_catalogue.h"

constexpr int kMaxAlarms = 20;
extern const char kSectionAlarms[];

// Bit 0 is Sunday, bit 6 Saturday, as the clock's day of the week counts.
constexpr uint8_t kEveryDay = 0x7F;
constexpr uint8_t kWeekdays = 0x3E;
constexpr uint8_t kWeekends = 0x41;

// Weekly on the days of a mask, or (year not 0) once on one date.
struct AlarmRepeat {
    uint8_t days = kEveryDay;
    uint16_t year = 0;
    uint8_t month = 0;
    uint8_t day = 0;

    bool Once() const { return year != 0; }
};

struct AlarmSchedule {
    bool present = false; // a slot of the list that holds an alarm
    bool on = false;
    // As stored; a time that names no second of a day never sounds.
    uint16_t hour = 0, minute = 0, second = 0;
    AlarmRepeat repeat;
};

enum class AlarmText { Message, File };

// "SMTWTFS" with '-' for a day left out, or "YYYY-MM-DD" of a real date.
// False (and repeat untouched) for anything else, an empty week included.
bool ParseAlarmRepeat(const char *text, AlarmRepeat &repeat);
constexpr size_t kAlarmRepeatSize = 16; // "YYYY-MM-DD" of any stored numbers
void FormatAlarmRepeat(const AlarmRepeat &repeat, char (&text)[kAlarmRepeatSize]);

// "on,HH:MM:SS,repeat".  False for a damaged text: the slot then reads as empty.
bool ParseAlarmSchedule(const char *text, AlarmSchedule &schedule);
void FormatAlarmSchedule(const AlarmSchedule &schedule, char (&text)[kTextBufferSize]);

// The key of alarm index (0-based) with a suffix: "Alarm2", "Alarm2Message".
void AlarmKey(int index, const char *suffix, char (&key)[32]);
