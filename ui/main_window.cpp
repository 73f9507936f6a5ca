// The main window procedure: one case per message, and the sequences that
// build, reset and take down the window's elements in their fixed order.
#include "main_window.h"

#include <cstring>

#include "bars.h"
#include "commands.h"
#include "resources.h"
#include "settings_store.h"
#include "time_display.h"
#include "tray.h"
#include "window_placement.h"

const char kMainWindowClass[] = "Orvanel";

HMENU DetachedMenuBar = nullptr;

namespace {

const DWORD kMainWindowStyle = WS_OVERLAPPEDWINDOW;
const COLORREF kWhite = RGB(255, 255, 255);

// The placement the window had while it was created: Reset returns to it.
WINDOWPLACEMENT StartupPlacement;
UINT TaskbarCreatedMessage = 0;
// A failed engine start posts WM_DESTROY before the window is really
// destroyed, so the sequence may be asked for twice; it runs once.
bool ShutdownDone = false;

HWND CurrentStatusBar() {
    return StatusBar.load();
}

void DestroyChild(std::atomic<HWND> &child) {
    HWND handle = child.exchange(nullptr);
    if (handle != nullptr) {
        DestroyWindow(handle);
    }
}

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

void MoveToSuggestedRect(HWND window, const RECT *rect) {
    SetWindowPos(window, nullptr, rect->left, rect->top, rect->right - rect->left,
                 rect->bottom - rect->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void AppendSystemMenuItems(HWND window) {
    HMENU systemMenu = GetSystemMenu(window, FALSE);
    char text[kTextBufferSize];
    AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    LoadText(IDS_HIDE_MENU_BAR, text);
    AppendMenuA(systemMenu, MF_STRING, ID_HIDE_MENU_BAR, text);
    LoadText(IDS_SAVE_WINDOW_POSITION, text);
    AppendMenuA(systemMenu, MF_STRING, ID_SAVE_WINDOW_POSITION, text);
}

LRESULT OnCreate(HWND window) {
    ShutdownDone = false;
    ReadWindowPlacement(window, StartupPlacement);
    BeginTimerResolution();
    RestoreStoredToggle(window, ID_PAINT_TIME);
    RestoreStoredToggle(window, ID_INCLUDE_SECONDS);
    RestoreStoredToggle(window, ID_TOOLBAR);
    RestoreStoredToggle(window, ID_STATUS_BAR);
    RestoreStoredToggle(window, ID_ALWAYS_ON_TOP);
    if (ReadFlag(Setting::ShowTitle)) {
        SetMenuItemCheck(CurrentMenuBar(window), ID_SHOW_TITLE, true);
    } else {
        ShowTitleOff(window);
    }
    LoadDisplayAppearance();
    if (ReadFlag(Setting::RegisterHotkeys)) {
        RegisterHotkeys(window);
    }
    AppendSystemMenuItems(window);
    RestoreStoredToggle(window, ID_HIDE_MENU_BAR);
    RestoreStoredToggle(window, ID_SAVE_WINDOW_POSITION);
    TaskbarCreatedMessage = RegisterTaskbarCreatedMessage();
    PostMessageA(window, WM_TIMER, 0, 0);
    return 0;
}

// Switches an element off only while its item is checked and it exists.
void SwitchOffIfOn(HWND window, UINT id, bool (*exists)(), void (*switchOff)(HWND)) {
    HMENU menu = CurrentMenuBar(window);
    if (IsMenuItemChecked(menu, id) && exists()) {
        SetMenuItemCheck(menu, id, false);
        switchOff(window);
    }
}

LRESULT OnDestroy(HWND window) {
    if (ShutdownDone) {
        return 0;
    }
    ShutdownDone = true;
    if (ReadFlag(Setting::RegisterHotkeys)) {
        UnregisterHotkeys(window);
    }
    ReleaseDisplayAppearance();
    SwitchOffIfOn(window, ID_STATUS_BAR, StatusBarExists, StatusBarOff);
    SwitchOffIfOn(window, ID_TOOLBAR, ToolbarExists, ToolbarOff);
    SwitchOffIfOn(window, ID_PAINT_TIME, TimeDisplayExists, PaintTimeOff);
    DetachedMenuBar = nullptr;
    EndTimerResolution();
    SaveWindowPlacement(window);
    PostQuitMessage(0);
    return 0;
}

} // namespace

void ResetMainWindow(HWND window) {
    RegisterHotkeys(window);
    ResetDisplayAppearance();
    HMENU menu = CurrentMenuBar(window);
    // The caption, frame and buttons of a new window; its visibility is left
    // alone, the placement below shows it.
    const LONG visible = GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE;
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(kMainWindowStyle) | visible);
    RecalculateFrame(window, HWND_NOTOPMOST, 0);
    SetMenuItemCheck(menu, ID_ALWAYS_ON_TOP, false);
    SetMenuItemCheck(menu, ID_SHOW_TITLE, true);
    StatusBarOff(window);
    StatusBarOn(window);
    SetMenuItemCheck(menu, ID_STATUS_BAR, true);
    ToolbarOff(window);
    ToolbarOn(window);
    SetMenuItemCheck(menu, ID_TOOLBAR, true);
    PaintTimeOff(window);
    PaintTimeOn(window);
    SetMenuItemCheck(menu, ID_PAINT_TIME, true);
    SetMenuItemCheck(menu, ID_INCLUDE_SECONDS, true);
    DetachedMenuBar = nullptr;
    SetMenu(window, menu);
    HMENU systemMenu = GetSystemMenu(window, FALSE);
    SetMenuItemCheck(systemMenu, ID_HIDE_MENU_BAR, false);
    SetMenuItemCheck(systemMenu, ID_SAVE_WINDOW_POSITION, false);
    WINDOWPLACEMENT placement = StartupPlacement;
    placement.showCmd = SW_SHOWNORMAL;
    SetWindowPlacement(window, &placement);
    // The white background everywhere, not only where the time is redrawn.
    InvalidateRect(window, nullptr, TRUE);
    PostMessageA(window, WM_TIMER, 0, 0);
}

HMENU CurrentMenuBar(HWND window) {
    HMENU attached = GetMenu(window);
    return attached != nullptr ? attached : DetachedMenuBar;
}

bool IsMenuItemChecked(HMENU menu, UINT id) {
    const UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

void SetMenuItemCheck(HMENU menu, UINT id, bool checked) {
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool TimeDisplayExists() {
    return TimeDisplay.load() != nullptr;
}

bool ToolbarExists() {
    return Toolbar.load() != nullptr;
}

bool StatusBarExists() {
    return StatusBar.load() != nullptr;
}

bool MenuBarDetached() {
    return DetachedMenuBar != nullptr;
}

void PaintTimeOn(HWND window) {
    if (CreateTimeDisplay(window) != nullptr) {
        ApplyDisplayFont();
    }
    StartPaintTimer(window);
    PostMessageA(window, WM_TIMER, 0, 0);
}

// The timer first: no tick may find the control it is about to lose.
void PaintTimeOff(HWND) {
    StopPaintTimer();
    DestroyChild(TimeDisplay);
}

void ToolbarOn(HWND window) {
    CreateToolbar(window);
}

void ToolbarOff(HWND) {
    DestroyChild(Toolbar);
}

void StatusBarOn(HWND window) {
    CreateStatusBar(window);
}

void StatusBarOff(HWND) {
    DestroyChild(StatusBar);
}

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

void DetachMenuBar(HWND window) {
    DetachedMenuBar = GetMenu(window);
    SetMenu(window, nullptr);
}

void AttachMenuBar(HWND window) {
    SetMenu(window, DetachedMenuBar);
    DetachedMenuBar = nullptr;
}

bool RegisterMainWindowClass() {
    WNDCLASSA windowClass;
    std::memset(&windowClass, 0, sizeof windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = InstanceHandle;
    windowClass.hIcon = LoadIconA(InstanceHandle, MAKEINTRESOURCEA(IDI_ORVANEL));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDM_MAINMENU);
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassA(&windowClass) != 0;
}

HWND CreateMainWindow() {
    return CreateWindowExA(0, kMainWindowClass, kMainWindowClass, kMainWindowStyle, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                           InstanceHandle, nullptr);
}

void ShowMainWindow(HWND window, bool startHidden, int showCommand) {
    if (startHidden) {
        HideToTray(window);
        return;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    ApplySavedWindowPlacement(window);
}

ClockWindow MainClockWindow(HWND window) {
    return ClockWindow{window, CurrentStatusBar, TimeDisplayExists};
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TaskbarCreatedMessage && message != 0) {
        OnTaskbarCreated(window);
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        return OnDestroy(window);
    case WM_SIZE:
        LayoutChildWindows(window, lParam);
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBackground(window, reinterpret_cast<HDC>(wParam));
    case WM_TIMER:
        RefreshTimeDisplay(PaintTimer.load(), window);
        return 0;
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
        return OnCommand(window, message, wParam, lParam);
    case WM_SYSCOMMAND:
        return OnSysCommand(window, message, wParam, lParam);
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(window);
        return 0;
    case WM_MENUSELECT:
        ShowMenuHelp(window, wParam, reinterpret_cast<HMENU>(lParam));
        return 0;
    case WM_HOTKEY:
        return OnHotKey(window, message, wParam, lParam);
    case TRAY_CALLBACK_MESSAGE:
        return OnTrayCallback(window, wParam, lParam);
    case WM_DPICHANGED:
        // Moved to a screen of another density: take the size the system
        // proposes, as the program says it scales per monitor.
        MoveToSuggestedRect(window, reinterpret_cast<const RECT *>(lParam));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
