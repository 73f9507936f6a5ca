// The ClockThread and what it shares with the user interface: whether it
// runs, and one word of request bits (clock_pass.h), raised by the user
// interface and cleared by the thread once served.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "clock_pass.h"
#include "clock_window.h"

extern std::atomic<int32_t> ClockThreadRunning;
extern std::atomic<uint32_t> ClockRequests;

// Raise a request, and wake the thread so that it serves it at once instead
// of at its next second.  Safe from any thread, before or after the
// ClockThread runs.
void RaiseRequest(ClockRequest request);
bool RequestRaised(ClockRequest request);

// Wakes the ClockThread without a request: shutdown, after ClockThreadRunning
// went to 0.
void WakeClockThread();

// The StatusBar's idle text as the ClockThread last set it ("I'm ready!",
// the next alarm or the missed one), and the next alarm's text alone (empty
// when no alarm is on).  Safe from any thread.
void ReadIdleStatusText(char (&text)[kTextBufferSize]);
void ReadNextAlarmText(char (&text)[kTextBufferSize]);

// Thread routine; the parameter is a ClockWindow that outlives the thread.
// Returns 0.
DWORD WINAPI ClockThread(LPVOID clockWindow);
