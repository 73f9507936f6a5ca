// The Alarm dialog: one alarm of the list, its time, the days it repeats on,
// its message and sound, and whether it is on.  It edits a copy; the Alarms
// dialog stores it after OK.
#include "alarm_dialog.h"

#include <commctrl.h>

#include <initializer_list>

#include "dialog_position_win.h"
#include "file_browse.h"
#include "resources.h"

namespace {

// The entries of the Repeat list, in order.
enum Repeat { EveryDay, Weekdays, Weekends, ChosenDays, Once, RepeatCount };
static_assert(IDS_REPEAT_ONCE - IDS_REPEAT_EVERY_DAY + 1 == RepeatCount, "one text each");

Repeat RepeatOf(const AlarmRepeat &repeat) {
    if (repeat.Once()) {
        return Once;
    }
    switch (repeat.days) {
    case kEveryDay:
        return EveryDay;
    case kWeekdays:
        return Weekdays;
    case kWeekends:
        return Weekends;
    default:
        return ChosenDays;
    }
}

struct NumberBox {
    int id, upDown, highest;
};
const NumberBox kNumbers[] = {{IDC_ALARM_SET_HOUR, IDC_ALARM_SET_HOUR_UPDOWN, 23},
                              {IDC_ALARM_SET_MINUTE, IDC_ALARM_SET_MINUTE_UPDOWN, 59},
                              {IDC_ALARM_SET_SECOND, IDC_ALARM_SET_SECOND_UPDOWN, 59}};

Repeat ChosenRepeat(HWND dialog) {
    const LRESULT chosen = SendDlgItemMessageA(dialog, IDC_ALARM_REPEAT, CB_GETCURSEL, 0, 0);
    return chosen >= 0 && chosen < RepeatCount ? static_cast<Repeat>(chosen) : EveryDay;
}

// The days' boxes only for chosen days, the date (and its label) only for once.
void EnableRepeatFields(HWND dialog) {
    const Repeat repeat = ChosenRepeat(dialog);
    for (int id = IDC_ALARM_SUNDAY; id <= IDC_ALARM_SATURDAY; ++id) {
        EnableWindow(GetDlgItem(dialog, id), repeat == ChosenDays);
    }
    HWND date = GetDlgItem(dialog, IDC_ALARM_DATE);
    EnableWindow(GetWindow(date, GW_HWNDPREV), repeat == Once);
    EnableWindow(date, repeat == Once);
}

// Today, for a new alarm's date.
AlarmRepeat Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return AlarmRepeat{0, now.wYear, static_cast<uint8_t>(now.wMonth),
                       static_cast<uint8_t>(now.wDay)};
}

INT_PTR OnInitDialog(HWND dialog, const AlarmEdit &edit) {
    PlaceDialog(dialog);
    const uint16_t values[] = {edit.schedule.hour, edit.schedule.minute, edit.schedule.second};
    for (int i = 0; i < 3; ++i) {
        const NumberBox &box = kNumbers[i];
        SendDlgItemMessageA(dialog, box.id, EM_LIMITTEXT, 2, 0);
        SendDlgItemMessageA(dialog, box.upDown, UDM_SETRANGE32, 0, box.highest);
        SendDlgItemMessageA(dialog, box.upDown, UDM_SETPOS32, 0, values[i] % (box.highest + 1));
    }
    for (int i = 0; i < RepeatCount; ++i) {
        char text[kTextBufferSize];
        LoadText(IDS_REPEAT_EVERY_DAY + i, text);
        SendDlgItemMessageA(dialog, IDC_ALARM_REPEAT, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(text));
    }
    const AlarmRepeat &repeat = edit.schedule.repeat;
    SendDlgItemMessageA(dialog, IDC_ALARM_REPEAT, CB_SETCURSEL, RepeatOf(repeat), 0);
    for (int day = 0; day < 7; ++day) {
        const bool ticked = !repeat.Once() && (repeat.days >> day & 1) != 0;
        CheckDlgButton(dialog, IDC_ALARM_SUNDAY + day, ticked ? BST_CHECKED : BST_UNCHECKED);
    }
    char date[kAlarmRepeatSize];
    FormatAlarmRepeat(repeat.Once() ? repeat : Today(), date);
    SetDlgItemTextA(dialog, IDC_ALARM_DATE, date);
    for (int id : {IDC_ALARM_SET_MESSAGE, IDC_ALARM_SET_FILE}) {
        SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, kTextBufferSize - 1, 0);
    }
    SendDlgItemMessageA(dialog, IDC_ALARM_DATE, EM_LIMITTEXT, kAlarmRepeatSize - 1, 0);
    SetDlgItemTextA(dialog, IDC_ALARM_SET_MESSAGE, edit.message);
    SetDlgItemTextA(dialog, IDC_ALARM_SET_FILE, edit.file);
    CheckDlgButton(dialog, IDC_ALARM_SET_ON, edit.schedule.on ? BST_CHECKED : BST_UNCHECKED);
    EnableRepeatFields(dialog);
    return TRUE;
}

// Refused with a message and the field focused.
bool Refuse(HWND dialog, UINT textId, int field) {
    ShowMessageBox(dialog, IDS_CAPTION_ERROR, textId, MB_OK | MB_ICONERROR);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, field)), TRUE);
    return false;
}

bool ReadRepeat(HWND dialog, AlarmRepeat &repeat) {
    const uint8_t named[] = {kEveryDay, kWeekdays, kWeekends};
    const Repeat chosen = ChosenRepeat(dialog);
    repeat = AlarmRepeat{};
    if (chosen < ChosenDays) {
        repeat.days = named[chosen];
        return true;
    }
    if (chosen == Once) {
        char date[kTextBufferSize]{};
        GetDlgItemTextA(dialog, IDC_ALARM_DATE, date, sizeof date);
        return ParseAlarmRepeat(date, repeat) && repeat.Once()
                   ? true
                   : Refuse(dialog, IDS_ALARM_BAD_DATE, IDC_ALARM_DATE);
    }
    repeat.days = 0;
    for (int day = 0; day < 7; ++day) {
        if (IsDlgButtonChecked(dialog, IDC_ALARM_SUNDAY + day) == BST_CHECKED) {
            repeat.days = static_cast<uint8_t>(repeat.days | 1u << day);
        }
    }
    return repeat.days != 0 || Refuse(dialog, IDS_ALARM_NO_DAYS, IDC_ALARM_SUNDAY);
}

// A number typed past its range is taken at the range's end.
uint16_t ReadNumber(HWND dialog, const NumberBox &box) {
    BOOL read = FALSE;
    const UINT value = GetDlgItemInt(dialog, box.id, &read, FALSE);
    return static_cast<uint16_t>(!read                                    ? 0
                                 : value > static_cast<UINT>(box.highest) ? box.highest
                                                                          : value);
}

void OnOk(HWND dialog, AlarmEdit &edit) {
    AlarmRepeat repeat;
    if (!ReadRepeat(dialog, repeat)) {
        return;
    }
    edit.schedule.present = true;
    edit.schedule.repeat = repeat;
    edit.schedule.hour = ReadNumber(dialog, kNumbers[0]);
    edit.schedule.minute = ReadNumber(dialog, kNumbers[1]);
    edit.schedule.second = ReadNumber(dialog, kNumbers[2]);
    edit.schedule.on = IsDlgButtonChecked(dialog, IDC_ALARM_SET_ON) == BST_CHECKED;
    GetDlgItemTextA(dialog, IDC_ALARM_SET_MESSAGE, edit.message, sizeof edit.message);
    GetDlgItemTextA(dialog, IDC_ALARM_SET_FILE, edit.file, sizeof edit.file);
    EndDialog(dialog, 1);
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam, AlarmEdit &edit) {
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOk(dialog, edit);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_ALARM_SET_BROWSE:
        BrowseIntoField(dialog, IDC_ALARM_SET_FILE, Browse::AlarmSound);
        return TRUE;
    case IDC_ALARM_REPEAT:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            EnableRepeatFields(dialog);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK AlarmDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        return OnInitDialog(dialog, *reinterpret_cast<AlarmEdit *>(lParam));
    }
    auto *edit = reinterpret_cast<AlarmEdit *>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (message == WM_COMMAND && edit != nullptr) {
        return OnCommand(dialog, wParam, *edit);
    }
    return FALSE;
}

} // namespace

bool EditAlarm(HWND owner, AlarmEdit &edit) {
    return DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_ALARM), owner, AlarmDialogProc,
                           reinterpret_cast<LPARAM>(&edit)) == 1;
}
