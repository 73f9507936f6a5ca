// The main window procedure: one case per message, one handler per command.
#include "main_window.h"

#include <cstring>

#include "../clock/clock_thread.h"
#include "../res/resources.h"
#include "../settings/settings_store.h"
#include "tray.h"

const char kMainWindowClass[] = "Orvanel";

std::atomic<HWND> TimeDisplay{nullptr};
std::atomic<HWND> Toolbar{nullptr};
std::atomic<HWND> StatusBar{nullptr};

WINDOWPLACEMENT StartupPlacement;

namespace {

struct HotKey {
    int id;
    UINT modifiers;
    UINT key;
};

// Registered in this order; a combination another program holds is simply
// unavailable.  Alt+F7 (IDH_CONFIGURE) joins once the Configuration dialog
// exists: until then it would only take the key from other programs.
constexpr HotKey kHotKeys[] = {
    {IDH_ABOUT, MOD_ALT, VK_F8},
    {IDH_TOGGLE_TRAY, MOD_ALT, VK_F11},
    {IDH_SPEAK_TIME, MOD_ALT, VK_F12},
    {IDH_READ_CLIPBOARD, MOD_ALT | MOD_CONTROL | MOD_SHIFT, 'R'},
};

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

void RequestFromClockThread(std::atomic<int32_t> &flag) {
    RaiseRequest(flag);
    WakeClockThread();
}

void ShowAbout(HWND owner, UINT extraStyle) {
    char caption[kTextBufferSize];
    char text[kTextBufferSize];
    LoadText(IDS_ABOUT_CAPTION, caption);
    LoadText(IDS_ABOUT_TEXT, text);
    MessageBoxA(owner, text, caption, MB_OK | MB_ICONINFORMATION | extraStyle);
}

LRESULT OnCreate(HWND window) {
    std::memset(&StartupPlacement, 0, sizeof StartupPlacement);
    StartupPlacement.length = sizeof StartupPlacement;
    GetWindowPlacement(window, &StartupPlacement);
    if (ReadFlag(Setting::RegisterHotkeys)) {
        RegisterHotkeys(window);
    }
    return 0;
}

LRESULT OnDestroy(HWND window) {
    if (ReadFlag(Setting::RegisterHotkeys)) {
        UnregisterHotkeys(window);
    }
    if (ReadFlag(Setting::SavePosition)) {
        WINDOWPLACEMENT placement;
        std::memset(&placement, 0, sizeof placement);
        placement.length = sizeof placement;
        if (GetWindowPlacement(window, &placement)) {
            WriteStruct(Setting::WindowPlacement, &placement);
        }
    }
    PostQuitMessage(0);
    return 0;
}

void OnExit(HWND window) {
    DestroyWindow(window);
    // The window is gone; only the icon's removal is left of a restore.
    RestoreFromTray(window);
}

LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case ID_SPEAK_TIME:
        RequestFromClockThread(SpeakTimeRequested);
        return 0;
    case ID_MINIMIZE_TO_TRAY:
        HideToTray(window);
        return 0;
    case ID_RESTORE_WINDOW:
        RestoreFromTray(window);
        return 0;
    case ID_RESTART_SPEECH:
        RequestFromClockThread(RestartSpeechRequested);
        return 0;
    case ID_EXIT:
        OnExit(window);
        return 0;
    case ID_READ_CLIPBOARD:
        RequestFromClockThread(ReadClipboardRequested);
        return 0;
    case ID_ABOUT:
        ShowAbout(window, 0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT OnHotKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (static_cast<int>(wParam)) {
    case IDH_ABOUT:
        ShowAbout(nullptr, MB_SETFOREGROUND);
        return 0;
    case IDH_TOGGLE_TRAY:
        if (IsWindowVisible(window)) {
            HideToTray(window);
        } else {
            RestoreFromTray(window);
        }
        return 0;
    case IDH_SPEAK_TIME:
        RequestFromClockThread(SpeakTimeRequested);
        return 0;
    case IDH_READ_CLIPBOARD:
        RequestFromClockThread(ReadClipboardRequested);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        return OnDestroy(window);
    case WM_COMMAND:
        return OnCommand(window, message, wParam, lParam);
    case WM_HOTKEY:
        return OnHotKey(window, message, wParam, lParam);
    case WM_TIMER:
        return 0; // refresh of the painted time; nothing is painted yet
    case TRAY_CALLBACK_MESSAGE:
        return OnTrayCallback(window, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
