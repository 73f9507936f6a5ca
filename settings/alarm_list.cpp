#include "alarm_list.h"

#include <cstdio>
#include <cstring>

const char kSectionAlarms[] = "Alarms";

namespace {

const char kDayLetters[] = "SMTWTFS";

bool LeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && LeapYear(year) ? 29 : kDays[month - 1];
}

// Exactly `count` decimal digits at text, as a number; -1 if not.
int Digits(const char *text, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return -1;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool ParseDate(const char *text, AlarmRepeat &repeat) {
    if (std::strlen(text) != 10 || text[4] != '-' || text[7] != '-') {
        return false;
    }
    const int year = Digits(text, 4), month = Digits(text + 5, 2), day = Digits(text + 8, 2);
    if (year < 1601 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
        return false;
    }
    repeat = AlarmRepeat{0, static_cast<uint16_t>(year), static_cast<uint8_t>(month),
                         static_cast<uint8_t>(day)};
    return true;
}

bool ParseWeek(const char *text, AlarmRepeat &repeat) {
    if (std::strlen(text) != 7) {
        return false;
    }
    uint8_t days = 0;
    for (int i = 0; i < 7; ++i) {
        if (text[i] == kDayLetters[i]) {
            days = static_cast<uint8_t>(days | 1u << i);
        } else if (text[i] != '-') {
            return false;
        }
    }
    if (days == 0) {
        return false;
    }
    repeat = AlarmRepeat{};
    repeat.days = days;
    return true;
}

} // namespace

bool ParseAlarmRepeat(const char *text, AlarmRepeat &repeat) {
    return ParseWeek(text, repeat) || ParseDate(text, repeat);
}

void FormatAlarmRepeat(const AlarmRepeat &repeat, char (&text)[kAlarmRepeatSize]) {
    if (repeat.Once()) {
        std::snprintf(text, sizeof text, "%04u-%02u-%02u", repeat.year % 10000u,
                      repeat.month % 100u, repeat.day % 100u);
        return;
    }
    for (int i = 0; i < 7; ++i) {
        text[i] = (repeat.days >> i & 1) != 0 ? kDayLetters[i] : '-';
    }
    text[7] = '\0';
}

bool ParseAlarmSchedule(const char *text, AlarmSchedule &schedule) {
    // "1,07:00:00," is eleven characters; the repeat follows.
    if (std::strlen(text) < 12 || (text[0] != '0' && text[0] != '1') || text[1] != ',' ||
        text[4] != ':' || text[7] != ':' || text[10] != ',') {
        return false;
    }
    const int hour = Digits(text + 2, 2), minute = Digits(text + 5, 2),
              second = Digits(text + 8, 2);
    AlarmRepeat repeat;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        !ParseAlarmRepeat(text + 11, repeat)) {
        return false;
    }
    schedule.present = true;
    schedule.on = text[0] == '1';
    schedule.hour = static_cast<uint16_t>(hour);
    schedule.minute = static_cast<uint16_t>(minute);
    schedule.second = static_cast<uint16_t>(second);
    schedule.repeat = repeat;
    return true;
}

void FormatAlarmSchedule(const AlarmSchedule &schedule, char (&text)[kTextBufferSize]) {
    char repeat[kAlarmRepeatSize];
    FormatAlarmRepeat(schedule.repeat, repeat);
    std::snprintf(text, sizeof text, "%c,%02u:%02u:%02u,%s", schedule.on ? '1' : '0',
                  schedule.hour % 24u, schedule.minute % 60u, schedule.second % 60u, repeat);
}

void AlarmKey(int index, const char *suffix, char (&key)[32]) {
    std::snprintf(key, sizeof key, "Alarm%d%s", index + 1, suffix);
}
