// The Configuration dialog: every announcement, speech, alarm and quiet-hour
// setting.  It works on the SettingsStore alone; whoever opened it tells the
// ClockThread about a change.
#include "dialogs.h"

#include <commctrl.h>
#include <mmsystem.h>

#include <cstring>

#include "configuration_controls.h"
#include "dialog_position_win.h"
#include "engine.h"
#include "file_browse.h"
#include "resources.h"
#include "settings_store.h"

namespace {

constexpr int kTextLimit = kTextBufferSize - 1;
static_assert(IDS_SPEAKER_LAST - IDS_SPEAKER_FIRST + 1 == kEngineSpeakerCount,
              "one name in the string table for each of the engine's speakers");

LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

// The engine's lowest and highest speaking rate.  The query needs no engine
// instance, so it works before the ClockThread exists.
RateRange EngineRateRange() {
    int32_t lowest = 0;
    int32_t highest = 0;
    EngineLibrary engine;
    if (LoadEngineLibrary(engine) == 0) {
        unsigned char record[kEngineCapsSize]{};
        engine.getCaps(record);
        std::memcpy(&lowest, record + kEngineCapsMinRateOffset, sizeof lowest);
        std::memcpy(&highest, record + kEngineCapsMaxRateOffset, sizeof highest);
    }
    return UsableRateRange(lowest, highest, ReadSetting(Setting::Rate));
}

// How far a number box reaches: the engine's rates for the rate, else its row's.
RateRange ReachOf(const ControlBinding &row, RateRange rate) {
    return row.kind == ControlKind::Rate ? rate : RateRange{row.minimum, row.maximum};
}

// The system default device first, then device n at position n + 1, so a
// device whose capabilities cannot be read still takes its place, unnamed.
void FillDeviceList(HWND dialog, int id) {
    char systemDefault[kTextBufferSize];
    LoadText(IDS_DEFAULT_AUDIO_DEVICE, systemDefault);
    SendItem(dialog, id, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(systemDefault));
    for (UINT n = 0; n < waveOutGetNumDevs(); ++n) {
        WAVEOUTCAPSA caps{};
        waveOutGetDevCapsA(n, &caps, sizeof caps);
        char name[sizeof caps.szPname + 1]{};
        std::memcpy(name, caps.szPname, sizeof caps.szPname);
        SendItem(dialog, id, CB_INSERTSTRING, n + 1, reinterpret_cast<LPARAM>(name));
    }
}

// Entry n is string first + n.
void FillStringList(HWND dialog, int id, UINT first, UINT last) {
    for (UINT n = 0; first + n <= last; ++n) {
        char name[kTextBufferSize];
        LoadText(first + n, name);
        SendItem(dialog, id, CB_INSERTSTRING, n, reinterpret_cast<LPARAM>(name));
    }
}

// Limits, ranges and list entries, before any value is loaded.
void PrepareControl(HWND dialog, const ControlBinding &row, RateRange rate) {
    switch (row.kind) {
    case ControlKind::Text:
        SendItem(dialog, row.controlId, EM_LIMITTEXT, kTextLimit);
        break;
    case ControlKind::Number:
    case ControlKind::Rate: {
        const RateRange reach = ReachOf(row, rate);
        SendItem(dialog, row.upDownId, UDM_SETRANGE32, reach.lowest, reach.highest);
        break;
    }
    case ControlKind::Trackbar:
        SendItem(dialog, row.controlId, TBM_SETRANGE, FALSE, MAKELPARAM(row.minimum, row.maximum));
        SendItem(dialog, row.controlId, TBM_SETPAGESIZE, 0, 10);
        break;
    case ControlKind::SpeakerList:
        FillStringList(dialog, row.controlId, IDS_SPEAKER_FIRST, IDS_SPEAKER_LAST);
        break;
    case ControlKind::OutputList:
        FillStringList(dialog, row.controlId, IDS_SPEECH_OUTPUT_FIRST, IDS_SPEECH_OUTPUT_LAST);
        break;
    case ControlKind::ChimeList:
        FillStringList(dialog, row.controlId, IDS_CHIME_NONE, IDS_CHIME_INSTEAD);
        break;
    case ControlKind::DeviceList:
        FillDeviceList(dialog, row.controlId);
        break;
    case ControlKind::Check:
        break;
    }
}

// A missing key shows the catalogue's default.
void LoadControl(HWND dialog, const ControlBinding &row, RateRange rate) {
    if (row.kind == ControlKind::Text) {
        char text[kTextBufferSize];
        ReadText(row.setting, text);
        SetDlgItemTextA(dialog, row.controlId, text);
        return;
    }
    const int32_t value = ReadSetting(row.setting);
    const auto entries = [&] {
        return static_cast<int32_t>(SendItem(dialog, row.controlId, CB_GETCOUNT));
    };
    switch (row.kind) {
    case ControlKind::Check:
        CheckDlgButton(dialog, row.controlId, value != 0 ? BST_CHECKED : BST_UNCHECKED);
        break;
    case ControlKind::Number:
    case ControlKind::Rate: {
        const RateRange reach = ReachOf(row, rate);
        SendItem(dialog, row.upDownId, UDM_SETPOS32, 0,
                 ClampToRange(value, reach.lowest, reach.highest));
        break;
    }
    case ControlKind::Trackbar:
        SendItem(dialog, row.controlId, TBM_SETPOS, TRUE,
                 ClampToRange(value, row.minimum, row.maximum));
        break;
    case ControlKind::SpeakerList:
    case ControlKind::OutputList:
    case ControlKind::ChimeList:
        SendItem(dialog, row.controlId, CB_SETCURSEL,
                 static_cast<WPARAM>(ListSelection(value, entries())));
        break;
    case ControlKind::DeviceList:
        SendItem(dialog, row.controlId, CB_SETCURSEL,
                 static_cast<WPARAM>(DeviceListSelection(value, entries() - 1)));
        break;
    case ControlKind::Text:
        break;
    }
}

// What a control holds now, stored as "1"/"0", the text, or "%d".
void SaveControl(HWND dialog, const ControlBinding &row) {
    switch (row.kind) {
    case ControlKind::Check:
        WriteFlag(row.setting, IsDlgButtonChecked(dialog, row.controlId) == BST_CHECKED);
        return;
    case ControlKind::Text: {
        char text[kTextBufferSize]{};
        GetDlgItemTextA(dialog, row.controlId, text, sizeof text);
        WriteText(row.setting, text);
        return;
    }
    case ControlKind::Number:
    case ControlKind::Rate: {
        // A typed number outside the range is not taken: the up-down's last
        // valid position is, and its error flag stays out of the stored value.
        BOOL invalid = FALSE;
        WriteInt(row.setting, static_cast<int32_t>(SendItem(dialog, row.upDownId, UDM_GETPOS32, 0,
                                                            reinterpret_cast<LPARAM>(&invalid))));
        return;
    }
    case ControlKind::Trackbar:
        WriteInt(row.setting, static_cast<int32_t>(SendItem(dialog, row.controlId, TBM_GETPOS)));
        return;
    case ControlKind::SpeakerList:
    case ControlKind::OutputList:
    case ControlKind::ChimeList:
        // CB_ERR, -1, when nothing is selected.
        WriteInt(row.setting, static_cast<int32_t>(SendItem(dialog, row.controlId, CB_GETCURSEL)));
        return;
    case ControlKind::DeviceList: {
        // A stored device that is missing now keeps its number for when it returns.
        const auto selected = static_cast<int32_t>(SendItem(dialog, row.controlId, CB_GETCURSEL));
        if (selected != CB_ERR) {
            WriteInt(row.setting, selected - 1);
        }
        return;
    }
    }
}

bool IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

// The alarm's and the quiet hours' values are written only while their box is
// checked; unchecking keeps what was stored.
void SaveAll(HWND dialog) {
    for (size_t i = 0; i < kConfigurationControlCount; ++i) {
        const ControlBinding &row = kConfigurationControls[i];
        if ((row.group == ControlGroup::Alarm && !IsChecked(dialog, IDC_ALARM_ENABLED)) ||
            (row.group == ControlGroup::Quiet && !IsChecked(dialog, IDC_QUIET_MODE))) {
            continue;
        }
        SaveControl(dialog, row);
    }
}

// Each field's label goes with it, so that its letter never sends the focus
// past a disabled field to whatever follows.
void EnableRange(HWND dialog, int first, int last, bool enable) {
    for (int id = first; id <= last; ++id) {
        HWND control = GetDlgItem(dialog, id);
        EnableWindow(control, enable ? TRUE : FALSE);
        HWND label = GetWindow(control, GW_HWNDPREV);
        if (label != nullptr && GetDlgCtrlID(label) == IDC_STATIC_LABEL) {
            EnableWindow(label, enable ? TRUE : FALSE);
        }
    }
}

void FollowGroupBoxes(HWND dialog) {
    EnableRange(dialog, IDC_ALARM_FIRST, IDC_ALARM_LAST, IsChecked(dialog, IDC_ALARM_ENABLED));
    EnableRange(dialog, IDC_QUIET_FIRST, IDC_QUIET_LAST, IsChecked(dialog, IDC_QUIET_MODE));
}

// A screen reader or speech service speaks on a device of its own; the
// stored one still plays the alarm's sound file.
void FollowSpeechOutput(HWND dialog) {
    const bool ownVoices = SendItem(dialog, IDC_SPEECH_OUTPUT, CB_GETCURSEL) != 1;
    EnableRange(dialog, IDC_AUDIO_DEVICE, IDC_OWN_DEVICE, ownVoices);
}

// Quiet Mode with two equal hours silences every interval announcement: the
// note under the hours says so while that is what OK would store.
void FollowQuietHours(HWND dialog) {
    const bool alwaysQuiet = IsChecked(dialog, IDC_QUIET_MODE) &&
                             SendItem(dialog, IDC_QUIET_AFTER_HOUR_UPDOWN, UDM_GETPOS32) ==
                                 SendItem(dialog, IDC_QUIET_BEFORE_HOUR_UPDOWN, UDM_GETPOS32);
    ShowWindow(GetDlgItem(dialog, IDC_EQUAL_QUIET_HOURS), alwaysQuiet ? SW_SHOWNA : SW_HIDE);
}

// The dialog while it is open.  Enter and Alt+F7 still reach the main window
// then, and a second dialog's OK would write every setting over what the
// first one saves; the open one is brought forward instead.
HWND OpenDialog = nullptr;
// What the opener asked to be told after Apply, for the open dialog.
void (*AppliedHandler)(HWND) = nullptr;
HWND AppliedWindow = nullptr;

INT_PTR OnInitDialog(HWND dialog) {
    OpenDialog = dialog;
    PlaceDialog(dialog);
    const RateRange rate = EngineRateRange();
    for (size_t i = 0; i < kConfigurationControlCount; ++i) {
        PrepareControl(dialog, kConfigurationControls[i], rate);
    }
    for (size_t i = 0; i < kConfigurationControlCount; ++i) {
        LoadControl(dialog, kConfigurationControls[i], rate);
    }
    FollowGroupBoxes(dialog);
    FollowSpeechOutput(dialog);
    char note[kTextBufferSize];
    LoadText(IDS_EQUAL_QUIET_HOURS, note);
    SetDlgItemTextA(dialog, IDC_EQUAL_QUIET_HOURS, note);
    FollowQuietHours(dialog);
    return TRUE; // the platform focuses the first tab stop
}

INT_PTR OnCommand(HWND dialog, int id) {
    switch (id) {
    case IDOK:
        SaveAll(dialog);
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_APPLY:
        SaveAll(dialog);
        if (AppliedHandler != nullptr) {
            AppliedHandler(AppliedWindow);
        }
        return TRUE;
    case IDC_ALARM_ENABLED:
    case IDC_QUIET_MODE:
        FollowGroupBoxes(dialog);
        FollowQuietHours(dialog);
        return TRUE;
    case IDC_SPEECH_OUTPUT:
        FollowSpeechOutput(dialog);
        return TRUE;
    case IDC_QUIET_AFTER_HOUR: // a changed hour, typed or from its up-down
    case IDC_QUIET_BEFORE_HOUR:
        FollowQuietHours(dialog);
        return TRUE;
    case IDC_BROWSE_DICTIONARY:
        BrowseIntoField(dialog, IDC_USER_DICTIONARY, Browse::Dictionary);
        return TRUE;
    case IDC_BROWSE_AUDIO:
        BrowseIntoField(dialog, IDC_ALARM_FILE, Browse::AlarmSound);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK ConfigurationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR ShowConfigurationDialog(HWND owner, void (*applied)(HWND), HWND mainWindow) {
    if (OpenDialog != nullptr) {
        SetForegroundWindow(OpenDialog);
        return 0;
    }
    AppliedHandler = applied;
    AppliedWindow = mainWindow;
    const INT_PTR result = DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_CONFIGURATION),
                                           owner, ConfigurationDialogProc, 0);
    OpenDialog = nullptr;
    return result;
}
