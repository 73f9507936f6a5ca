#include "window_frame.h"

#include "bars.h"
#include "menu.h"
#include "saved_position.h"
#include "time_display.h"

const DWORD kMainWindowStyle = WS_OVERLAPPEDWINDOW;

namespace {

// The placement the window had while it was created: Reset returns to it.
WINDOWPLACEMENT StartupPlacement;

// Redraws the frame after a style change, in place and in its z-order.
// Never activates: a window started hidden must not take the foreground.
void RecalculateFrame(HWND window, HWND insertAfter, UINT extraFlags) {
    SetWindowPos(window, insertAfter, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED | SWP_NOACTIVATE | extraFlags);
}

void SetCaption(HWND window, bool shown) {
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    SetWindowLongA(window, GWL_STYLE, shown ? style | WS_CAPTION : style & ~WS_CAPTION);
    RecalculateFrame(window, nullptr, SWP_NOZORDER);
}

// How much taller the window must be for the bars, as they stand now, to
// leave a line for the time; 0 or less when they do.
int MissingRoomForTime(HWND window) {
    RECT client;
    if (!GetClientRect(window, &client)) {
        return 0;
    }
    return BarsHeight() + TimeLineHeight(window) - (client.bottom - client.top);
}

void SetTopMost(HWND window, bool topMost) {
    SetWindowPos(window, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

} // namespace

void OnTopOn(HWND window) {
    SetTopMost(window, true);
}

void OnTopOff(HWND window) {
    SetTopMost(window, false);
}

void ShowTitleOn(HWND window) {
    SetCaption(window, true);
}

void ShowTitleOff(HWND window) {
    SetCaption(window, false);
}

bool MenuBarDetached() {
    return DetachedMenuBar != nullptr;
}

void DetachMenuBar(HWND window) {
    DetachedMenuBar = GetMenu(window);
    SetMenu(window, nullptr);
}

void AttachMenuBar(HWND window) {
    SetMenu(window, DetachedMenuBar);
    DetachedMenuBar = nullptr;
}

void CaptureStartupPlacement(HWND window) {
    ReadWindowPlacement(window, StartupPlacement);
}

// The caption, frame and buttons of a new window; its visibility is left
// alone, the placement shows it.
void RestoreStartupStyle(HWND window) {
    const LONG visible = GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE;
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(kMainWindowStyle) | visible);
    RecalculateFrame(window, HWND_NOTOPMOST, 0);
}

void RestoreStartupPlacement(HWND window) {
    WINDOWPLACEMENT placement = StartupPlacement;
    placement.showCmd = SW_SHOWNORMAL;
    SetWindowPlacement(window, &placement);
    NoteWindowShown();
}

LRESULT OnGetMinMaxInfo(HWND window, MINMAXINFO *info) {
    RECT frame;
    if (IsIconic(window) || !GetWindowRect(window, &frame)) {
        return 0;
    }
    const LONG height = frame.bottom - frame.top + MissingRoomForTime(window);
    if (height > info->ptMinTrackSize.y) {
        info->ptMinTrackSize.y = height;
    }
    return 0;
}

void KeepRoomForTime(HWND window) {
    // Growing sizes the window again, which lays it out and asks once more;
    // a window held smaller (by the screen) must not ask forever.
    static bool growing = false;
    const int missing = MissingRoomForTime(window);
    if (growing || missing <= 0 || !IsWindowVisible(window) || IsIconic(window) ||
        IsZoomed(window)) {
        return;
    }
    RECT frame;
    if (!GetWindowRect(window, &frame)) {
        return;
    }
    growing = true;
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left,
                 frame.bottom - frame.top + missing, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    growing = false;
}
