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
extern std::atomic<int32_t> EngineErrorMessageId;

// Raise a request: a plain store of 1, never a read-modify-write.
inline void RaiseRequest(std::atomic<int32_t> &flag) {
    flag.store(1);
}

// Thread routine; the parameter is the main window's handle.  Returns 0.
DWORD WINAPI ClockThread(LPVOID mainWindow);

// Wakes the ClockThread at once after a request was raised, so it need not
// poll for it.  Safe to call from any thread, before or after the thread runs.
void WakeClockThread();
