// The list of alarms in the SettingsStore, read with the store's care: an
// absent, damaged or oversized entry is an empty slot (or, for the first
// alarm's days, every day), never a guess.
#pragma once

#include "alarm_list.h"

// Every slot, with one read of the [Alarms] section where the INI file
// allows it: the clock reads them each second.  Without whole, the first
// alarm's time is read only while it is on.
void ReadAlarmSchedules(AlarmSchedule (&schedules)[kMaxAlarms], bool whole = true);
AlarmSchedule ReadAlarmSchedule(int index);
// Clears text, then reads; an oversized text reads as empty.
void ReadAlarmText(int index, AlarmText which, char (&text)[kTextBufferSize]);
void WriteAlarm(int index, const AlarmSchedule &schedule, const char *message, const char *file);
// The slot's keys removed; the first alarm is only switched off.
void DeleteAlarm(int index);
