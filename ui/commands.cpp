#include "commands.h"

#include "bars.h"
#include "clock_thread.h"
#include "config_removal.h"
#include "dialogs.h"
#include "menu.h"
#include "resources.h"
#include "settings_store.h"
#include "time_display.h"
#include "toggles.h"
#include "tray.h"
#include "window_frame.h"

namespace {

// --- Message boxes --------------------------------------------------------

bool AskYesNo(HWND owner, UINT textId) {
    return ShowMessageBox(owner, IDS_CAPTION_QUESTION, textId, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void ShowInformation(HWND owner, UINT textId) {
    ShowMessageBox(owner, IDS_CAPTION_INFORMATION, textId, MB_OK | MB_ICONINFORMATION);
}

void ShowError(HWND owner, UINT textId) {
    ShowMessageBox(owner, IDS_CAPTION_ERROR, textId, MB_OK | MB_ICONERROR);
}

// --- Handlers -------------------------------------------------------------

void SpeakTime(HWND) {
    RaiseRequest(SpeakTimeRequested);
}

void ReadClipboard(HWND) {
    RaiseRequest(ReadClipboardRequested);
}

void StopSpeaking(HWND) {
    RaiseRequest(StopSpeakingRequested);
}

// The ClockThread holds the clipboard request until the reading has been
// spoken: pressed again meanwhile, the hot key stops it.
void ReadOrStopClipboard(HWND window) {
    if (RequestRaised(ReadClipboardRequested)) {
        StopSpeaking(window);
    } else {
        ReadClipboard(window);
    }
}

void RestartSpeech(HWND) {
    RaiseRequest(RestartSpeechRequested);
}

void About(HWND window) {
    ShowMessageBox(window, IDS_ABOUT_CAPTION, IDS_ABOUT_TEXT, MB_OK | MB_ICONINFORMATION);
}

// From anywhere on the desktop: no owner, and in front of whatever has focus.
void AboutFromHotKey(HWND) {
    ShowMessageBox(nullptr, IDS_ABOUT_CAPTION, IDS_ABOUT_TEXT,
                   MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
}

// Stored settings taken at once: the ClockThread's speech settings, and
// the hot keys following RegisterHotkeys.
void TakeNewSettings(HWND window, bool repaint) {
    RaiseRequest(ApplySpeechSettingsRequested);
    if (repaint) {
        PostMessageA(window, WM_TIMER, 0, 0);
    }
    if (ReadFlag(Setting::RegisterHotkeys)) {
        RegisterHotkeys(window);
    } else {
        UnregisterHotkeys(window);
    }
}

// Apply counts at once, as OK does; Cancel afterwards undoes nothing.
void TakeAppliedSettings(HWND window) {
    TakeNewSettings(window, true);
}

// After OK the new settings are taken; a cancelled dialog changes nothing.
bool RunConfiguration(HWND owner, HWND window) {
    if (ShowConfigurationDialog(owner, TakeAppliedSettings, window) == 0) {
        return false;
    }
    TakeNewSettings(window, owner != nullptr);
    return true;
}

void Configure(HWND window) {
    RunConfiguration(window, window);
}

void ConfigureFromHotKey(HWND window) {
    RunConfiguration(nullptr, window);
}

// A larger font needs a taller line between the bars.
void Font(HWND window) {
    ChooseDisplayFont(window);
    KeepRoomForTime(window);
}

void SetIniPath(HWND window) {
    ShowSetIniPathDialog(window);
}

void Alarms(HWND window) {
    ShowAlarmsDialog(window);
}

// Every element back to its default, whether the stored configuration could
// be removed or not.  Writes no setting.
void ResetMainWindow(HWND window) {
    RegisterHotkeys(window);
    ResetDisplayAppearance();
    HMENU menu = CurrentMenuBar(window);
    RestoreStartupStyle(window);
    ResetMenuBarToggles(window);
    DetachedMenuBar = nullptr;
    SetMenu(window, menu);
    ResetSystemMenuToggles(window);
    RestoreStartupPlacement(window);
    // The white background everywhere, not only where the time is redrawn.
    InvalidateRect(window, nullptr, TRUE);
    PostMessageA(window, WM_TIMER, 0, 0);
}

void ResetConfiguration(HWND window) {
    if (!AskYesNo(window, IDS_CONFIRM_RESET)) {
        return;
    }
    const uint32_t result = DeleteConfiguration();
    if (result == 0) {
        RaiseRequest(RestartSpeechRequested);
        ShowInformation(window, IDS_RESET_DONE);
    } else {
        ShowError(window, result == ERROR_FILE_NOT_FOUND ? IDS_RESET_NOTHING : IDS_RESET_FAILED);
    }
    ResetMainWindow(window);
}

void EmptyClipboardCommand(HWND window) {
    if (!AskYesNo(window, IDS_CONFIRM_EMPTY_CLIPBOARD)) {
        return;
    }
    if (!OpenClipboard(window)) {
        ShowError(window, IDS_CLIPBOARD_OPEN_FAILED);
        return;
    }
    if (EmptyClipboard()) {
        ShowInformation(window, IDS_CLIPBOARD_EMPTIED);
    } else {
        ShowError(window, IDS_CLIPBOARD_EMPTY_FAILED);
    }
    CloseClipboard();
}

void Exit(HWND window) {
    DestroyWindow(window);
    RemoveTrayIcon(window);
}

void ToggleTray(HWND window) {
    if (IsWindowVisible(window)) {
        HideToTray(window);
    } else {
        RestoreFromTray(window);
    }
}

// --- Tables ---------------------------------------------------------------

struct Command {
    UINT id;
    void (*run)(HWND window);
};

const Command kCommands[] = {
    {ID_CONFIGURE, Configure},
    {ID_RESET_CONFIGURATION, ResetConfiguration},
    {ID_SET_INI_PATH, SetIniPath},
    {ID_ALARMS, Alarms},
    {ID_SPEAK_TIME, SpeakTime},
    {ID_STOP_SPEAKING, StopSpeaking},
    {ID_MINIMIZE_TO_TRAY, HideToTray},
    {ID_RESTORE_WINDOW, RestoreFromTray},
    {ID_RESTART_SPEECH, RestartSpeech},
    {ID_EXIT, Exit},
    {ID_READ_CLIPBOARD, ReadClipboard},
    {ID_EMPTY_CLIPBOARD, EmptyClipboardCommand},
    {ID_FONT, Font},
    {ID_COLOR, ChooseBackgroundColor},
    {ID_ABOUT, About},
};

struct HotKey {
    int id;
    UINT modifiers;
    UINT key;
    void (*run)(HWND window);
};

const HotKey kHotKeys[] = {
    {IDH_CONFIGURE, MOD_ALT, VK_F7, ConfigureFromHotKey},
    {IDH_ABOUT, MOD_ALT, VK_F8, AboutFromHotKey},
    {IDH_TOGGLE_TRAY, MOD_ALT, VK_F11, ToggleTray},
    {IDH_SPEAK_TIME, MOD_ALT, VK_F12, SpeakTime},
    {IDH_READ_CLIPBOARD, MOD_ALT | MOD_CONTROL | MOD_SHIFT, 'R', ReadOrStopClipboard},
};

template <typename Row, size_t N> const Row *FindRow(const Row (&rows)[N], UINT id) {
    for (const Row &row : rows) {
        if (static_cast<UINT>(row.id) == id) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace

LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    // The system menu's two come only as WM_SYSCOMMAND, between the ranges.
    if ((id >= ID_FIRST_MENU_COMMAND && id <= ID_LAST_MENU_COMMAND) ||
        (id >= ID_FIRST_OWN_COMMAND && id <= ID_LAST_OWN_COMMAND)) {
        if (const Command *command = FindRow(kCommands, id)) {
            command->run(window);
            return 0;
        }
        if (RunToggle(window, id, false)) {
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT OnSysCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (RunToggle(window, LOWORD(wParam), true)) {
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT OnHotKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const HotKey *hotKey = FindRow(kHotKeys, static_cast<UINT>(wParam))) {
        hotKey->run(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void OnInitMenuPopup(HWND window) {
    HMENU menu = CurrentMenuBar(window);
    const UINT state = IsClipboardFormatAvailable(CF_TEXT) ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(menu, ID_READ_CLIPBOARD, MF_BYCOMMAND | state);
    EnableMenuItem(menu, ID_EMPTY_CLIPBOARD, MF_BYCOMMAND | state);
}

void RegisterHotkeys(HWND window) {
    for (const HotKey &hotKey : kHotKeys) {
        RegisterHotKey(window, hotKey.id, hotKey.modifiers, hotKey.key);
    }
}

void UnregisterHotkeys(HWND window) {
    for (const HotKey &hotKey : kHotKeys) {
        UnregisterHotKey(window, hotKey.id);
    }
}

void ReportSettingsNotSaved(HWND window) {
    char status[kTextBufferSize];
    LoadText(IDS_SETTINGS_NOT_SAVED_STATUS, status);
    if (HWND bar = StatusBar.load()) {
        SetWindowTextA(bar, status);
    }
    char location[kTextBufferSize]{};
    if (UseRegistry != 0) {
        wsprintfA(location, "HKEY_CURRENT_USER\\%s", kProductKeyPath);
    } else {
        lstrcpynA(location, ConfigFilePath, sizeof location);
    }
    // Owned only by a window the user can see.
    ShowMessageBox(IsWindowVisible(window) ? window : nullptr, IDS_CAPTION_WARNING,
                   IDS_SETTINGS_NOT_SAVED, MB_OK | MB_ICONWARNING, location);
}
