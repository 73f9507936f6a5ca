#include "toggles.h"

#include "bars.h"
#include "menu.h"
#include "resources.h"
#include "settings_store.h"
#include "time_display.h"
#include "window_frame.h"

namespace {

void RefreshNow(HWND window) {
    PostMessageA(window, WM_TIMER, 0, 0);
}

void Nothing(HWND) {}

// How the element stands in a newly created window, and what Reset does.
enum class Element : uint8_t {
    Child,    // a child window, created off: Reset rebuilds it
    Frame,    // part of the frame: Reset restores it with the style
    MarkOnly, // the check mark and the setting alone
};

// A toggle's state is its check mark, and for the elements that own a
// window or the detached menu, that handle as well.
struct Toggle {
    UINT id;
    Setting setting;
    bool inSystemMenu;
    Element element;
    bool createdOn;          // the window is created with it on (its title)
    bool defaultOn;          // as Reset leaves it
    bool (*elementExists)(); // null: the check mark alone
    void (*switchOn)(HWND window);
    void (*switchOff)(HWND window);
};

const Toggle kToggles[] = {
    {ID_PAINT_TIME, Setting::PaintTime, false, Element::Child, false, true, TimeDisplayExists,
     PaintTimeOn, PaintTimeOff},
    {ID_INCLUDE_SECONDS, Setting::IncludeSeconds, false, Element::MarkOnly, false, true, nullptr,
     RefreshNow, RefreshNow},
    {ID_TOOLBAR, Setting::ToolBar, false, Element::Child, false, true, ToolbarExists, ToolbarOn,
     ToolbarOff},
    {ID_STATUS_BAR, Setting::StatusBar, false, Element::Child, false, true, StatusBarExists,
     StatusBarOn, StatusBarOff},
    {ID_ALWAYS_ON_TOP, Setting::OnTop, false, Element::Frame, false, false, nullptr, OnTopOn,
     OnTopOff},
    {ID_SHOW_TITLE, Setting::ShowTitle, false, Element::Frame, true, true, nullptr, ShowTitleOn,
     ShowTitleOff},
    {ID_HIDE_MENU_BAR, Setting::HideMenu, true, Element::Frame, false, false, MenuBarDetached,
     DetachMenuBar, AttachMenuBar},
    {ID_SAVE_WINDOW_POSITION, Setting::SavePosition, true, Element::MarkOnly, false, false, nullptr,
     Nothing, Nothing},
};

// The orders the sequences fix.
const UINT kMenuBarCreation[] = {ID_PAINT_TIME, ID_INCLUDE_SECONDS, ID_TOOLBAR,
                                 ID_STATUS_BAR, ID_ALWAYS_ON_TOP,   ID_SHOW_TITLE};
const UINT kSystemMenuRows[] = {ID_HIDE_MENU_BAR, ID_SAVE_WINDOW_POSITION};
const UINT kShutdown[] = {ID_STATUS_BAR, ID_TOOLBAR, ID_PAINT_TIME};
const UINT kMenuBarReset[] = {ID_ALWAYS_ON_TOP, ID_SHOW_TITLE, ID_STATUS_BAR,
                              ID_TOOLBAR,       ID_PAINT_TIME, ID_INCLUDE_SECONDS};

const Toggle *FindToggle(UINT id) {
    for (const Toggle &toggle : kToggles) {
        if (toggle.id == id) {
            return &toggle;
        }
    }
    return nullptr;
}

HMENU ToggleMenu(HWND window, const Toggle &toggle) {
    return toggle.inSystemMenu ? GetSystemMenu(window, FALSE) : CurrentMenuBar(window);
}

bool IsOn(HWND window, const Toggle &toggle) {
    return IsMenuItemChecked(ToggleMenu(window, toggle), toggle.id) &&
           (toggle.elementExists == nullptr || toggle.elementExists());
}

// Checks the item of a stored-on element; switches whatever differs from how
// the window was created (an untitled window loses its caption).
void RestoreStored(HWND window, const Toggle &toggle) {
    const bool on = ReadFlag(toggle.setting);
    if (on) {
        SetMenuItemCheck(ToggleMenu(window, toggle), toggle.id, true);
    }
    if (on && !toggle.createdOn) {
        toggle.switchOn(window);
    } else if (!on && toggle.createdOn) {
        toggle.switchOff(window);
    }
}

void SwitchOffIfOn(HWND window, const Toggle &toggle) {
    if (IsOn(window, toggle)) {
        SetMenuItemCheck(ToggleMenu(window, toggle), toggle.id, false);
        toggle.switchOff(window);
    }
}

void Reset(HWND window, const Toggle &toggle) {
    if (toggle.element == Element::Child) {
        toggle.switchOff(window);
        toggle.switchOn(window);
    }
    SetMenuItemCheck(ToggleMenu(window, toggle), toggle.id, toggle.defaultOn);
}

template <size_t N>
void ForEach(HWND window, const UINT (&ids)[N], void (*step)(HWND, const Toggle &)) {
    for (UINT id : ids) {
        step(window, *FindToggle(id));
    }
}

} // namespace

bool RunToggle(HWND window, UINT id, bool systemMenu) {
    const Toggle *toggle = FindToggle(id);
    if (toggle == nullptr || toggle->inSystemMenu != systemMenu) {
        return false;
    }
    const bool on = IsOn(window, *toggle);
    SetMenuItemCheck(ToggleMenu(window, *toggle), toggle->id, !on);
    if (on) {
        toggle->switchOff(window);
    } else {
        toggle->switchOn(window);
    }
    KeepRoomForTime(window); // a bar switched on takes room from the time
    WriteFlag(toggle->setting, !on);
    return true;
}

void RestoreMenuBarToggles(HWND window) {
    ForEach(window, kMenuBarCreation, RestoreStored);
}

void RestoreSystemMenuToggles(HWND window) {
    ForEach(window, kSystemMenuRows, RestoreStored);
}

void SwitchOffChildWindows(HWND window) {
    ForEach(window, kShutdown, SwitchOffIfOn);
}

void ResetMenuBarToggles(HWND window) {
    ForEach(window, kMenuBarReset, Reset);
}

void ResetSystemMenuToggles(HWND window) {
    ForEach(window, kSystemMenuRows, Reset);
}
