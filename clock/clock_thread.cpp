// The ClockThread: the Win32 thread around the portable pass (clock_pass),
// with its sleep, the real clock, the settings store, the clipboard and the
// StatusBar.
#include "clock_thread.h"

#include <cstring>
#include <vector>

#include "alarm_store.h"
#include "alarm_text.h"
#include "announcement.h"
#include "announcement_win.h"
#include "clipboard_text.h"
#include "resources.h"
#include "settings_store.h"
#include "engine_session.h"
#include "outer_voices.h"

std::atomic<int32_t> ClockThreadRunning{0};
std::atomic<uint32_t> ClockRequests{0};

namespace {

// How long a StatusBar exchange waits for the main thread.  It answers at
// once while its message loop runs; this bound only matters when the loop
// has ended and the main thread waits for this thread to end.
const UINT kStatusBarTimeoutMs = 1000;

// Auto-reset: one wake-up per burst of requests, none lost.  Made while the
// program loads, so that it exists before any thread can raise a request.
const HANDLE WakeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);

// Written by the ClockThread, read by the main thread when it puts the idle
// text back or builds the tray icon's tip.  Empty idle text: not set yet.
SRWLOCK SharedTextLock = SRWLOCK_INIT;
char SharedIdleText[kTextBufferSize];
char SharedNextAlarmText[kTextBufferSize];

void ShareTexts(const char *idle, const char *nextAlarm) {
    AcquireSRWLockExclusive(&SharedTextLock);
    lstrcpynA(SharedIdleText, idle, sizeof SharedIdleText);
    lstrcpynA(SharedNextAlarmText, nextAlarm, sizeof SharedNextAlarmText);
    ReleaseSRWLockExclusive(&SharedTextLock);
}

ClockReading ToClockReading(const SYSTEMTIME &time) {
    ClockReading reading;
    reading.year = time.wYear;
    reading.month = time.wMonth;
    reading.dayOfWeek = time.wDayOfWeek;
    reading.day = time.wDay;
    reading.hour = time.wHour;
    reading.minute = time.wMinute;
    reading.second = time.wSecond;
    reading.milliseconds = time.wMilliseconds;
    return reading;
}

SYSTEMTIME ToSystemTime(const ClockReading &reading) {
    SYSTEMTIME time{};
    time.wYear = reading.year;
    time.wMonth = reading.month;
    time.wDayOfWeek = reading.dayOfWeek;
    time.wDay = reading.day;
    time.wHour = reading.hour;
    time.wMinute = reading.minute;
    time.wSecond = reading.second;
    time.wMilliseconds = reading.milliseconds;
    return time;
}

// StatusBar exchange from expected to replacement: only a text that is
// exactly the expected one is replaced, so menu help is never overwritten.
void ExchangeStatusText(const ClockWindow &window, const char *expected, const char *replacement) {
    HWND bar = window.statusBar();
    if (bar == nullptr) {
        return;
    }
    char text[kTextBufferSize]{};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(bar, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_BLOCK | SMTO_ABORTIFHUNG, kStatusBarTimeoutMs, &result)) {
        return;
    }
    text[sizeof text - 1] = '\0';
    if (std::strcmp(text, expected) == 0) {
        SendMessageTimeoutA(bar, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(replacement),
                            SMTO_BLOCK | SMTO_ABORTIFHUNG, kStatusBarTimeoutMs, &result);
    }
}

// The chime's sound, made afresh into the temporary folder, and the engine's
// command that plays it in the stream with the speech.  False when it could
// not be written: the minute then passes without it.
bool WriteChime(const ChimePattern &chime, char (&play)[kPlayCommandSize]) {
    char path[kTextBufferSize]{};
    char name[32];
    ChimeFileName(chime, name);
    const DWORD folder = GetTempPathA(sizeof path, path);
    if (folder == 0 || folder + sizeof "Orvanel-" + std::strlen(name) > sizeof path) {
        return false;
    }
    lstrcatA(path, "Orvanel-");
    lstrcatA(path, name);
    const std::vector<uint8_t> wave = ChimeWave(chime);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool whole =
        WriteFile(file, wave.data(), static_cast<DWORD>(wave.size()), &written, nullptr) &&
        written == wave.size();
    CloseHandle(file);
    if (whole) {
        FormatPlayCommand(play, path);
    }
    return whole;
}

class ClockOnPlatform : public ClockHost, public SpeechOutputHost {
  public:
    explicit ClockOnPlatform(const ClockWindow &window)
        : window_(window), engine_(window.mainWindow, WakeEvent), session_(engine_, *this) {
        LoadAnnouncementTexts(texts_);
        LoadText(IDS_READY, ready_);
        LoadText(IDS_SPEECH_FALLBACK, fallback_);
        LoadText(IDS_READY, idle_);
        LoadText(IDS_SPEAKING, speaking_);
        LoadText(IDS_ALARM_MISSED, missedFormat_);
    }

    bool Running() override { return ClockThreadRunning.load() != 0; }

    std::atomic<uint32_t> &Requests() override { return ClockRequests; }

    void Pause(uint32_t ms) override {
        if (WakeEvent != nullptr) {
            WaitForSingleObject(WakeEvent, ms);
        } else {
            Sleep(ms < 5 ? ms : 5); // no event: poll as often as it takes
        }
    }

    // Both clocks from one reading, so that they never straddle a second.
    ClockNow ReadClock() override {
        SYSTEMTIME utc{};
        GetSystemTime(&utc);
        SYSTEMTIME local{};
        if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
            GetLocalTime(&local);
        }
        return ClockNow{ToClockReading(local), ToClockReading(utc),
                        static_cast<int64_t>(GetTickCount64())};
    }

    int32_t ReadInt(Setting id) override { return ReadSetting(id); }
    bool ReadFlag(Setting id) override { return ::ReadFlag(id); }
    void ReadText(Setting id, char (&text)[kTextBufferSize]) override { ::ReadText(id, text); }

    void ReadAlarms(AlarmSchedule (&alarms)[kMaxAlarms]) override {
        ReadAlarmSchedules(alarms, false);
    }
    void ReadAlarmText(int index, AlarmText which, char (&text)[kTextBufferSize]) override {
        ::ReadAlarmText(index, which, text);
    }

    SpeechSession &Session() override { return session_; }

    std::vector<std::unique_ptr<OuterVoice>> FindVoices() override {
        return FindOuterVoices(engine_.Module(), window_.mainWindow);
    }
    int64_t SteadyMs() override { return static_cast<int64_t>(GetTickCount64()); }
    bool WaitForWake(uint32_t ms) override {
        if (WakeEvent == nullptr) {
            Sleep(ms);
            return false;
        }
        return WaitForSingleObject(WakeEvent, ms) == WAIT_OBJECT_0;
    }

    // While no outside voice answers, the idle StatusBar text says so.
    void ShowOwnVoices(bool fellBack) override {
        if (fellBack != fellBack_) {
            fellBack_ = fellBack;
            ShowIdleText();
        }
    }

    // The engine copies the text during the speak call, so the clipboard is
    // closed right after it, whatever the text's length.
    bool SpeakClipboard() override {
        if (!OpenClipboard(nullptr)) {
            return false;
        }
        HANDLE data = GetClipboardData(CF_TEXT);
        if (data == nullptr) {
            CloseClipboard();
            return false;
        }
        if (::ReadFlag(Setting::Interruptability)) {
            session_.Interrupt();
        }
        const char *memory = static_cast<const char *>(GlobalLock(data));
        if (memory != nullptr) {
            // A text too large to prepare is not spoken; the clipboard is
            // released all the same.
            ClipboardSpeech text;
            if (PrepareClipboardSpeech(memory, GlobalSize(data), text)) {
                session_.Speak(text.text, true, SpeechKind::Clipboard);
            }
            GlobalUnlock(data);
        }
        CloseClipboard();
        return true;
    }

    void Announce(const ClockReading &clock, bool startupAnnouncement,
                  const ChimePattern *chime) override {
        char play[kPlayCommandSize];
        const bool chimed = chime != nullptr && WriteChime(*chime, play);
        AnnounceTime(session_, texts_, window_, ToSystemTime(clock), startupAnnouncement,
                     chimed ? play : nullptr);
    }

    bool PlayChime(const ChimePattern &chime) override {
        char play[kPlayCommandSize];
        if (!WriteChime(chime, play)) {
            return false;
        }
        session_.Speak(play, true, SpeechKind::Sound);
        return true;
    }

    void Beep() override { MessageBeep(0xFFFFFFFF); }

    void ShowSpeaking(bool speaking) override {
        if (speaking) {
            ExchangeStatusText(window_, idle_, speaking_);
        } else {
            ExchangeStatusText(window_, speaking_, idle_);
        }
    }

    // The idle text names the next alarm, or says "I'm ready!" when none is
    // on, unless an alarm was missed.
    void ShowNextAlarm(int64_t wall) override {
        if (wall == kNoAlarm) {
            nextAlarm_[0] = '\0';
        } else {
            FormatNextAlarm(wall, nextAlarm_);
        }
        ShowIdleText();
    }

    // Until the thread ends, the idle StatusBar text says which alarm was
    // missed instead.
    void ShowAlarmMissed(uint16_t hour, uint16_t minute, uint16_t) override {
        char time[kTextBufferSize];
        FormatAlarmTime(texts_, hour, minute, time);
        wsprintfA(missedText_, missedFormat_, time);
        missed_ = true;
        ShowIdleText();
    }

  private:
    // The main thread shows it (kIdleTextMessage): an exchange from here
    // could time out and leave the StatusBar on the old text for good.
    // The fallback to the own voices outranks a missed alarm, which outranks
    // the next one.
    void ShowIdleText() {
        const char *text = fellBack_ ? fallback_
                           : missed_ ? missedText_
                                     : (nextAlarm_[0] != '\0' ? nextAlarm_ : ready_);
        lstrcpynA(idle_, text, sizeof idle_);
        ShareTexts(idle_, nextAlarm_);
        PostMessageA(window_.mainWindow, kIdleTextMessage, 0, 0);
    }

    const ClockWindow &window_;
    EngineSession engine_;
    SpeechOutputSession session_;
    AnnouncementTexts texts_;
    char ready_[kTextBufferSize];
    char speaking_[kTextBufferSize];
    char missedFormat_[kTextBufferSize];
    char fallback_[kTextBufferSize];
    char missedText_[kTextBufferSize]{};
    char idle_[kTextBufferSize];
    char nextAlarm_[kTextBufferSize]{};
    bool missed_ = false;
    bool fellBack_ = false;
};

} // namespace

void ReadIdleStatusText(char (&text)[kTextBufferSize]) {
    AcquireSRWLockShared(&SharedTextLock);
    lstrcpynA(text, SharedIdleText, sizeof text);
    ReleaseSRWLockShared(&SharedTextLock);
    if (text[0] == '\0') {
        LoadText(IDS_READY, text);
    }
}

void ReadNextAlarmText(char (&text)[kTextBufferSize]) {
    AcquireSRWLockShared(&SharedTextLock);
    lstrcpynA(text, SharedNextAlarmText, sizeof text);
    ReleaseSRWLockShared(&SharedTextLock);
}

void RaiseRequest(ClockRequest request) {
    ClockRequests.fetch_or(request);
    WakeClockThread();
}

bool RequestRaised(ClockRequest request) {
    return (ClockRequests.load() & request) != 0;
}

void WakeClockThread() {
    if (WakeEvent != nullptr) {
        SetEvent(WakeEvent);
    }
}

DWORD WINAPI ClockThread(LPVOID clockWindow) {
    ClockOnPlatform host(*static_cast<const ClockWindow *>(clockWindow));
    ClockState state;
    if (!StartClock(state, host)) {
        return 0;
    }
    while (ClockPass(state, host)) {
    }
    return 0;
}
