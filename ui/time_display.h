// The painted time: the TimeDisplay control, the PaintTimer that refreshes it
// once a second, and the font and colours it is painted in.
#pragma once

#include <windows.h>

#include <atomic>

// Null (0) while painting is off.  The main thread alone creates and destroys
// them; the timer's routine only reads them.
extern std::atomic<HWND> TimeDisplay;
extern std::atomic<UINT> PaintTimer;

// Live from the creation sequence to the shutdown sequence, main thread only.
extern HFONT DisplayFont;
extern COLORREF DisplayTextColor;
extern COLORREF DisplayBackgroundColor;
extern HBRUSH BackgroundBrush;

HWND CreateTimeDisplay(HWND mainWindow);
void StartPaintTimer(HWND mainWindow);
void StopPaintTimer();

// Paint Time's switch: on creates the TimeDisplay (in DisplayFont), starts
// the PaintTimer and asks for a refresh; off stops the timer first, so no
// tick finds the control it is about to lose, then destroys the control.
void PaintTimeOn(HWND mainWindow);
void PaintTimeOff(HWND mainWindow);
bool TimeDisplayExists();

// Composes the time (and date) text and centres the TimeDisplay on it; does
// nothing unless timerId is the running PaintTimer and the TimeDisplay exists.
void RefreshTimeDisplay(UINT timerId, HWND mainWindow);
void CenterTimeDisplay(HWND mainWindow, HWND display, const char *text);

// The font and colours of the display: loaded from the settings at creation,
// back to black on white in the default font at Reset, released at shutdown.
void LoadDisplayAppearance();
void ResetDisplayAppearance();
void ReleaseDisplayAppearance();
// Gives the TimeDisplay DisplayFont, when both exist.
void ApplyDisplayFont();
// Takes font (or none) as DisplayFont; the old one is taken off the display
// and deleted first.
void ReplaceDisplayFont(HFONT font);
void ReplaceBackgroundBrush(COLORREF color);
void ReleaseBackgroundBrush(); // and DisplayBackgroundColor back to 0

// The height of one line of the time in the font it is painted in.
int TimeLineHeight(HWND mainWindow);

LRESULT OnEraseBackground(HWND mainWindow, HDC dc);
LRESULT OnCtlColorStatic(HDC dc, HWND control);

// The Font and Color commands.
void ChooseDisplayFont(HWND mainWindow);
void ChooseBackgroundColor(HWND mainWindow);

// Begins (and ends) the finest multimedia timer period the device offers.
void BeginTimerResolution();
void EndTimerResolution();
