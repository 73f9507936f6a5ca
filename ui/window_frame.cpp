#include "window_frame.h"

#include "menu.h"
#include "saved_position.h"

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
