#include "dialog_position_win.h"

#include "dialog_position.h"

namespace {

ScreenBox BoxOf(const RECT &rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

} // namespace

void PlaceDialog(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    // A hidden or minimized owner gives no place to open over.
    const bool overOwner = owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner);
    MONITORINFO monitor;
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(overOwner ? owner : dialog, MONITOR_DEFAULTTOPRIMARY),
                         &monitor)) {
        return;
    }
    RECT self;
    RECT anchor = monitor.rcWork;
    GetWindowRect(dialog, &self);
    if (overOwner) {
        GetWindowRect(owner, &anchor);
    }
    const ScreenBox box = PlaceDialogBox(self.right - self.left, self.bottom - self.top,
                                         BoxOf(anchor), BoxOf(monitor.rcWork));
    SetWindowPos(dialog, nullptr, box.left, box.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
