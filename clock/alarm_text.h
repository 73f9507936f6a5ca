// An alarm as the Alarms dialog and the status bar show it: its time in the
// user's format and its days in the user's language.
#pragma once

#include "alarm_list.h"

void FormatAlarmClockTime(const AlarmSchedule &schedule, char (&text)[kTextBufferSize]);
// "Every day", "Weekdays", "Weekends", the chosen days' short names, or
// "Once on" the date.
void FormatAlarmDays(const AlarmRepeat &repeat, char (&text)[kTextBufferSize]);
// "Next alarm: Tuesday 7:00 AM" for the alarm due at a wall second
// (pass_decision.h), without the seconds when they are 0.
void FormatNextAlarm(int64_t wall, char (&text)[kTextBufferSize]);
