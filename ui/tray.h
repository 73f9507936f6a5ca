// Hiding the main window to the notification area and bringing it back.
#pragma once

#include <windows.h>

// Both take the window to act on: start-up also restores the window of an
// instance that is already running.
void HideToTray(HWND window);
void RestoreFromTray(HWND window);

// The icon's callback message (mouse message in lParam).
LRESULT OnTrayCallback(HWND window, WPARAM wParam, LPARAM lParam);

// The icon of a hidden window takes the tip that names the next alarm.
void RefreshTrayTip(HWND window);

// Removes the icon alone: Exit, after the window has been destroyed.
void RemoveTrayIcon(HWND window);

// The shell's "TaskbarCreated" message: the icon of a hidden window is added
// again when the taskbar comes back.
UINT RegisterTaskbarCreatedMessage();
void OnTaskbarCreated(HWND window);
