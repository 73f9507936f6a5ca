#include "alarm_text.h"

#include <windows.h>

#include <cstring>

#include "resources.h"

namespace {

// The locale counts its day names from Monday.
LCTYPE DayName(int dayOfWeek, bool full) {
    const int fromMonday = (dayOfWeek + 6) % 7;
    return (full ? LOCALE_SDAYNAME1 : LOCALE_SABBREVDAYNAME1) + fromMonday;
}

void FormatTimeOfDay(int32_t secondOfDay, DWORD flags, char (&text)[kTextBufferSize]) {
    SYSTEMTIME time{};
    GetLocalTime(&time);
    time.wHour = static_cast<WORD>(secondOfDay / 3600 % 24);
    time.wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
    time.wSecond = static_cast<WORD>(secondOfDay % 60);
    text[0] = '\0';
    GetTimeFormatA(LOCALE_USER_DEFAULT, flags, &time, nullptr, text, sizeof text);
}

} // namespace

void FormatAlarmClockTime(const AlarmSchedule &schedule, char (&text)[kTextBufferSize]) {
    FormatTimeOfDay(schedule.hour % 24 * 3600 + schedule.minute % 60 * 60 + schedule.second % 60, 0,
                    text);
}

void FormatNextAlarm(int64_t wall, char (&text)[kTextBufferSize]) {
    const int64_t day = wall / 86400;
    const int32_t secondOfDay = static_cast<int32_t>(wall % 86400);
    char name[kTextBufferSize]{}, time[kTextBufferSize], format[kTextBufferSize];
    GetLocaleInfoA(LOCALE_USER_DEFAULT, DayName(static_cast<int>((day + 4) % 7), true), name,
                   sizeof name);
    FormatTimeOfDay(secondOfDay, secondOfDay % 60 == 0 ? TIME_NOSECONDS : 0, time);
    LoadText(IDS_NEXT_ALARM, format);
    wsprintfA(text, format, name, time);
}

void FormatAlarmDays(const AlarmRepeat &repeat, char (&text)[kTextBufferSize]) {
    text[0] = '\0';
    if (repeat.Once()) {
        SYSTEMTIME date{};
        date.wYear = repeat.year;
        date.wMonth = repeat.month;
        date.wDay = repeat.day;
        char day[kTextBufferSize]{};
        GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, day, sizeof day);
        char format[kTextBufferSize];
        LoadText(IDS_ALARM_ONCE_ON, format);
        wsprintfA(text, format, day);
        return;
    }
    const struct {
        uint8_t days;
        UINT name;
    } kNamed[] = {{kEveryDay, IDS_REPEAT_EVERY_DAY},
                  {kWeekdays, IDS_REPEAT_WEEKDAYS},
                  {kWeekends, IDS_REPEAT_WEEKENDS}};
    for (const auto &named : kNamed) {
        if (repeat.days == named.days) {
            LoadText(named.name, text);
            return;
        }
    }
    // Monday first, as a week is read.
    for (int i = 1; i <= 7; ++i) {
        if ((repeat.days >> (i % 7) & 1) != 0) {
            char name[32]{};
            GetLocaleInfoA(LOCALE_USER_DEFAULT, DayName(i % 7, false), name, sizeof name);
            if (text[0] != '\0') {
                lstrcatA(text, " ");
            }
            lstrcatA(text, name);
        }
    }
}
