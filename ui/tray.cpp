#include "tray.h"

#include <shellapi.h>

#include "clock_thread.h"
#include "resources.h"
#include "saved_position.h"
#include "settings_store.h"

namespace {

// The first-version record (88 bytes in the 32-bit build): every shell takes it.
NOTIFYICONDATAA BuildTrayIconRecord(HWND window) {
    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = window;
    icon.uID = TRAY_ICON_ID;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = TRAY_CALLBACK_MESSAGE;
    icon.hIcon = LoadIconA(InstanceHandle, MAKEINTRESOURCEA(IDI_ORVANEL));
    char nextAlarm[kTextBufferSize];
    ReadNextAlarmText(nextAlarm);
    if (nextAlarm[0] == '\0') {
        LoadText(IDS_TRAY_TIP, icon.szTip);
    } else {
        char format[kTextBufferSize], tip[2 * kTextBufferSize];
        LoadText(IDS_TRAY_TIP_ALARM, format);
        wsprintfA(tip, format, nextAlarm);
        lstrcpynA(icon.szTip, tip, sizeof icon.szTip);
    }
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
        // The platform asks for it: without a message after the menu, the
        // next click elsewhere may not close it.
        PostMessageA(window, WM_NULL, 0, 0);
    }
    DestroyMenu(menu);
}

} // namespace

void HideToTray(HWND window) {
    NOTIFYICONDATAA icon = BuildTrayIconRecord(window);
    SaveWindowPlacement(window);
    ShowWindow(window, SW_HIDE);
    Shell_NotifyIconA(NIM_ADD, &icon);
}

void RestoreFromTray(HWND window) {
    RemoveTrayIcon(window);
    ShowWindow(window, SW_RESTORE);
    NoteWindowShown();
    SetForegroundWindow(window);
    // A second instance restores the first before it has located any
    // configuration; it has no placement of the first's to apply.
    if (ConfigFilePath[0] != '\0') {
        ApplySavedWindowPlacement(window);
    }
}

void RefreshTrayTip(HWND window) {
    if (!IsWindowVisible(window)) {
        NOTIFYICONDATAA icon = BuildTrayIconRecord(window);
        icon.uFlags = NIF_TIP;
        Shell_NotifyIconA(NIM_MODIFY, &icon);
    }
}

void RemoveTrayIcon(HWND window) {
    NOTIFYICONDATAA icon = BuildTrayIconRecord(window);
    Shell_NotifyIconA(NIM_DELETE, &icon);
}

UINT RegisterTaskbarCreatedMessage() {
    return RegisterWindowMessageA("TaskbarCreated");
}

void OnTaskbarCreated(HWND window) {
    // A new shell has no icons: a hidden window would be reachable only by
    // its hot keys.
    if (!IsWindowVisible(window)) {
        NOTIFYICONDATAA icon = BuildTrayIconRecord(window);
        Shell_NotifyIconA(NIM_ADD, &icon);
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
