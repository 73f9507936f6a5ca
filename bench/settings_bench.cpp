// Cost of one GetSettingInt in each backend, and of the list of alarms as
// the clock reads it: the clock and the painted time read several settings
// every second.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "resources.h"
#include "../settings/alarm_store.h"
#include "../settings/settings_store.h"

namespace {

double MicrosecondsPerRead(int reads) {
    LARGE_INTEGER frequency, start, stop;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    int32_t sum = 0;
    for (int i = 0; i < reads; ++i) {
        sum += ReadSetting(Setting::CheckInterval);
    }
    QueryPerformanceCounter(&stop);
    if (sum != 7 * reads) {
        std::printf("unexpected value read\n");
    }
    return 1e6 * static_cast<double>(stop.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart) / reads;
}

// Five alarms stored, the first one off, as the ClockThread reads them.
double MicrosecondsPerAlarmList(int reads) {
    for (int i = 1; i <= 5; ++i) {
        WriteAlarm(i, AlarmSchedule{true, true, 7, 0, 0, AlarmRepeat{}}, "Take the tablets", "");
    }
    LARGE_INTEGER frequency, start, stop;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    int present = 0;
    for (int i = 0; i < reads; ++i) {
        AlarmSchedule schedules[kMaxAlarms];
        ReadAlarmSchedules(schedules, false);
        present += schedules[5].present ? 1 : 0;
    }
    QueryPerformanceCounter(&stop);
    if (present != reads) {
        std::printf("unexpected alarms read\n");
    }
    return 1e6 * static_cast<double>(stop.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart) / reads;
}

} // namespace

int main() {
    InstanceHandle = GetModuleHandleA(nullptr);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::snprintf(ConfigFilePath, sizeof ConfigFilePath, "%sorvanel-bench.ini", temp);
    const int reads = 20000;

    UseRegistry = 0;
    WriteInt(Setting::CheckInterval, 7);
    for (int i = 0; i < 40; ++i) { // a realistic file: every key present
        WriteInt(static_cast<Setting>(i), i == 7 ? 7 : i);
    }
    WriteInt(Setting::CheckInterval, 7);
    std::printf("GetSettingInt, INI file:  %.2f us per read (%d reads)\n",
                MicrosecondsPerRead(reads), reads);
    std::printf("Alarm list, INI file:     %.2f us per pass (%d passes)\n",
                MicrosecondsPerAlarmList(reads / 10), reads / 10);
    DeleteFileA(ConfigFilePath);

    UseRegistry = 1;
    WriteInt(Setting::CheckInterval, 7);
    std::printf("GetSettingInt, registry:  %.2f us per read (%d reads)\n",
                MicrosecondsPerRead(reads), reads);
    std::printf("Alarm list, registry:     %.2f us per pass (%d passes)\n",
                MicrosecondsPerAlarmList(reads / 10), reads / 10);
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Tallowen");
    return 0;
}
