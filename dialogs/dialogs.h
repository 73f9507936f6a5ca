// The dialogs of the program.  Both are modal and run on the main thread.
#pragma once

#include <windows.h>

// The Configuration dialog (template IDD_CONFIGURATION).  owner may be null.
// Returns 1 after OK, when every setting was written; 0 after Cancel, Esc or
// the close box (what an earlier Apply wrote and applied stays).  After each
// Apply, applied(mainWindow) lets the running program take the new settings
// at once, as its opener does after OK; null when nothing runs yet ("/c").
INT_PTR ShowConfigurationDialog(HWND owner, void (*applied)(HWND mainWindow) = nullptr,
                                HWND mainWindow = nullptr);

// The Set INI Path dialog (template IDD_SETINIPATH): where the settings live
// from the next start on.  owner may be null; only an owned dialog says that
// a restart is needed.  Returns 1 after OK, 0 after Cancel, Esc or the close box.
INT_PTR ShowSetIniPathDialog(HWND owner);

// The Alarms dialog (template IDD_ALARMS): the list of alarms, each change
// stored at once.  Returns 0 when closed.
INT_PTR ShowAlarmsDialog(HWND owner);
