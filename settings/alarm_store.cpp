#include "alarm_store.h"

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

} // namespace

AlarmSchedule ReadAlarmSchedule(int index) {
    AlarmSchedule schedule;
    char text[kTextBufferSize];
    if (index == 0) {
        schedule.present = true;
        schedule.on = ReadFlag(Setting::AlarmEnabled);
        schedule.hour = Stored(Setting::AlarmHour);
        schedule.minute = Stored(Setting::AlarmMinute);
        schedule.second = Stored(Setting::AlarmSecond);
        ReadValue(index, "Days", text);
        ParseAlarmRepeat(text, schedule.repeat); // absent or damaged: every day
        return schedule;
    }
    ReadValue(index, "", text);
    if (!ParseAlarmSchedule(text, schedule)) {
        return AlarmSchedule();
    }
    return schedule;
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
