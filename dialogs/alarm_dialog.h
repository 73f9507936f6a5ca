// The Alarm dialog (template IDD_ALARM): one alarm, edited in place.
#pragma once

#include <windows.h>

#include "alarm_list.h"

struct AlarmEdit {
    AlarmSchedule schedule;
    char message[kTextBufferSize] = {};
    char file[kTextBufferSize] = {};
};

// True after OK, with edit holding what was typed; Cancel leaves it alone.
bool EditAlarm(HWND owner, AlarmEdit &edit);
