// An alarm as the Alarms dialog and the status bar show it: its time in the
// user's format and its days in the user's language.
#pragma once

#include "alarm_list.h"

void FormatAlarmClockTime(const AlarmSchedule &schedule, char (&text)[kTextBufferSize]);
// "Every day", "Weekdays", "Weekends", the chosen days' short names, or
// "Once on" the date.
void FormatAlarmDays(const AlarmRepeat &repeat, char (&text)[kTextBufferSize]);
// The locale's full name of a day of the week (0 is Sunday).
void FormatDayName(int dayOfWeek, char (&text)[kTextBufferSize]);
