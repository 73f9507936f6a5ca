// Every command of the main window as a row of a table: menu commands and
// hot keys, dispatched from one place each; the toggles are rows of their own
// (toggles.h).
#pragma once

#include <windows.h>

// WM_COMMAND (menu bar, accelerators, toolbar, tray menu), WM_SYSCOMMAND and
// WM_HOTKEY; an id of none of the tables goes to default processing.
LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT OnSysCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT OnHotKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// WM_INITMENUPOPUP: the clipboard items are usable only while it holds text.
void OnInitMenuPopup(HWND window);

// All five, in table order; a combination another program holds is simply
// not available.
void RegisterHotkeys(HWND window);
void UnregisterHotkeys(HWND window);

// Tells the user, in the status bar and a warning box, that settings cannot
// be written where they live, and where to choose another place.
void ReportSettingsNotSaved(HWND window);
