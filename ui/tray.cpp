#include "tray.h"

#include <shellapi.h>

#include <cstring>

#include "../res/resources.h"
#include "../settings/settings_store.h"

namespace {

// The first-version record (88 bytes in the 32-bit build): every shell takes it.
NOTIFYICONDATAA BuildTrayIconRecord(HWND window) {
    NOTIFYICONDATAA icon;
    std::memset(&icon, 0, sizeof icon);
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = window;
    icon.uID = TRAY_ICON_ID;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = TRAY_CALLBACK_MESSAGE;
    icon.hIcon = LoadIconA(InstanceHandle, MAKEINTRESOURCEA(IDI_ORVANEL));
    lstrcpynA(icon.szTip, "Orvanel", sizeof icon.szTip);
    return icon;
}

void ShowTrayMenu(HWND window) {
    HMENU menu = LoadMenuA(InstanceHandle, MAKEINTRESOURCEA(IDM_TRAYMENU));
    if (menu == nullptr) {
        return;
    }
    HMENU popup = GetSubMenu(menu, 0);
    if (popup != nullptr) {
        POINT cursor;
        GetCursorPos(&cursor);
        SetForegroundWindow(window);
        TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, window, nullptr);
    }
    DestroyMenu(menu);
}

} // namespace

void HideToTray(HWND window) {
    NOTIFYICONDATAA icon = BuildTrayIconRecord(window);
    if (ReadFlag(Setting::SavePosition)) {
        WINDOWPLACEMENT placement;
        std::memset(&placement, 0, sizeof placement);
        placement.length = sizeof placement;
        if (GetWindowPlacement(window, &placement)) {
            WriteStruct(Setting::WindowPlacement, &placement);
        }
    }
    ShowWindow(window, SW_HIDE);
    Shell_NotifyIconA(NIM_ADD, &icon);
}

void RestoreFromTray(HWND window) {
    NOTIFYICONDATAA icon = BuildTrayIconRecord(window);
    Shell_NotifyIconA(NIM_DELETE, &icon);
    ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    // A second instance restores the first before it has located any
    // configuration; it has no placement of the first's to apply.
    if (ConfigFilePath[0] != '\0' && ReadFlag(Setting::SavePosition)) {
        WINDOWPLACEMENT placement;
        std::memset(&placement, 0, sizeof placement);
        if (ReadStruct(Setting::WindowPlacement, &placement)) {
            SetWindowPlacement(window, &placement);
        }
    }
}

LRESULT OnTrayCallback(HWND window, WPARAM wParam, LPARAM lParam) {
    switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONUP:
        RestoreFromTray(window);
        return 0;
    case WM_RBUTTONUP:
        ShowTrayMenu(window);
        return 0;
    default:
        return DefWindowProcA(window, TRAY_CALLBACK_MESSAGE, wParam, lParam);
    }
}
