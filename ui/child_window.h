// The main window's child controls live in slots the timer's thread and the
// ClockThread read; the main thread empties a slot before destroying.
#pragma once

#include <windows.h>

#include <atomic>

inline void DestroyChild(std::atomic<HWND> &child) {
    HWND handle = child.exchange(nullptr);
    if (handle != nullptr) {
        DestroyWindow(handle);
    }
}
