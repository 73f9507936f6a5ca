// The window's stored placement (position, size, minimized or maximized),
// kept while SavePosition is on.
#pragma once

#include <windows.h>

// A cleared record with its length set, filled from window; false when the
// platform could not report it.
bool ReadWindowPlacement(HWND window, WINDOWPLACEMENT &placement);

// Called whenever the window is shown.  Until then the window has only the
// platform's default placement, which must never replace the stored one: a
// hidden start that ends without the window ever shown stores nothing.
void NoteWindowShown();

// When SavePosition is on and the window has been shown: writes window's placement (nothing when it
// cannot be read); applies the stored one (nothing when none is stored).
void SaveWindowPlacement(HWND window);
void ApplySavedWindowPlacement(HWND window);
