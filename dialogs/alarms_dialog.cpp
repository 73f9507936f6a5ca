// The Alarms dialog: the list of alarms, one line each (time, days, message,
// on or off), with Add, Edit, Delete and On/Off.  Every change is stored at
// once; the ClockThread reads the list afresh at each pass.
#include "dialogs.h"

#include "alarm_dialog.h"
#include "alarm_store.h"
#include "alarm_text.h"
#include "dialog_position_win.h"
#include "resources.h"

namespace {

HWND List(HWND dialog) {
    return GetDlgItem(dialog, IDC_ALARM_LIST);
}

// The slot of the selected line, or -1.
int SelectedSlot(HWND dialog) {
    const LRESULT line = SendMessageA(List(dialog), LB_GETCURSEL, 0, 0);
    return line == LB_ERR ? -1
                          : static_cast<int>(SendMessageA(List(dialog), LB_GETITEMDATA, line, 0));
}

void FormatLine(int slot, const AlarmSchedule &schedule, char (&line)[4 * kTextBufferSize]) {
    char time[kTextBufferSize], days[kTextBufferSize], message[kTextBufferSize],
        state[kTextBufferSize];
    FormatAlarmClockTime(schedule, time);
    FormatAlarmDays(schedule.repeat, days);
    ReadAlarmText(slot, AlarmText::Message, message);
    LoadText(schedule.on ? IDS_ALARM_ON : IDS_ALARM_OFF, state);
    wsprintfA(line, "%s\t%s\t%s\t%s", time, days, message, state);
}

// The list as stored, with the line of slot selected (or the first).
void FillList(HWND dialog, int selectSlot) {
    HWND list = List(dialog);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    LRESULT selected = 0;
    AlarmSchedule schedules[kMaxAlarms];
    ReadAlarmSchedules(schedules);
    for (int slot = 0; slot < kMaxAlarms; ++slot) {
        if (!schedules[slot].present) {
            continue;
        }
        char line[4 * kTextBufferSize];
        FormatLine(slot, schedules[slot], line);
        const LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
        SendMessageA(list, LB_SETITEMDATA, at, slot);
        if (slot == selectSlot) {
            selected = at;
        }
    }
    SendMessageA(list, LB_SETCURSEL, selected, 0);
}

AlarmEdit StoredAlarm(int slot) {
    AlarmEdit edit;
    edit.schedule = ReadAlarmSchedule(slot);
    ReadAlarmText(slot, AlarmText::Message, edit.message);
    ReadAlarmText(slot, AlarmText::File, edit.file);
    return edit;
}

void Edit(HWND dialog, int slot, AlarmEdit edit) {
    if (EditAlarm(dialog, edit)) {
        WriteAlarm(slot, edit.schedule, edit.message, edit.file);
        FillList(dialog, slot);
    }
}

void Add(HWND dialog) {
    AlarmSchedule schedules[kMaxAlarms];
    ReadAlarmSchedules(schedules);
    int slot = 1;
    while (slot < kMaxAlarms && schedules[slot].present) {
        ++slot;
    }
    if (slot == kMaxAlarms) {
        ShowMessageBox(dialog, IDS_CAPTION_INFORMATION, IDS_ALARM_LIST_FULL,
                       MB_OK | MB_ICONINFORMATION);
        return;
    }
    AlarmEdit edit;
    edit.schedule.on = true;
    Edit(dialog, slot, edit);
}

void EditSelected(HWND dialog) {
    const int slot = SelectedSlot(dialog);
    if (slot >= 0) {
        Edit(dialog, slot, StoredAlarm(slot));
    }
}

// The first alarm is the Configuration dialog's: deleted, it is switched off.
void DeleteSelected(HWND dialog) {
    const int slot = SelectedSlot(dialog);
    if (slot < 0) {
        return;
    }
    char time[kTextBufferSize];
    FormatAlarmClockTime(ReadAlarmSchedule(slot), time);
    if (ShowMessageBox(dialog, IDS_CAPTION_QUESTION, IDS_CONFIRM_DELETE_ALARM,
                       MB_YESNO | MB_ICONQUESTION, time) != IDYES) {
        return;
    }
    DeleteAlarm(slot);
    FillList(dialog, slot);
}

void ToggleSelected(HWND dialog) {
    const int slot = SelectedSlot(dialog);
    if (slot < 0) {
        return;
    }
    AlarmEdit edit = StoredAlarm(slot);
    edit.schedule.on = !edit.schedule.on;
    WriteAlarm(slot, edit.schedule, edit.message, edit.file);
    FillList(dialog, slot);
}

INT_PTR OnInitDialog(HWND dialog) {
    PlaceDialog(dialog);
    // Columns for time, days and message; the state follows.
    const int stops[] = {60, 130, 210};
    SendMessageA(List(dialog), LB_SETTABSTOPS, 3, reinterpret_cast<LPARAM>(stops));
    FillList(dialog, 0);
    return TRUE;
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDOK: // Enter: on the list it edits the selected alarm
        if (GetFocus() == List(dialog)) {
            EditSelected(dialog);
        }
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_ALARM_ADD:
        Add(dialog);
        return TRUE;
    case IDC_ALARM_EDIT:
        EditSelected(dialog);
        return TRUE;
    case IDC_ALARM_DELETE:
        DeleteSelected(dialog);
        return TRUE;
    case IDC_ALARM_TOGGLE:
        ToggleSelected(dialog);
        return TRUE;
    case IDC_ALARM_LIST:
        if (HIWORD(wParam) == LBN_DBLCLK) {
            EditSelected(dialog);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

// Keys on the list: Del deletes after a question, Space turns on or off.
INT_PTR OnListKey(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case VK_DELETE:
        DeleteSelected(dialog);
        return -2;
    case VK_SPACE:
        ToggleSelected(dialog);
        return -2;
    default:
        return -1;
    }
}

INT_PTR CALLBACK AlarmsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, wParam);
    case WM_VKEYTOITEM:
        return OnListKey(dialog, wParam);
    case WM_CHARTOITEM: // the space is the key's; other letters search the list
        return LOWORD(wParam) == ' ' ? -2 : -1;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR ShowAlarmsDialog(HWND owner) {
    return DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_ALARMS), owner, AlarmsDialogProc,
                           0);
}
