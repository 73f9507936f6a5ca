// The main window: its class, its procedure, its creation, shutdown and
// reset sequences, and the on/off switches of its elements.
#pragma once

#include <windows.h>

#include "clock_thread.h"

extern const char kMainWindowClass[]; // "Orvanel", also the window title

// The menu bar while Hide Menu Bar has detached it; null while attached.
extern HMENU DetachedMenuBar;

bool RegisterMainWindowClass();
HWND CreateMainWindow();
// Shown at the platform's place and then at the stored placement, or hidden
// to the notification area.
void ShowMainWindow(HWND window, bool startHidden, int showCommand);
// What the ClockThread may know of the window.
ClockWindow MainClockWindow(HWND window);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The attached menu bar, else the detached one, else null: the check marks
// are always found, whether the bar is shown or not.
HMENU CurrentMenuBar(HWND window);
bool IsMenuItemChecked(HMENU menu, UINT id);
void SetMenuItemCheck(HMENU menu, UINT id, bool checked);

// Every element back to its default: after Reset Configuration, whether the
// stored configuration could be removed or not.  Writes no setting.
void ResetMainWindow(HWND window);

// The elements' switches, used by the toggles and the sequences alike.
bool TimeDisplayExists();
bool ToolbarExists();
bool StatusBarExists();
bool MenuBarDetached();
void PaintTimeOn(HWND window);
void PaintTimeOff(HWND window);
void ToolbarOn(HWND window);
void ToolbarOff(HWND window);
void StatusBarOn(HWND window);
void StatusBarOff(HWND window);
void OnTopOn(HWND window);
void OnTopOff(HWND window);
void ShowTitleOn(HWND window);
void ShowTitleOff(HWND window);
void DetachMenuBar(HWND window);
void AttachMenuBar(HWND window);
