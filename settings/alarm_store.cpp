#include "alarm_store.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "settings_store.h"

namespace {

const char *const kTextSuffix[] = {"Message", "File"};
const Setting kFirstAlarmText[] = {Setting::AlarmMessage, Setting::AlarmFile};

uint16_t Stored(Setting id) {
    return static_cast<uint16_t>(static_cast<uint32_t>(ReadSetting(id)));
}

void ReadValue(int index, const char *suffix, char (&text)[kTextBufferSize]) {
    char key[32];
    AlarmKey(index, suffix, key);
    text[0] = '\0';
    // A text that fills the buffer may have been cut (an INI file cuts
    // silently): it is read as absent, never as its beginning.
    if (GetSettingString(kSectionAlarms, key, "", text, sizeof text, ConfigFilePath) >=
        sizeof text - 1) {
        text[0] = '\0';
    }
}

void WriteValue(int index, const char *suffix, const char *text) {
    char key[32];
    AlarmKey(index, suffix, key);
    WriteSettingString(kSectionAlarms, key, text, ConfigFilePath);
}

void DeleteValue(int index, const char *suffix) {
    char key[32];
    AlarmKey(index, suffix, key);
    DeleteSettingValue(kSectionAlarms, key, ConfigFilePath);
}

using ScheduleTexts = char[kMaxAlarms][kTextBufferSize];

const char *ScheduleSuffix(int index) {
    return index == 0 ? "Days" : "";
}

// The whole section at once; false when it did not fit, or the settings are
// in the registry.  The first of two equal keys counts, as for one key's
// read, and a value as long as a read's buffer is absent, as in ReadValue.
bool ReadIniSection(ScheduleTexts &texts) {
    if (UseRegistry != 0) {
        return false;
    }
    std::vector<char> section(32768);
    const DWORD size = static_cast<DWORD>(section.size());
    if (GetPrivateProfileSectionA(kSectionAlarms, section.data(), size, ConfigFilePath) >=
        size - 2) {
        return false;
    }
    bool seen[kMaxAlarms]{};
    for (const char *entry = section.data(); *entry != '\0'; entry += std::strlen(entry) + 1) {
        const char *equals = std::strchr(entry, '=');
        if (equals == nullptr || equals - entry >= 32) {
            continue;
        }
        char name[32]{};
        std::memcpy(name, entry, static_cast<size_t>(equals - entry));
        for (int i = 0; i < kMaxAlarms; ++i) {
            char key[32];
            AlarmKey(i, ScheduleSuffix(i), key);
            if (!seen[i] && lstrcmpiA(name, key) == 0) {
                seen[i] = true;
                if (std::strlen(equals + 1) < kTextBufferSize - 1) {
                    lstrcpynA(texts[i], equals + 1, kTextBufferSize);
                }
            }
        }
    }
    return true;
}

} // namespace

void ReadAlarmSchedules(AlarmSchedule (&schedules)[kMaxAlarms], bool whole) {
    ScheduleTexts texts{};
    if (!ReadIniSection(texts)) {
        for (int i = 0; i < kMaxAlarms; ++i) {
            ReadValue(i, ScheduleSuffix(i), texts[i]);
        }
    }
    AlarmSchedule &first = schedules[0];
    first = AlarmSchedule();
    first.present = true;
    first.on = ReadFlag(Setting::AlarmEnabled);
    if (first.on || whole) {
        first.hour = Stored(Setting::AlarmHour);
        first.minute = Stored(Setting::AlarmMinute);
        first.second = Stored(Setting::AlarmSecond);
    }
    ParseAlarmRepeat(texts[0], first.repeat); // absent or damaged: every day
    for (int i = 1; i < kMaxAlarms; ++i) {
        schedules[i] = AlarmSchedule();
        if (!ParseAlarmSchedule(texts[i], schedules[i])) {
            schedules[i] = AlarmSchedule();
        }
    }
}

AlarmSchedule ReadAlarmSchedule(int index) {
    AlarmSchedule schedules[kMaxAlarms];
    ReadAlarmSchedules(schedules);
    return schedules[index];
}

void ReadAlarmText(int index, AlarmText which, char (&text)[kTextBufferSize]) {
    const int kind = static_cast<int>(which);
    if (index == 0) {
        ReadText(kFirstAlarmText[kind], text);
        return;
    }
    ReadValue(index, kTextSuffix[kind], text);
}

void WriteAlarm(int index, const AlarmSchedule &schedule, const char *message, const char *file) {
    char text[kTextBufferSize];
    if (index == 0) {
        WriteFlag(Setting::AlarmEnabled, schedule.on);
        WriteInt(Setting::AlarmHour, schedule.hour);
        WriteInt(Setting::AlarmMinute, schedule.minute);
        WriteInt(Setting::AlarmSecond, schedule.second);
        WriteText(Setting::AlarmMessage, message);
        WriteText(Setting::AlarmFile, file);
        char days[kAlarmRepeatSize];
        FormatAlarmRepeat(schedule.repeat, days);
        WriteValue(index, "Days", days);
        return;
    }
    // The schedule last: a slot is only read once its texts are there.
    WriteValue(index, kTextSuffix[0], message);
    WriteValue(index, kTextSuffix[1], file);
    FormatAlarmSchedule(schedule, text);
    WriteValue(index, "", text);
}

void DeleteAlarm(int index) {
    if (index == 0) {
        WriteFlag(Setting::AlarmEnabled, false);
        return;
    }
    DeleteValue(index, "");
    DeleteValue(index, kTextSuffix[0]);
    DeleteValue(index, kTextSuffix[1]);
}
