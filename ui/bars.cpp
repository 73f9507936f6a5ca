#include "bars.h"

#include <commctrl.h>

#include <cassert>
#include <initializer_list>

#include "child_window.h"
#include "clock_thread.h"
#include "menu.h"
#include "resources.h"
#include "settings_catalogue.h"
#include "toolbar_labels.h"

std::atomic<HWND> Toolbar{nullptr};
std::atomic<HWND> StatusBar{nullptr};

namespace {

const DWORD kToolbarStyle = WS_CHILD | TBSTYLE_WRAPABLE; // shown once its buttons are in
const DWORD kStatusBarStyle = WS_CHILD | WS_VISIBLE;
const UINT kStatusBarId = 1;

struct ToolbarEntry {
    int command; // 0: a separator
    ToolbarLabel label;
};

const ToolbarEntry kToolbarEntries[] = {
    {ID_SPEAK_TIME, ToolbarLabel::SpeakTime},
    {ID_STOP_SPEAKING, ToolbarLabel::StopSpeaking},
    {0, {}},
    {ID_CONFIGURE, ToolbarLabel::Configure},
    {ID_RESET_CONFIGURATION, ToolbarLabel::ResetConfiguration},
    {ID_SET_INI_PATH, ToolbarLabel::SetIniPath},
    {0, {}},
    {ID_RESTART_SPEECH, ToolbarLabel::RestartSpeech},
    {0, {}},
    {ID_READ_CLIPBOARD, ToolbarLabel::ReadClipboard},
    {ID_EMPTY_CLIPBOARD, ToolbarLabel::EmptyClipboard},
    {0, {}},
    {ID_ABOUT, ToolbarLabel::About},
};
constexpr size_t kToolbarEntryCount = sizeof kToolbarEntries / sizeof kToolbarEntries[0];

void LoadToolbarLabels(char (&labels)[kTextBufferSize]) {
    char text[kTextBufferSize];
    LoadText(IDS_TOOLBAR_LABELS, text);
    [[maybe_unused]] const size_t count = SplitToolbarLabels(text, labels, sizeof labels);
    // Labels out of step with ToolbarLabel put the wrong words on buttons.
    assert(count == kToolbarLabelCount && "IDS_TOOLBAR_LABELS holds one label per ToolbarLabel");
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
    TBBUTTON buttons[kToolbarEntryCount]{};
    for (size_t i = 0; i < kToolbarEntryCount; ++i) {
        const ToolbarEntry &entry = kToolbarEntries[i];
        if (entry.command == 0) {
            buttons[i].fsStyle = BTNS_SEP;
            continue;
        }
        buttons[i].idCommand = entry.command;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_AUTOSIZE;
        buttons[i].iString = firstLabel + static_cast<INT_PTR>(entry.label);
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

// The idle text as this thread last put it in the StatusBar, so that a new
// one replaces it only there, never menu help or "Speaking".
static char ShownIdleText[kTextBufferSize];

void StatusBarOn(HWND mainWindow) {
    char text[kTextBufferSize];
    ReadIdleStatusText(text);
    lstrcpynA(ShownIdleText, text, sizeof ShownIdleText);
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
    // Wine's toolbar takes its height before it wraps its buttons to the new
    // width, so it would keep the rows of the old one: asked again, it takes
    // the height of the rows it now has.
    if (HWND toolbar = Toolbar.load()) {
        SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    }
}

int BarsHeight() {
    int height = 0;
    for (HWND bar : {Toolbar.load(), StatusBar.load()}) {
        RECT rect;
        if (bar != nullptr && IsWindowVisible(bar) && GetWindowRect(bar, &rect)) {
            height += rect.bottom - rect.top;
        }
    }
    return height;
}

RECT AreaBetweenBars(HWND mainWindow) {
    RECT area{};
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
    // A closed menu gives the idle text back.
    if (menu != nullptr) {
        LoadText(LOWORD(item), text);
    } else {
        ReadIdleStatusText(text);
        lstrcpynA(ShownIdleText, text, sizeof ShownIdleText);
    }
    SetWindowTextA(bar, text);
}

void RefreshIdleText() {
    char idle[kTextBufferSize];
    ReadIdleStatusText(idle);
    HWND bar = StatusBar.load();
    char shown[kTextBufferSize]{};
    if (bar != nullptr && GetWindowTextA(bar, shown, sizeof shown) >= 0 &&
        lstrcmpA(shown, ShownIdleText) == 0) {
        SetWindowTextA(bar, idle);
    }
    lstrcpynA(ShownIdleText, idle, sizeof ShownIdleText);
}
