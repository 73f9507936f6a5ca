// What the clock needs of the main window, and the messages it posts there.
// The window's owner fills ClockWindow in; the clock knows nothing else of
// the user interface.
#pragma once

#include <windows.h>

struct ClockWindow {
    HWND mainWindow;
    HWND (*statusBar)();        // the StatusBar now, or null
    bool (*timeDisplayShown)(); // whether the time is painted now
};

// The engine could not be started: wParam is the text's string id, lParam
// the engine's code.  The main window shows the error and ends the program.
constexpr UINT kEngineFailedMessage = WM_APP + 2;
// The engine met an audio error: wParam is the text's string id.  Shown by the
// main window, once until speech works again (EngineErrorShown).
constexpr UINT kEngineAudioErrorMessage = WM_APP + 3;
// The idle text or the next alarm has changed (ReadIdleStatusText): the
// main thread puts them in the StatusBar and the tray icon's tip.
constexpr UINT kIdleTextMessage = WM_APP + 4;
