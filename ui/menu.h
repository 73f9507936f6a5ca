// The menus that hold the toggles' state: a check mark is the state, and the
// menu bar is found whether it is attached or detached by Hide Menu Bar.
#pragma once

#include <windows.h>

// The menu bar while Hide Menu Bar has detached it; null while attached.
extern HMENU DetachedMenuBar;

// The attached menu bar, else the detached one, else null: the check marks
// are always found, whether the bar is shown or not.
HMENU CurrentMenuBar(HWND window);
bool IsMenuItemChecked(HMENU menu, UINT id);
void SetMenuItemCheck(HMENU menu, UINT id, bool checked);
