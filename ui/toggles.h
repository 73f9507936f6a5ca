// The on/off elements of the main window, one row each: its menu item, its
// setting, and the switch the element owns.  The creation, shutdown and reset
// sequences run over these rows in the orders they fix.
#pragma once

#include <windows.h>

// A toggle command: the element flips and its setting is written at once.
// False when id is no toggle of that menu (the menu bar or the system menu).
bool RunToggle(HWND window, UINT id, bool systemMenu);

// Creation: each element of the menu bar, then (after the system menu's items
// are appended) each of the system menu, as its stored setting says.
void RestoreMenuBarToggles(HWND window);
void RestoreSystemMenuToggles(HWND window);

// Shutdown: the child windows that are on are taken down, the status bar
// first.  No setting is written.
void SwitchOffChildWindows(HWND window);

// Reset: every element back to its default, the children rebuilt; the menu
// bar's rows, then (once the menu bar is attached again) the system menu's.
// No setting is written.
void ResetMenuBarToggles(HWND window);
void ResetSystemMenuToggles(HWND window);
