// The main window procedure: one case per message, and the creation and
// shutdown sequences in their fixed order.
#include "main_window.h"

#include "bars.h"
#include "clock_thread.h"
#include "commands.h"
#include "menu.h"
#include "resources.h"
#include "saved_position.h"
#include "settings_store.h"
#include "time_display.h"
#include "toggles.h"
#include "tray.h"
#include "window_frame.h"

const char kMainWindowClass[] = "Orvanel";

namespace {

UINT TaskbarCreatedMessage = 0;
// Posted at the first settings write that storage refused: reported from
// the message loop, never from the middle of a sequence of writes.
const UINT kSettingsNotSavedMessage = WM_APP + 1;
static_assert(kSettingsNotSavedMessage != TRAY_CALLBACK_MESSAGE &&
              kSettingsNotSavedMessage != kEngineFailedMessage &&
              kSettingsNotSavedMessage != kEngineAudioErrorMessage);
HWND ReportingWindow = nullptr;

void PostSettingsNotSaved() {
    PostMessageA(ReportingWindow, kSettingsNotSavedMessage, 0, 0);
}

// The shutdown sequence runs once, however the window comes to be destroyed.
bool ShutdownDone = false;

HWND CurrentStatusBar() {
    return StatusBar.load();
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
    CaptureStartupPlacement(window);
    BeginTimerResolution();
    RestoreMenuBarToggles(window);
    LoadDisplayAppearance();
    if (ReadFlag(Setting::RegisterHotkeys)) {
        RegisterHotkeys(window);
    }
    AppendSystemMenuItems(window);
    RestoreSystemMenuToggles(window);
    TaskbarCreatedMessage = RegisterTaskbarCreatedMessage();
    ReportingWindow = window;
    SetSettingsWriteFailureHandler(PostSettingsNotSaved);
    PostMessageA(window, WM_TIMER, 0, 0);
    return 0;
}

// The bars dock and wrap first: only then is the room left for the time known.
LRESULT OnSize(HWND window, LPARAM size) {
    LayoutChildWindows(window, size);
    KeepRoomForTime(window);
    return 0;
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
    SwitchOffChildWindows(window);
    DetachedMenuBar = nullptr;
    EndTimerResolution();
    SaveWindowPlacement(window);
    PostQuitMessage(0);
    return 0;
}

HWND VisibleOrNull(HWND window) {
    return IsWindowVisible(window) ? window : nullptr;
}

// The engine cannot be started: nothing of the program works without it.
LRESULT OnEngineFailed(HWND window, UINT textId, int code) {
    ShowMessageBox(VisibleOrNull(window), IDS_CAPTION_ERROR, textId, MB_ICONERROR, code);
    DestroyWindow(window);
    return 0;
}

// Shown here, not on the engine's thread, so that speech and the clock go on
// while the box waits for someone to read it.
LRESULT OnEngineAudioError(HWND window, UINT textId) {
    static bool showing = false;
    if (!showing) {
        showing = true;
        ShowMessageBox(VisibleOrNull(window), IDS_CAPTION_ERROR, textId,
                       MB_ICONERROR | MB_SETFOREGROUND);
        showing = false;
    }
    return 0;
}

// Speech cut off by sleep is dropped, not resumed minutes or hours late.
LRESULT OnPowerBroadcast(WPARAM event) {
    if (event == PBT_APMSUSPEND) {
        RaiseRequest(StopSpeakingRequested);
    }
    return TRUE;
}

// Signing out ends the program as Exit does, placement saved, before the
// session ends it.
LRESULT OnEndSession(HWND window, bool ending) {
    if (ending) {
        DestroyWindow(window);
    }
    return 0;
}

} // namespace

bool RegisterMainWindowClass() {
    WNDCLASSA windowClass{};
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
    NoteWindowShown();
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
        return OnSize(window, lParam);
    case WM_GETMINMAXINFO:
        return OnGetMinMaxInfo(window, reinterpret_cast<MINMAXINFO *>(lParam));
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
    case kEngineFailedMessage:
        return OnEngineFailed(window, static_cast<UINT>(wParam), static_cast<int>(lParam));
    case kEngineAudioErrorMessage:
        return OnEngineAudioError(window, static_cast<UINT>(wParam));
    case kIdleTextMessage:
        RefreshIdleText();
        RefreshTrayTip(window);
        return 0;
    case WM_POWERBROADCAST:
        return OnPowerBroadcast(wParam);
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        return OnEndSession(window, wParam != 0);
    case kSettingsNotSavedMessage:
        ReportSettingsNotSaved(window);
        return 0;
    case WM_DPICHANGED:
        // Moved to a screen of another density: take the size the system
        // proposes, as the program says it scales per monitor.
        MoveToSuggestedRect(window, reinterpret_cast<const RECT *>(lParam));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
