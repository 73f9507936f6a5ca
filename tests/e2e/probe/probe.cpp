// probe: looks at and drives a running Orvanel from outside, as a user would,
// for the end-to-end tests.  One command per run; results on stdout as
// key=value lines; exit code 0 when the command found what it looked for.
//
//   probe window [timeoutMs]              main window: hwnd, visible, iconic, foreground
//   probe box [timeoutMs]                 first message box: caption, text, owner, icon
//   probe click <button> [timeoutMs]      press ok|yes|no in the first message box
//   probe command <id>                    post WM_COMMAND id to the main window
//   probe hotkey <id>                     post WM_HOTKEY id to the main window
//   probe message <msg> <wParam> <lParam> post any message to the main window
//   probe minimize                        minimize the main window
//   probe statusbar                       text of the main window's status bar
//   probe menu-state <id>                 checked/grayed state of a menu-bar item
//   probe clipboard-set <text>            put text on the clipboard (CF_TEXT)
//   probe clipboard-set-file <path>       the file's bytes as clipboard text
//   probe clipboard-clear                 empty the clipboard
//   probe reg-set-sz <subkey> <name> <value>       under HKEY_CURRENT_USER
//   probe reg-set-dword <subkey> <name> <value>
//   probe reg-delete-tree <subkey>
//   probe wait-gone [timeoutMs]           wait until no main window exists
//   probe dialog <caption> [timeoutMs]    a dialog and each control: class, text, state
//   probe dialog-do <caption> <action>... set, select, track or click its controls
//   probe reg-get <subkey> <name>         a value's type, size and data
//   probe reg-set-expand-sz <subkey> <name> <value>
//   probe reg-delete-value <subkey> <name>
//   probe children                        the main window's children, one line each:
//                                         child<n>=class|style|id|text|left,top,right,bottom|buttons
//   probe registered <name> <wParam> <lParam>  post a registered message to the main window
//   probe popup-menu [timeoutMs]          whether a popup menu is open
//   probe commands <rounds> <id>...       post WM_COMMAND of each id, rounds times over
//   probe manifest <exe>                  the exe's manifest resource (type 24, id 1), escaped
//   probe pixel <x> <y>                   colour on screen at that point of the main
//                                         window's client area: rgb=r,g,b
//   probe resize <width> <height>         the main window's outer size
//   probe names <caption> [timeoutMs]     each focusable control of a dialog as a
//                                         screen reader names it, and the control
//                                         before it: name<n>=id|accName|prevId|prevText
#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const char kClass[] = "Orvanel";

DWORD Timeout(int argc, char **argv, int index, DWORD fallback) {
    return argc > index ? static_cast<DWORD>(std::strtoul(argv[index], nullptr, 0)) : fallback;
}

HWND WaitForMainWindow(DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowA(kClass, kClass);
        if (window != nullptr || GetTickCount() - start >= timeoutMs) {
            return window;
        }
        Sleep(20);
    }
}

struct BoxSearch {
    HWND box;
};

BOOL CALLBACK FindBox(HWND window, LPARAM data) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") == 0 && IsWindowVisible(window)) {
        reinterpret_cast<BoxSearch *>(data)->box = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForBox(DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        BoxSearch search = {nullptr};
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.box != nullptr || GetTickCount() - start >= timeoutMs) {
            return search.box;
        }
        Sleep(20);
    }
}

// The box's icon, told apart by its colour as drawn on the screen (icon
// handles belong to the box's process and cannot be compared from here):
// the error icon is red, the warning icon yellow, the information and
// question icons blue.
const char *BoxIcon(HWND box) {
    HWND iconControl = GetDlgItem(box, 20); // the icon's id in the platform's boxes
    if (iconControl == nullptr) {
        iconControl = GetDlgItem(box, 0x0440); // and in Wine's
    }
    RECT area;
    if (iconControl == nullptr || !GetClientRect(iconControl, &area)) {
        return "none";
    }
    // Read from the screen: another process's window surface cannot be read.
    HDC dc = GetDC(nullptr);
    int red = 0, yellow = 0, blue = 0;
    for (int y = 0; y < area.bottom; ++y) {
        for (int x = 0; x < area.right; ++x) {
            POINT at = {x, y};
            ClientToScreen(iconControl, &at);
            COLORREF c = GetPixel(dc, at.x, at.y);
            int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            if (c == CLR_INVALID) {
                continue;
            }
            if (r > 150 && g < 100 && b < 100) {
                ++red;
            } else if (r > 150 && g > 150 && b < 100) {
                ++yellow;
            } else if (b > 150 && r < 120) {
                ++blue;
            }
        }
    }
    ReleaseDC(nullptr, dc);
    if (red + yellow + blue < 10) {
        return "none";
    }
    return red >= yellow && red >= blue ? "red" : yellow >= blue ? "yellow" : "blue";
}

// The message text is the box's static control with id 0xFFFF (65535).
std::string BoxText(HWND box) {
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

// A control's text as the control itself reports it: GetWindowText does not
// ask a window of another process, and some controls keep their own text.
std::string ControlText(HWND control) {
    char text[1024] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, &length);
    text[sizeof text - 1] = '\0';
    return text;
}

void PrintEscaped(const char *key, const std::string &value) {
    std::printf("%s=", key);
    for (char c : value) {
        if (c == '\n') {
            std::printf("\\n");
        } else if (c != '\r') {
            std::putchar(c);
        }
    }
    std::printf("\n");
}

int CmdWindow(int argc, char **argv) {
    HWND window = WaitForMainWindow(Timeout(argc, argv, 2, 0));
    if (window == nullptr) {
        std::printf("found=0\n");
        return 1;
    }
    std::printf("found=1\nhwnd=%p\nvisible=%d\niconic=%d\nzoomed=%d\nforeground=%d\n",
                static_cast<void *>(window), IsWindowVisible(window) ? 1 : 0,
                IsIconic(window) ? 1 : 0, IsZoomed(window) ? 1 : 0,
                GetForegroundWindow() == window ? 1 : 0);
    RECT rect;
    GetWindowRect(window, &rect);
    std::printf("rect=%ld,%ld,%ld,%ld\n", rect.left, rect.top, rect.right, rect.bottom);
    char title[260] = {};
    GetWindowTextA(window, title, sizeof title);
    std::printf("title=%s\n", title);
    std::printf("style=0x%08lx\n", static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)));
    return 0;
}

int CmdBox(int argc, char **argv) {
    HWND box = WaitForBox(Timeout(argc, argv, 2, 0));
    if (box == nullptr) {
        std::printf("found=0\n");
        return 1;
    }
    char caption[260] = {};
    GetWindowTextA(box, caption, sizeof caption);
    HWND owner = GetWindow(box, GW_OWNER);
    std::printf("found=1\n");
    PrintEscaped("caption", caption);
    PrintEscaped("text", BoxText(box));
    std::printf("owned_by_main=%d\n", owner != nullptr && owner == FindWindowA(kClass, kClass));
    std::printf("has_owner=%d\n", owner != nullptr ? 1 : 0);
    std::printf("icon=%s\n", BoxIcon(box));
    std::printf("yes=%d\nno=%d\nok=%d\n", GetDlgItem(box, IDYES) != nullptr,
                GetDlgItem(box, IDNO) != nullptr, GetDlgItem(box, IDOK) != nullptr);
    return 0;
}

int CmdClick(int argc, char **argv) {
    if (argc < 3) {
        return 2;
    }
    int id = std::strcmp(argv[2], "yes") == 0  ? IDYES
             : std::strcmp(argv[2], "no") == 0 ? IDNO
                                               : IDOK;
    HWND box = WaitForBox(Timeout(argc, argv, 3, 5000));
    if (box == nullptr) {
        std::printf("found=0\n");
        return 1;
    }
    HWND button = GetDlgItem(box, id);
    if (button == nullptr && id == IDOK) {
        button = GetDlgItem(box, IDCANCEL); // a lone OK button may carry IDCANCEL
        id = IDCANCEL;
    }
    if (button == nullptr) {
        std::printf("found=1\nbutton=0\n");
        return 1;
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    std::printf("found=1\nbutton=1\n");
    return 0;
}

int PostToMain(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = WaitForMainWindow(5000);
    if (window == nullptr) {
        std::printf("found=0\n");
        return 1;
    }
    return PostMessageA(window, message, wParam, lParam) ? 0 : 1;
}

int CmdStatusBar() {
    HWND window = WaitForMainWindow(5000);
    HWND bar = window ? FindWindowExA(window, nullptr, STATUSCLASSNAMEA, nullptr) : nullptr;
    if (bar == nullptr) {
        std::printf("found=0\n");
        return 1;
    }
    std::printf("found=1\n");
    PrintEscaped("text", ControlText(bar));
    return 0;
}

int CmdMenuState(int argc, char **argv) {
    HWND window = WaitForMainWindow(5000);
    if (window == nullptr || argc < 3) {
        std::printf("found=0\n");
        return 1;
    }
    HMENU menu = GetMenu(window);
    UINT state = menu ? GetMenuState(menu, static_cast<UINT>(std::atoi(argv[2])), MF_BYCOMMAND)
                      : static_cast<UINT>(-1);
    if (state == static_cast<UINT>(-1)) {
        std::printf("found=0\n");
        return 1;
    }
    std::printf("found=1\nchecked=%d\ngrayed=%d\n", (state & MF_CHECKED) ? 1 : 0,
                (state & MF_GRAYED) ? 1 : 0);
    return 0;
}

int SetClipboardBytes(const std::string &bytes) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
            char *data = static_cast<char *>(GlobalLock(memory));
            std::memcpy(data, bytes.data(), bytes.size());
            data[bytes.size()] = '\0';
            GlobalUnlock(memory);
            bool ok = SetClipboardData(CF_TEXT, memory) != nullptr;
            CloseClipboard();
            return ok ? 0 : 1;
        }
        Sleep(20);
    }
    return 1;
}

int CmdClipboardClear() {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
            return 0;
        }
        Sleep(20);
    }
    return 1;
}

// A value of type REG_SZ, REG_EXPAND_SZ or REG_DWORD.
int CmdRegSet(int argc, char **argv, DWORD type) {
    if (argc < 5) {
        return 2;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, argv[2], 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return 1;
    }
    LONG result;
    if (type == REG_DWORD) {
        DWORD value = static_cast<DWORD>(std::strtoul(argv[4], nullptr, 0));
        result = RegSetValueExA(key, argv[3], 0, REG_DWORD, reinterpret_cast<BYTE *>(&value),
                                sizeof value);
    } else {
        result = RegSetValueExA(key, argv[3], 0, type, reinterpret_cast<BYTE *>(argv[4]),
                                static_cast<DWORD>(std::strlen(argv[4]) + 1));
    }
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 0 : 1;
}

struct ChildList {
    HWND parent;
    int count;
};

BOOL CALLBACK PrintChild(HWND child, LPARAM data) {
    ChildList *list = reinterpret_cast<ChildList *>(data);
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    const std::string text = ControlText(child);
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, list->parent, reinterpret_cast<POINT *>(&rect), 2);
    LRESULT buttons = std::strcmp(className, TOOLBARCLASSNAMEA) == 0
                          ? SendMessageA(child, TB_BUTTONCOUNT, 0, 0)
                          : -1;
    std::string line = std::string(className) + "|";
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, "0x%08lx|%d|",
                  static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)),
                  GetDlgCtrlID(child));
    line += numbers;
    line += text;
    std::snprintf(numbers, sizeof numbers, "|%ld,%ld,%ld,%ld|%d", rect.left, rect.top, rect.right,
                  rect.bottom, static_cast<int>(buttons));
    line += numbers;
    char key[32];
    std::snprintf(key, sizeof key, "child%d", list->count++);
    PrintEscaped(key, line);
    return TRUE;
}

int CmdChildren() {
    HWND window = WaitForMainWindow(5000);
    if (window == nullptr) {
        std::printf("found=0\n");
        return 1;
    }
    RECT client;
    GetClientRect(window, &client);
    std::printf("found=1\nclient=%ld,%ld\nexstyle=0x%08lx\n", client.right, client.bottom,
                static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)));
    ChildList list = {window, 0};
    EnumChildWindows(window, PrintChild, reinterpret_cast<LPARAM>(&list));
    std::printf("count=%d\n", list.count);
    return 0;
}

BOOL CALLBACK FindPopupMenu(HWND window, LPARAM data) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32768") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND *>(data) = window;
        return FALSE;
    }
    return TRUE;
}

int CmdPopupMenu(int argc, char **argv) {
    DWORD timeoutMs = Timeout(argc, argv, 2, 0);
    DWORD start = GetTickCount();
    for (;;) {
        HWND menu = nullptr;
        EnumWindows(FindPopupMenu, reinterpret_cast<LPARAM>(&menu));
        if (menu != nullptr || GetTickCount() - start >= timeoutMs) {
            std::printf("open=%d\n", menu != nullptr ? 1 : 0);
            return menu != nullptr ? 0 : 1;
        }
        Sleep(20);
    }
}

int CmdWaitGone(int argc, char **argv) {
    DWORD timeoutMs = Timeout(argc, argv, 2, 10000);
    DWORD start = GetTickCount();
    while (FindWindowA(kClass, kClass) != nullptr) {
        if (GetTickCount() - start >= timeoutMs) {
            return 1;
        }
        Sleep(20);
    }
    return 0;
}

// --- Dialogs: read every control of a dialog, drive its controls, registry values.

struct DialogSearch {
    const char *caption;
    HWND found;
};

BOOL CALLBACK FindDialogByCaption(HWND window, LPARAM data) {
    auto *search = reinterpret_cast<DialogSearch *>(data);
    char className[64] = {};
    char caption[260] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    if (std::strcmp(className, "#32770") == 0 && IsWindowVisible(window) &&
        std::strcmp(caption, search->caption) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForDialog(const char *caption, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        DialogSearch search = {caption, nullptr};
        EnumWindows(FindDialogByCaption, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr || GetTickCount() - start >= timeoutMs) {
            return search.found;
        }
        Sleep(20);
    }
}

// The dialog of that caption, or nullptr once found=0 has been said.
HWND DialogOrNone(const char *caption, DWORD timeoutMs) {
    HWND dialog = WaitForDialog(caption, timeoutMs);
    if (dialog == nullptr) {
        std::printf("found=0\n");
    }
    return dialog;
}

void PrintControl(HWND dialog, HWND control, const char *key) {
    char className[64] = {};
    char text[1024] = {};
    GetClassNameA(control, className, sizeof className);
    SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_NORMAL, 2000, nullptr);
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&rect), 2);
    std::printf("%s.class=%s\n", key, className);
    PrintEscaped((std::string(key) + ".text").c_str(), text);
    std::printf("%s.enabled=%d\n%s.style=0x%08lx\n%s.rect=%ld,%ld,%ld,%ld\n", key,
                IsWindowEnabled(control) ? 1 : 0, key,
                static_cast<unsigned long>(GetWindowLongA(control, GWL_STYLE)), key, rect.left,
                rect.top, rect.right, rect.bottom);
    auto send = [control](UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(control, message, wParam, lParam, SMTO_NORMAL, 2000, &result);
        return static_cast<long>(result);
    };
    if (_stricmp(className, "Button") == 0) {
        std::printf("%s.check=%ld\n", key, send(BM_GETCHECK));
    } else if (_stricmp(className, "Edit") == 0) {
        const long selection = send(EM_GETSEL);
        std::printf("%s.limit=%ld\n%s.sel=%d,%d\n", key, send(EM_GETLIMITTEXT), key,
                    LOWORD(selection), HIWORD(selection));
    } else if (_stricmp(className, UPDOWN_CLASSA) == 0) {
        long range = send(UDM_GETRANGE);
        HWND buddy = reinterpret_cast<HWND>(send(UDM_GETBUDDY));
        std::printf("%s.range=%d,%d\n%s.pos=%d\n%s.buddy=%d\n", key, HIWORD(range), LOWORD(range),
                    key, static_cast<short>(LOWORD(send(UDM_GETPOS))), key,
                    buddy ? GetDlgCtrlID(buddy) : 0);
    } else if (_stricmp(className, TRACKBAR_CLASSA) == 0) {
        std::printf("%s.range=%ld,%ld\n%s.pos=%ld\n%s.page=%ld\n", key, send(TBM_GETRANGEMIN),
                    send(TBM_GETRANGEMAX), key, send(TBM_GETPOS), key, send(TBM_GETPAGESIZE));
    } else if (_stricmp(className, "ComboBox") == 0 || _stricmp(className, "ListBox") == 0) {
        const bool combo = _stricmp(className, "ComboBox") == 0;
        long count = send(combo ? CB_GETCOUNT : LB_GETCOUNT);
        std::printf("%s.count=%ld\n%s.sel=%ld\n", key, count, key,
                    send(combo ? CB_GETCURSEL : LB_GETCURSEL));
        for (long i = 0; i < count && i < 20; ++i) {
            // Through the wide message: the list is a Unicode window, and the
            // narrow one loses all but the first character across processes.
            wchar_t wide[260] = {};
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(i),
                                reinterpret_cast<LPARAM>(wide), SMTO_NORMAL, 2000, &ignored);
            char item[520] = {};
            WideCharToMultiByte(CP_ACP, 0, wide, -1, item, sizeof item, nullptr, nullptr);
            PrintEscaped((std::string(key) + ".item" + std::to_string(i)).c_str(), item);
        }
    }
}

struct DialogChildList {
    HWND dialog;
    std::string order;
    int labels;
};

BOOL CALLBACK ListDialogChild(HWND child, LPARAM data) {
    auto *list = reinterpret_cast<DialogChildList *>(data);
    if (GetParent(child) != list->dialog) {
        return TRUE; // only the dialog's own controls, not a combo box's edit
    }
    int id = GetDlgCtrlID(child);
    std::string key = std::to_string(id);
    if (id == 0xFFFF) {
        key = "label" + std::to_string(list->labels++);
    }
    list->order += (list->order.empty() ? "" : ",") + key;
    PrintControl(list->dialog, child, key.c_str());
    return TRUE;
}

// probe dialog <caption> [timeoutMs]: the dialog and every control in
// creation (tab) order; labels are label0, label1, ...
int CmdDialog(int argc, char **argv) {
    HWND dialog = DialogOrNone(argv[2], Timeout(argc, argv, 3, 10000));
    if (dialog == nullptr) {
        return 1;
    }
    HWND owner = GetWindow(dialog, GW_OWNER);
    RECT client;
    GetClientRect(dialog, &client);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui);
    std::printf("found=1\nhas_owner=%d\nowned_by_main=%d\nclient=%ld,%ld\nfocus=%d\n",
                owner != nullptr ? 1 : 0,
                owner != nullptr && owner == FindWindowA(kClass, kClass) ? 1 : 0, client.right,
                client.bottom, gui.hwndFocus ? GetDlgCtrlID(gui.hwndFocus) : 0);
    std::printf("style=0x%08lx\n", static_cast<unsigned long>(GetWindowLongA(dialog, GWL_STYLE)));
    RECT outer;
    GetWindowRect(dialog, &outer);
    MONITORINFO monitor;
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
    std::printf("rect=%ld,%ld,%ld,%ld\nwork=%ld,%ld,%ld,%ld\n", outer.left, outer.top, outer.right,
                outer.bottom, monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right,
                monitor.rcWork.bottom);
    if (owner != nullptr) {
        GetWindowRect(owner, &outer);
        std::printf("owner_rect=%ld,%ld,%ld,%ld\n", outer.left, outer.top, outer.right,
                    outer.bottom);
    }
    char ownerTitle[260] = {};
    if (owner != nullptr) {
        GetWindowTextA(owner, ownerTitle, sizeof ownerTitle);
    }
    PrintEscaped("owner_title", ownerTitle);
    DialogChildList list = {dialog, "", 0};
    EnumChildWindows(dialog, ListDialogChild, reinterpret_cast<LPARAM>(&list));
    std::printf("order=%s\n", list.order.c_str());
    return 0;
}

// probe dialog-do <caption> <action>...: in order, each of
//   set:<id>=<text>   the control's text          select:<id>=<index>  a list entry
//   track:<id>=<pos>  a trackbar's position       click:<id>           press a button
// A click that opens a modal window does not wait for it to close.
int CmdDialogDo(int argc, char **argv) {
    HWND dialog = DialogOrNone(argv[2], 10000);
    if (dialog == nullptr) {
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        std::string action = argv[i];
        size_t colon = action.find(':');
        size_t equals = action.find('=');
        if (colon == std::string::npos) {
            return 2;
        }
        std::string verb = action.substr(0, colon);
        int id = std::atoi(action.substr(colon + 1).c_str());
        std::string value = equals == std::string::npos ? "" : action.substr(equals + 1);
        HWND control = GetDlgItem(dialog, id);
        if (control == nullptr) {
            std::printf("missing=%d\n", id);
            return 1;
        }
        DWORD_PTR result = 0;
        if (verb == "set") {
            SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()),
                                SMTO_NORMAL, 2000, &result);
        } else if (verb == "select") {
            SendMessageTimeoutA(control, CB_SETCURSEL, std::atoi(value.c_str()), 0, SMTO_NORMAL,
                                2000, &result);
        } else if (verb == "track") {
            SendMessageTimeoutA(control, TBM_SETPOS, TRUE, std::atoi(value.c_str()), SMTO_NORMAL,
                                2000, &result);
        } else if (verb == "click") {
            SendMessageTimeoutA(control, BM_CLICK, 0, 0, SMTO_NORMAL, 1000, &result);
        } else {
            return 2;
        }
    }
    std::printf("found=1\n");
    return 0;
}

// probe reg-get <subkey> <name>: type, size and the data as text or number.
int CmdRegGet(int argc, char **argv) {
    if (argc < 4) {
        return 2;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, argv[2], 0, KEY_READ, &key) != ERROR_SUCCESS) {
        std::printf("key=0\nfound=0\n");
        return 1;
    }
    BYTE data[4096] = {};
    DWORD type = REG_NONE;
    DWORD size = sizeof data - 1;
    LONG result = RegQueryValueExA(key, argv[3], nullptr, &type, data, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        std::printf("key=1\nfound=0\n");
        return 1;
    }
    std::printf("key=1\nfound=1\ntype=%lu\nsize=%lu\n", static_cast<unsigned long>(type),
                static_cast<unsigned long>(size));
    if (type == REG_DWORD) {
        DWORD value = 0;
        std::memcpy(&value, data, sizeof value);
        std::printf("dword=%lu\n", static_cast<unsigned long>(value));
    } else {
        PrintEscaped("text", reinterpret_cast<char *>(data));
    }
    return 0;
}

int CmdRegDeleteValue(int argc, char **argv) {
    if (argc < 4) {
        return 2;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, argv[2], 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return 0;
    }
    RegDeleteValueA(key, argv[3]);
    RegCloseKey(key);
    return 0;
}

unsigned long Number(const char *text) {
    return std::strtoul(text, nullptr, 0);
}

// The message with wParam and lParam from the third and fourth arguments.
int PostWithArguments(UINT message, char **argv) {
    return PostToMain(message, Number(argv[3]), std::strtol(argv[4], nullptr, 0));
}

int CmdClipboardSetFile(int, char **argv) {
    std::ifstream in(argv[2], std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return SetClipboardBytes(content.str());
}

int CmdRegDeleteTree(int, char **argv) {
    LONG result = RegDeleteTreeA(HKEY_CURRENT_USER, argv[2]);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND ? 0 : 1;
}

int CmdCommands(int argc, char **argv) {
    HWND window = WaitForMainWindow(5000);
    for (int round = 0; window != nullptr && round < std::atoi(argv[2]); ++round) {
        for (int i = 3; i < argc; ++i) {
            PostMessageA(window, WM_COMMAND, Number(argv[i]), 0);
        }
    }
    return window != nullptr ? 0 : 1;
}

// The manifest as the loader finds it in the executable's resources.
int CmdManifest(int argc, char **argv) {
    if (argc < 3) {
        return 2;
    }
    HMODULE module = LoadLibraryExA(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found =
        module ? FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)) : nullptr;
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (loaded == nullptr) {
        return 1;
    }
    std::string text(static_cast<const char *>(LockResource(loaded)),
                     SizeofResource(module, found));
    PrintEscaped("manifest", text);
    FreeLibrary(module);
    return 0;
}

int CmdPixel(int argc, char **argv) {
    HWND window = WaitForMainWindow(5000);
    if (window == nullptr || argc < 4) {
        std::printf("found=0\n");
        return 1;
    }
    POINT at = {std::atoi(argv[2]), std::atoi(argv[3])};
    ClientToScreen(window, &at);
    HDC screen = GetDC(nullptr);
    COLORREF color = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    std::printf("found=1\nrgb=%d,%d,%d\n", GetRValue(color), GetGValue(color), GetBValue(color));
    return color == CLR_INVALID ? 1 : 0;
}

int CmdResize(int argc, char **argv) {
    HWND window = WaitForMainWindow(5000);
    if (window == nullptr || argc < 4) {
        return 1;
    }
    return SetWindowPos(window, nullptr, 0, 0, std::atoi(argv[2]), std::atoi(argv[3]),
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)
               ? 0
               : 1;
}

// IAccessible's id, spelled out: MinGW's oleacc import library also exports a
// symbol of that name, which the linker may take for the GUID.
const IID kAccessibleInterface = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The name the platform's accessibility layer gives a control, as a reader
// asks for it: the control's own accessible object, its name for itself.
std::string AccessibleName(HWND control) {
    IAccessible *accessible = nullptr;
    const HRESULT found =
        AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), kAccessibleInterface,
                                   reinterpret_cast<void **>(&accessible));
    if (FAILED(found)) {
        char text[64];
        std::snprintf(text, sizeof text, "<no object 0x%08lx>", static_cast<unsigned long>(found));
        return text;
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string result = "<no name>";
    if (accessible->get_accName(self, &name) == S_OK && name != nullptr) {
        char text[1024] = {};
        WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text, nullptr, nullptr);
        result = text;
        SysFreeString(name);
    }
    accessible->Release();
    return result;
}

int CmdNames(int argc, char **argv) {
    HWND dialog = DialogOrNone(argv[2], Timeout(argc, argv, 3, 10000));
    if (dialog == nullptr) {
        return 1;
    }
    CoInitialize(nullptr);
    int count = 0;
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        if ((GetWindowLongA(control, GWL_STYLE) & WS_TABSTOP) == 0) {
            continue;
        }
        HWND before = GetWindow(control, GW_HWNDPREV);
        char line[2048];
        std::snprintf(line, sizeof line, "%d|%s|%d|%s", GetDlgCtrlID(control),
                      AccessibleName(control).c_str(), before ? GetDlgCtrlID(before) : 0,
                      before ? ControlText(before).c_str() : "");
        PrintEscaped(("name" + std::to_string(count++)).c_str(), line);
    }
    std::printf("found=1\ncount=%d\n", count);
    CoUninitialize();
    return 0;
}

struct ProbeCommand {
    const char *name;
    int arguments; // at least this many follow the name
    int (*run)(int argc, char **argv);
};

const ProbeCommand kCommands[] = {
    {"window", 0, CmdWindow},
    {"box", 0, CmdBox},
    {"click", 0, CmdClick},
    {"command", 1, [](int, char **argv) { return PostToMain(WM_COMMAND, Number(argv[2]), 0); }},
    {"hotkey", 1, [](int, char **argv) { return PostToMain(WM_HOTKEY, Number(argv[2]), 0); }},
    {"message", 3,
     [](int, char **argv) { return PostWithArguments(static_cast<UINT>(Number(argv[2])), argv); }},
    {"minimize", 0, [](int, char **) { return PostToMain(WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
    {"statusbar", 0, [](int, char **) { return CmdStatusBar(); }},
    {"menu-state", 0, CmdMenuState},
    {"clipboard-set", 1, [](int, char **argv) { return SetClipboardBytes(argv[2]); }},
    {"clipboard-set-file", 1, CmdClipboardSetFile},
    {"clipboard-clear", 0, [](int, char **) { return CmdClipboardClear(); }},
    {"reg-set-sz", 0, [](int argc, char **argv) { return CmdRegSet(argc, argv, REG_SZ); }},
    {"reg-set-dword", 0, [](int argc, char **argv) { return CmdRegSet(argc, argv, REG_DWORD); }},
    {"reg-delete-tree", 1, CmdRegDeleteTree},
    {"children", 0, [](int, char **) { return CmdChildren(); }},
    {"registered", 3,
     [](int, char **argv) { return PostWithArguments(RegisterWindowMessageA(argv[2]), argv); }},
    {"commands", 2, CmdCommands},
    {"popup-menu", 0, CmdPopupMenu},
    {"wait-gone", 0, CmdWaitGone},
    {"dialog", 1, CmdDialog},
    {"dialog-do", 1, CmdDialogDo},
    {"reg-get", 0, CmdRegGet},
    {"reg-set-expand-sz", 0,
     [](int argc, char **argv) { return CmdRegSet(argc, argv, REG_EXPAND_SZ); }},
    {"manifest", 1, CmdManifest},
    {"reg-delete-value", 0, CmdRegDeleteValue},
    {"pixel", 0, CmdPixel},
    {"resize", 0, CmdResize},
    {"names", 1, CmdNames},
};

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        return 2;
    }
    for (const ProbeCommand &command : kCommands) {
        if (std::strcmp(argv[1], command.name) == 0) {
            return argc >= 2 + command.arguments ? command.run(argc, argv) : 2;
        }
    }
    return 2;
}
