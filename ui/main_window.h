// The main window: its class, its creation, and its procedure, which
// dispatches every message and runs the creation and shutdown sequences.
#pragma once

#include <windows.h>

#include "clock_window.h"

extern const char kMainWindowClass[]; // "Orvanel", also the window title

bool RegisterMainWindowClass();
HWND CreateMainWindow();
// Shown at the platform's place and then at the stored placement, or hidden
// to the notification area.
void ShowMainWindow(HWND window, bool startHidden, int showCommand);
// What the ClockThread may know of the window.
ClockWindow MainClockWindow(HWND window);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
