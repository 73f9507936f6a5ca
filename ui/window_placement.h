// The window's stored placement (position, size, minimized or maximized),
// kept while SavePosition is on.
#pragma once

#include <windows.h>

// A cleared record with its length set, filled from window; false when the
// platform could not report it.
bool ReadWindowPlacement(HWND window, WINDOWPLACEMENT &placement);

// When SavePosition is on: writes window's placement (nothing when it cannot
// be read), or applies the stored one (nothing when none is stored).
void SaveWindowPlacement(HWND window);
void ApplySavedWindowPlacement(HWND window);
