// The ClockThread and the values it shares with the user interface.  Each
// shared value is one aligned 32-bit word read and written whole: the user
// interface only stores 1 into a request flag, the ClockThread stores 0 after
// serving it.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

extern std::atomic<int32_t> ClockThreadRunning;
extern std::atomic<int32_t> RestartSpeechRequested;
extern std::atomic<int32_t> ApplySpeechSettingsRequested;
extern std::atomic<int32_t> ReadClipboardRequested;
extern std::atomic<int32_t> SpeakTimeRequested;
// Cut the speech in progress and drop what is queued (engine reset with flag
// 0), also while the thread waits for speech to end.
extern std::atomic<int32_t> StopSpeakingRequested;

// Raise a request: a plain store of 1, never a read-modify-write, and a
// wake-up so that the thread serves it at once instead of at its next second.
// Safe from any thread, before or after the ClockThread runs.
void RaiseRequest(std::atomic<int32_t> &flag);

// Wakes the ClockThread without a request: shutdown, after ClockThreadRunning
// went to 0.
void WakeClockThread();

// What the ClockThread needs of the main window.  The window's owner fills it
// in; the clock knows nothing else of the user interface.
struct ClockWindow {
    HWND mainWindow;
    HWND (*statusBar)();        // the StatusBar now, or null
    bool (*timeDisplayShown)(); // whether the time is painted now
};

// Thread routine; the parameter is a ClockWindow that outlives the thread.
// Returns 0.
DWORD WINAPI ClockThread(LPVOID clockWindow);
