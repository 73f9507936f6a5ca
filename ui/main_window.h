// The main window: its procedure and the child windows it owns.
#pragma once

#include <windows.h>

#include <atomic>

extern const char kMainWindowClass[]; // "Orvanel", also the window title

// Child windows of the main window, null while off.  Created and destroyed on
// the main thread only; other threads read them afresh at every use.
extern std::atomic<HWND> TimeDisplay;
extern std::atomic<HWND> Toolbar;
extern std::atomic<HWND> StatusBar;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
