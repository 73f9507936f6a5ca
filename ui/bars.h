// The toolbar and status bar, the layout of the main window's children, and
// the menu help shown in the status bar.
#pragma once

#include <windows.h>

#include <atomic>

// Null while off.  The main thread creates and destroys them; the ClockThread
// reads StatusBar to exchange its text.
extern std::atomic<HWND> Toolbar;
extern std::atomic<HWND> StatusBar;

// Their switches: on creates the control (the status bar showing "I'm
// ready!"), off destroys it; a control that cannot be created stays null.
void ToolbarOn(HWND mainWindow);
void ToolbarOff(HWND mainWindow);
bool ToolbarExists();
void StatusBarOn(HWND mainWindow);
void StatusBarOff(HWND mainWindow);
bool StatusBarExists();

// WM_SIZE: every descendant to 0,0 at the new client size; the bars dock
// themselves, the TimeDisplay is centred again at the next refresh.
void LayoutChildWindows(HWND mainWindow, LPARAM size);

// What the toolbar and the status bar take of the client area's height, as
// they stand now (0 for one that is off).
int BarsHeight();

// The client area left between the toolbar and the status bar (the whole
// client area while they are off), in client coordinates.
RECT AreaBetweenBars(HWND mainWindow);

// WM_MENUSELECT, for the menu bar, the system menu and the tray menu alike.
void ShowMenuHelp(HWND mainWindow, WPARAM item, HMENU menu);

// The ClockThread's new idle text (ReadIdleStatusText), where the StatusBar
// still shows the old one.
void RefreshIdleText();
