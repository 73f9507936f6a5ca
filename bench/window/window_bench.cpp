// The painted time's cost, measured under Wine by bench/window/run.
//
//   window_bench refresh N   times N refreshes of a real main window (its eight
//                            settings reads, the formatting and the centring)
//   window_bench floor       the cheapest window that shows the time: a static
//                            text set once a second from a 1 s multimedia timer
#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "main_window.h"
#include "resources.h"
#include "settings_store.h"
#include "time_display.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

int Refresh(int count) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::snprintf(ConfigFilePath, sizeof ConfigFilePath, "%sorvanel-window-bench.ini", folder);
    DeleteFileA(ConfigFilePath);
    if (!RegisterMainWindowClass()) {
        return 1;
    }
    HWND window = CreateMainWindow();
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, SW_SHOW);
    std::vector<double> samples;
    for (int i = 0; i < count; ++i) {
        LARGE_INTEGER start, stop;
        QueryPerformanceCounter(&start);
        RefreshTimeDisplay(PaintTimer.load(), window);
        QueryPerformanceCounter(&stop);
        samples.push_back(Milliseconds(start, stop));
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
    }
    std::sort(samples.begin(), samples.end());
    std::printf("RefreshTimeDisplay: median %.3f ms, p99 %.3f ms (n=%d)\n",
                samples[samples.size() / 2], samples[samples.size() * 99 / 100], count);
    DestroyWindow(window);
    DeleteFileA(ConfigFilePath);
    return 0;
}

HWND FloorText = nullptr;

void CALLBACK FloorTick(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);
    SetWindowTextA(FloorText, text);
}

int Floor() {
    HWND window = CreateWindowExA(0, "Static", "floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 400, 300, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    FloorText = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_CENTER, 0, 100, 380,
                                40, window, nullptr, GetModuleHandleA(nullptr), nullptr);
    UINT timer = timeSetEvent(1000, 1, FloorTick, 0, TIME_PERIODIC | TIME_CALLBACK_FUNCTION);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    timeKillEvent(timer);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    InstanceHandle = GetModuleHandleA(nullptr);
    if (argc > 2 && std::strcmp(argv[1], "refresh") == 0) {
        return Refresh(std::atoi(argv[2]));
    }
    if (argc > 1 && std::strcmp(argv[1], "floor") == 0) {
        return Floor();
    }
    return 2;
}
