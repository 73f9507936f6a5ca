#include "bars.h"

#include <commctrl.h>

#include <cstring>

#include "child_window.h"
#include "menu.h"
#include "resources.h"
#include "settings_catalogue.h"

std::atomic<HWND> Toolbar{nullptr};
std::atomic<HWND> StatusBar{nullptr};

namespace {

const DWORD kToolbarStyle = WS_CHILD | TBSTYLE_WRAPABLE; // shown once its buttons are in
const DWORD kStatusBarStyle = WS_CHILD | WS_VISIBLE;
const UINT kStatusBarId = 1;

// The labels of IDS_TOOLBAR_LABELS, in this order: a button's label index is
// its position here.
enum Label {
    SpeakTime,
    StopSpeaking,
    Configure,
    ResetConfiguration,
    SetIniPath,
    RestartSpeech,
    ReadClipboard,
    EmptyClipboard,
    About
};

struct ToolbarEntry {
    int command; // 0: a separator
    int label;
};

const ToolbarEntry kToolbarEntries[] = {
    {ID_SPEAK_TIME, SpeakTime},
    {ID_STOP_SPEAKING, StopSpeaking},
    {0, 0},
    {ID_CONFIGURE, Configure},
    {ID_RESET_CONFIGURATION, ResetConfiguration},
    {ID_SET_INI_PATH, SetIniPath},
    {0, 0},
    {ID_RESTART_SPEECH, RestartSpeech},
    {0, 0},
    {ID_READ_CLIPBOARD, ReadClipboard},
    {ID_EMPTY_CLIPBOARD, EmptyClipboard},
    {0, 0},
    {ID_ABOUT, About},
};
constexpr size_t kToolbarEntryCount = sizeof kToolbarEntries / sizeof kToolbarEntries[0];

// The label list as the toolbar takes it: each separator character becomes
// a terminator, so the text ends in two.
void LoadToolbarLabels(char (&labels)[kTextBufferSize]) {
    char text[kTextBufferSize];
    LoadText(IDS_TOOLBAR_LABELS, text);
    std::memset(labels, 0, sizeof labels);
    const char separator = text[0];
    for (size_t i = 1; i < sizeof text && text[i] != '\0'; ++i) {
        labels[i - 1] = text[i] == separator ? '\0' : text[i];
    }
}

BOOL CALLBACK SizeChild(HWND child, LPARAM size) {
    return MoveWindow(child, 0, 0, LOWORD(size), HIWORD(size), FALSE);
}

} // namespace

void ToolbarOn(HWND mainWindow) {
    HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, kToolbarStyle, 0, 0, 0, 0, mainWindow,
                               nullptr, InstanceHandle, nullptr);
    Toolbar.store(bar);
    if (bar == nullptr) {
        return;
    }
    char labels[kTextBufferSize];
    LoadToolbarLabels(labels);
    const LRESULT firstLabel =
        SendMessageA(bar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(labels));
    TBBUTTON buttons[kToolbarEntryCount];
    std::memset(buttons, 0, sizeof buttons);
    for (size_t i = 0; i < kToolbarEntryCount; ++i) {
        const ToolbarEntry &entry = kToolbarEntries[i];
        if (entry.command == 0) {
            buttons[i].fsStyle = BTNS_SEP;
            continue;
        }
        buttons[i].idCommand = entry.command;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_AUTOSIZE;
        buttons[i].iString = firstLabel + entry.label;
    }
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(bar, TB_ADDBUTTONSA, kToolbarEntryCount, reinterpret_cast<LPARAM>(buttons));
    SendMessageA(bar, TB_AUTOSIZE, 0, 0);
    ShowWindow(bar, SW_SHOW);
}

void ToolbarOff(HWND) {
    DestroyChild(Toolbar);
}

bool ToolbarExists() {
    return Toolbar.load() != nullptr;
}

void StatusBarOn(HWND mainWindow) {
    char text[kTextBufferSize];
    LoadText(IDS_READY, text);
    StatusBar.store(CreateStatusWindowA(kStatusBarStyle, text, mainWindow, kStatusBarId));
}

void StatusBarOff(HWND) {
    DestroyChild(StatusBar);
}

bool StatusBarExists() {
    return StatusBar.load() != nullptr;
}

void LayoutChildWindows(HWND mainWindow, LPARAM size) {
    EnumChildWindows(mainWindow, SizeChild, size);
}

RECT AreaBetweenBars(HWND mainWindow) {
    RECT area;
    std::memset(&area, 0, sizeof area);
    GetClientRect(mainWindow, &area);
    // The toolbar wraps to more rows as the window narrows; its height is
    // whatever it took.
    RECT bar;
    HWND toolbar = Toolbar.load();
    if (toolbar != nullptr && IsWindowVisible(toolbar) && GetWindowRect(toolbar, &bar)) {
        MapWindowPoints(nullptr, mainWindow, reinterpret_cast<POINT *>(&bar), 2);
        area.top = bar.bottom > area.top ? bar.bottom : area.top;
    }
    HWND status = StatusBar.load();
    if (status != nullptr && IsWindowVisible(status) && GetWindowRect(status, &bar)) {
        MapWindowPoints(nullptr, mainWindow, reinterpret_cast<POINT *>(&bar), 2);
        area.bottom = bar.top < area.bottom ? bar.top : area.bottom;
    }
    if (area.bottom < area.top) {
        area.bottom = area.top;
    }
    return area;
}

void ShowMenuHelp(HWND mainWindow, WPARAM item, HMENU menu) {
    HWND bar = StatusBar.load();
    if (bar == nullptr || !IsMenuItemChecked(CurrentMenuBar(mainWindow), ID_STATUS_BAR)) {
        return;
    }
    char text[kTextBufferSize];
    // Separators and popup titles have no string of their id: empty help.
    LoadText(menu != nullptr ? LOWORD(item) : IDS_READY, text);
    SetWindowTextA(bar, text);
}
