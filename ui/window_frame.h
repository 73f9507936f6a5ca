// The main window's frame: its style, always on top, the title and the menu
// bar, each with its own switch, and the place and style it had when created,
// to which Reset Configuration returns.
#pragma once

#include <windows.h>

// The standard overlapped window: caption, system menu, sizing frame,
// minimize and maximize boxes.
extern const DWORD kMainWindowStyle;

void OnTopOn(HWND window);
void OnTopOff(HWND window);
void ShowTitleOn(HWND window);
void ShowTitleOff(HWND window);
bool MenuBarDetached();
void DetachMenuBar(HWND window);
void AttachMenuBar(HWND window);

// The creation sequence captures the placement; Reset restores the style
// (out of the top-most band, visibility kept) and, later, that placement.
void CaptureStartupPlacement(HWND window);
void RestoreStartupStyle(HWND window);
void RestoreStartupPlacement(HWND window);

// The window never gets so small that the toolbar and the status bar, where
// shown, leave the time no line.  WM_GETMINMAXINFO takes the bars' heights
// as they are; the toolbar wraps to more rows and the menu bar to more lines
// as the window narrows, which only the layout shows, so after the layout,
// and after a bar or a font has changed, KeepRoomForTime makes the window as
// tall as the minimum now is (never while hidden, minimized or maximized).
LRESULT OnGetMinMaxInfo(HWND window, MINMAXINFO *info);
void KeepRoomForTime(HWND window);
