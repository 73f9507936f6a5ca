#include "time_display.h"

#include <commdlg.h>
#include <mmsystem.h>

#include <cstring>

#include "announcement.h"
#include "bars.h"
#include "child_window.h"
#include "display_text.h"
#include "resources.h"
#include "settings_store.h"
#include "time_text.h"

std::atomic<HWND> TimeDisplay{nullptr};
std::atomic<UINT> PaintTimer{0};

HFONT DisplayFont = nullptr;
COLORREF DisplayTextColor = 0;
COLORREF DisplayBackgroundColor = 0;
HBRUSH BackgroundBrush = nullptr;

static_assert(sizeof(LOGFONTA) == kLogFontSize, "LogFont is stored byte for byte");
static_assert(sizeof(COLORREF[16]) == kCustomColorsSize, "CustomColors is stored byte for byte");

namespace {

const DWORD kTimeDisplayStyle = WS_CHILD | WS_VISIBLE | SS_CENTER;
const UINT kPaintPeriodMs = 1000;
const COLORREF kWhite = RGB(255, 255, 255);

UINT MinimumTimerPeriod() {
    TIMECAPS caps{};
    timeGetDevCaps(&caps, sizeof caps);
    return caps.wPeriodMin;
}

// Runs on the multimedia timer's thread.  It only posts: the refresh itself
// runs on the main thread, which alone creates and destroys the TimeDisplay,
// so a tick can never meet a control being destroyed, and killing the timer
// never waits on a routine that waits for the main thread.
void CALLBACK PaintTimerRoutine(UINT timerId, UINT, DWORD_PTR mainWindow, DWORD_PTR, DWORD_PTR) {
    if (timerId == PaintTimer.load() && TimeDisplay.load() != nullptr) {
        PostMessageA(reinterpret_cast<HWND>(mainWindow), WM_TIMER, 0, 0);
    }
}

HBRUSH CurrentBackgroundBrush() {
    return BackgroundBrush != nullptr ? BackgroundBrush
                                      : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

void SetDisplayFont(HFONT font) {
    HWND display = TimeDisplay.load();
    if (display != nullptr) {
        SendMessageA(display, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

// The time as the settings ask for it now, with the picture loaded afresh.
void FormatDisplayTime(const SYSTEMTIME &time, char (&text)[kTextBufferSize]) {
    const TimeFormat format =
        ChooseTimeFormat(ReadFlag(Setting::Hour24), ReadFlag(Setting::IncludeSeconds),
                         ReadFlag(Setting::BypassMarker));
    char picture[kTextBufferSize];
    LoadText(format.pictureId, picture);
    FormatTimeText(time, picture, format.flags, text);
}

bool TextIs(HWND control, const char *text) {
    char shown[kTextBufferSize]{};
    GetWindowTextA(control, shown, sizeof shown);
    return std::strcmp(shown, text) == 0;
}

void AppendText(char (&text)[kTextBufferSize], const char *tail) {
    const size_t used = std::strlen(text);
    lstrcpynA(text + used, tail, static_cast<int>(sizeof text - used));
}

} // namespace

HWND CreateTimeDisplay(HWND mainWindow) {
    HWND display = CreateWindowExA(0, "Static", nullptr, kTimeDisplayStyle, 0, 0, 0, 0, mainWindow,
                                   nullptr, InstanceHandle, nullptr);
    TimeDisplay.store(display);
    return display;
}

void StartPaintTimer(HWND mainWindow) {
    PaintTimer.store(timeSetEvent(kPaintPeriodMs, MinimumTimerPeriod(), PaintTimerRoutine,
                                  reinterpret_cast<DWORD_PTR>(mainWindow),
                                  TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS));
}

void StopPaintTimer() {
    const UINT timer = PaintTimer.exchange(0);
    if (timer != 0) {
        timeKillEvent(timer);
    }
}

void PaintTimeOn(HWND mainWindow) {
    if (CreateTimeDisplay(mainWindow) != nullptr) {
        ApplyDisplayFont();
    }
    StartPaintTimer(mainWindow);
    PostMessageA(mainWindow, WM_TIMER, 0, 0);
}

void PaintTimeOff(HWND) {
    StopPaintTimer();
    DestroyChild(TimeDisplay);
}

bool TimeDisplayExists() {
    return TimeDisplay.load() != nullptr;
}

void RefreshTimeDisplay(UINT timerId, HWND mainWindow) {
    char text[kTextBufferSize]{};
    if (TimeDisplay.load() == nullptr || timerId != PaintTimer.load()) {
        return;
    }
    const bool utc = ReadFlag(Setting::UniversalTime);
    SYSTEMTIME time{};
    if (utc) {
        GetSystemTime(&time);
    } else {
        GetLocalTime(&time);
    }
    FormatDisplayTime(time, text);
    if (utc) {
        char suffix[kTextBufferSize];
        LoadText(IDS_UTC_SUFFIX, suffix);
        AppendText(text, suffix);
    }
    if (ReadFlag(Setting::AnnounceDate)) {
        char date[kTextBufferSize];
        FormatDateText(time, ReadFlag(Setting::ShortDate), date);
        AppendText(text, "\n");
        AppendText(text, date);
    }
    CenterTimeDisplay(mainWindow, TimeDisplay.load(), text);
}

// Centred between the bars: never drawn under the toolbar or the status bar.
void CenterTimeDisplay(HWND mainWindow, HWND display, const char *text) {
    const RECT client = AreaBetweenBars(mainWindow);
    RECT measured{};
    HDC dc = GetDC(mainWindow);
    if (dc != nullptr) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(display, WM_GETFONT, 0, 0));
        HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
        DrawTextA(dc, text, -1, &measured, DT_CALCRECT);
        if (previous != nullptr) {
            SelectObject(dc, previous);
        }
        ReleaseDC(mainWindow, dc);
    }
    const int width = measured.right - measured.left;
    const int height = measured.bottom - measured.top;
    const int x = client.left + CenteredOrigin(client.right - client.left, width);
    const int y = client.top + CenteredOrigin(client.bottom - client.top, height);
    const RECT target = {x, y, x + width, y + height};
    RECT current{};
    GetWindowRect(display, &current);
    MapWindowPoints(nullptr, mainWindow, reinterpret_cast<POINT *>(&current), 2);
    const bool inPlace = EqualRect(&current, &target) != FALSE;
    if (inPlace && TextIs(display, text)) {
        return; // nothing to paint: the same text where it already stands
    }
    if (inPlace) {
        // The control paints its whole rectangle in the background brush.
        SetWindowTextA(display, text);
        return;
    }
    if (!MoveWindow(display, x, y, width, height, TRUE)) {
        return;
    }
    // Only where the text was and where it goes needs the background again;
    // repainting the whole client area would redraw the bars too.
    RECT area;
    UnionRect(&area, &current, &target);
    if (InvalidateRect(mainWindow, &area, TRUE)) {
        SetWindowTextA(display, text);
    }
}

void LoadDisplayAppearance() {
    DisplayTextColor = static_cast<COLORREF>(ReadSetting(Setting::FontColor));
    LOGFONTA font{};
    if (ReadStruct(Setting::LogFont, &font)) {
        ReplaceDisplayFont(CreateFontIndirectA(&font));
    }
    ReplaceBackgroundBrush(static_cast<COLORREF>(ReadSetting(Setting::BackgroundColor)));
}

void ReplaceDisplayFont(HFONT font) {
    if (DisplayFont != nullptr) {
        SetDisplayFont(nullptr);
        DeleteObject(DisplayFont);
    }
    DisplayFont = font;
    ApplyDisplayFont();
}

void ApplyDisplayFont() {
    if (DisplayFont != nullptr) {
        SetDisplayFont(DisplayFont);
    }
}

void ReplaceBackgroundBrush(COLORREF color) {
    ReleaseBackgroundBrush();
    DisplayBackgroundColor = color;
    BackgroundBrush = CreateSolidBrush(color);
}

void ReleaseBackgroundBrush() {
    if (BackgroundBrush != nullptr) {
        DeleteObject(BackgroundBrush);
        BackgroundBrush = nullptr;
    }
    DisplayBackgroundColor = 0;
}

void ResetDisplayAppearance() {
    ReplaceBackgroundBrush(kWhite);
    ReplaceDisplayFont(nullptr);
    DisplayTextColor = 0;
}

void ReleaseDisplayAppearance() {
    ReleaseBackgroundBrush();
    ReplaceDisplayFont(nullptr);
    DisplayTextColor = 0;
}

int TimeLineHeight(HWND mainWindow) {
    HDC dc = GetDC(mainWindow);
    if (dc == nullptr) {
        return 0;
    }
    // A static control without a font of its own paints in the system font.
    HGDIOBJ previous =
        SelectObject(dc, DisplayFont != nullptr ? DisplayFont : GetStockObject(SYSTEM_FONT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(mainWindow, dc);
    return metrics.tmHeight;
}

LRESULT OnEraseBackground(HWND mainWindow, HDC dc) {
    RECT client;
    GetClientRect(mainWindow, &client);
    FillRect(dc, &client, CurrentBackgroundBrush());
    return 1;
}

LRESULT OnCtlColorStatic(HDC dc, HWND control) {
    if (control == nullptr || control != TimeDisplay.load()) {
        return 0;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, DisplayTextColor);
    return reinterpret_cast<LRESULT>(CurrentBackgroundBrush());
}

void ChooseDisplayFont(HWND mainWindow) {
    LOGFONTA font{};
    CHOOSEFONTA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = mainWindow;
    request.hInstance = InstanceHandle;
    request.lpLogFont = &font;
    request.rgbColors = DisplayTextColor;
    request.Flags = CF_BOTH | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_FORCEFONTEXIST;
    HGDIOBJ current = DisplayFont != nullptr ? DisplayFont : GetStockObject(SYSTEM_FONT);
    GetObjectA(current, sizeof font, &font);
    if (!ChooseFontA(&request)) {
        return;
    }
    DisplayTextColor = request.rgbColors;
    WriteInt(Setting::FontColor, static_cast<int32_t>(DisplayTextColor));
    WriteStruct(Setting::LogFont, &font);
    ReplaceDisplayFont(CreateFontIndirectA(&font));
}

void ChooseBackgroundColor(HWND mainWindow) {
    COLORREF custom[16]{};
    ReadStruct(Setting::CustomColors, custom);
    CHOOSECOLORA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = mainWindow;
    request.hInstance = reinterpret_cast<HWND>(InstanceHandle);
    request.rgbResult = DisplayBackgroundColor;
    request.lpCustColors = custom;
    request.Flags = CC_RGBINIT | CC_ANYCOLOR;
    if (!ChooseColorA(&request)) {
        return;
    }
    WriteInt(Setting::BackgroundColor, static_cast<int32_t>(request.rgbResult));
    WriteStruct(Setting::CustomColors, custom);
    ReplaceBackgroundBrush(request.rgbResult);
    // The refresh repaints only around the time: the rest needs the new
    // colour now, once.
    InvalidateRect(mainWindow, nullptr, TRUE);
}

void BeginTimerResolution() {
    timeBeginPeriod(MinimumTimerPeriod());
}

void EndTimerResolution() {
    timeEndPeriod(MinimumTimerPeriod());
}
