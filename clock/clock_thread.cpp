// The ClockThread: owns the speech engine, serves the user interface's
// requests, sounds the alarm and speaks the time when it is due.  The
// decisions live in pass_decision and announcement; this file is the order
// of the steps and their calls into Windows and the engine.
#include "clock_thread.h"

#include <cstring>

#include "announcement.h"
#include "clipboard_text.h"
#include "clock_win.h"
#include "resources.h"
#include "settings_store.h"

std::atomic<int32_t> ClockThreadRunning{0};
std::atomic<int32_t> RestartSpeechRequested{0};
std::atomic<int32_t> ApplySpeechSettingsRequested{0};
std::atomic<int32_t> ReadClipboardRequested{0};
std::atomic<int32_t> SpeakTimeRequested{0};
std::atomic<int32_t> StopSpeakingRequested{0};

namespace {

// How long a StatusBar exchange waits for the main thread.  It answers at
// once while its message loop runs; this bound only matters when the loop
// has ended and the main thread waits for this thread to end.
const UINT kStatusBarTimeoutMs = 1000;

// Auto-reset: one wake-up per burst of requests, none lost.  Made while the
// program loads, so that it exists before any thread can raise a request.
const HANDLE WakeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);

// The thread's private state, alive as long as the thread.
struct ClockThreadState {
    const ClockWindow *window = nullptr;
    HWND mainWindow = nullptr;
    ThreadTexts texts;
    Speech speech;
    AnnouncementBookkeeping bookkeeping;
    ClockReading previousPass; // the clock reading of the last pass
    bool previousPassUtc = false;
    bool waitedForSpeech = false; // the last pass took a waiting step
};

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

SYSTEMTIME ReadClock(bool utc) {
    SYSTEMTIME time;
    if (utc) {
        GetSystemTime(&time);
    } else {
        GetLocalTime(&time);
    }
    return time;
}

void LoadThreadTexts(ThreadTexts &texts) {
    LoadText(IDS_UTC_WORDS, texts.universalTimeWords);
    LoadText(IDS_PICTURE_12H, texts.picture12);
    LoadText(IDS_PICTURE_24H, texts.picture24);
    LoadText(IDS_READY, texts.ready);
    LoadText(IDS_SPEAKING, texts.speaking);
}

HWND MessageBoxOwner(HWND mainWindow) {
    return IsWindowVisible(mainWindow) ? mainWindow : nullptr;
}

// A fatal failure: tell the user (string textId, with the engine's code
// where it has a place for one), then have the main window end the program.
void EndWithError(const ClockThreadState &state, UINT textId, int code = 0) {
    ShowMessageBox(MessageBoxOwner(state.mainWindow), IDS_CAPTION_ERROR, textId, MB_ICONERROR,
                   code);
    PostMessageA(state.mainWindow, WM_DESTROY, 0, 0);
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

DWORD WINAPI WaitUntilSpoken(LPVOID speech) {
    const Speech &waited = *static_cast<const Speech *>(speech);
    waited.engine.sync(waited.handle);
    return 0;
}

// What ends a wait early besides Stop Speaking: a long clipboard reading
// gives way to the end of the program and to Restart Speech, while an
// announcement or the alarm is heard whole.
enum class Cut { OnStopOnly, AlsoOnExitOrRestart };

bool LeavingOrRestarting() {
    return ClockThreadRunning.load() == 0 || RestartSpeechRequested.load() != 0;
}

// Waits until the engine has spoken everything.  The engine's wait runs on a
// thread of its own so that this thread, which owns the engine, can still cut
// the speech short; the reset makes that wait return.
void WaitForSpeech(ClockThreadState &state, Cut cut) {
    const Speech &speech = state.speech;
    HANDLE waiter = CreateThread(nullptr, 0, WaitUntilSpoken, &state.speech, 0, nullptr);
    if (waiter == nullptr || WakeEvent == nullptr) {
        if (waiter != nullptr) {
            WaitForSingleObject(waiter, INFINITE);
            CloseHandle(waiter);
        } else {
            speech.engine.sync(speech.handle);
        }
        return;
    }
    const HANDLE waits[] = {waiter, WakeEvent};
    bool cutOff = false;
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        const bool stop = StopSpeakingRequested.load() != 0;
        if (!cutOff && (stop || (cut == Cut::AlsoOnExitOrRestart && LeavingOrRestarting()))) {
            speech.engine.reset(speech.handle, 0);
            cutOff = true;
        }
        if (stop) {
            StopSpeakingRequested.store(0);
        }
    }
    WaitForSingleObject(waiter, INFINITE); // at once, unless the wait above failed
    CloseHandle(waiter);
}

void WaitingStep(ClockThreadState &state, Cut cut = Cut::OnStopOnly) {
    ExchangeStatusText(*state.window, state.texts.ready, state.texts.speaking);
    WaitForSpeech(state, cut);
    ExchangeStatusText(*state.window, state.texts.speaking, state.texts.ready);
    state.waitedForSpeech = true;
}

// Stop Speaking while the thread is not waiting: what is queued or sounding
// (Interruptability on) is cut off.
void StopSpeaking(const Speech &speech) {
    speech.engine.reset(speech.handle, 0);
    StopSpeakingRequested.store(0);
}

// Engine start procedure, at thread start and on restart.  False after a
// fatal failure, which has already been shown and WM_DESTROY posted.
bool StartEngine(ClockThreadState &state) {
    Speech &speech = state.speech;
    // Registered before the engine starts, so that an audio error the engine
    // reports during its start-up already finds the id to match.
    const UINT messageId = RegisterEngineErrorMessage();

    DWORD code = 0;
    if (speech.engine.module == nullptr) {
        code = LoadEngineLibrary(speech.engine);
    }
    if (code == 0) {
        const int32_t device = ReadSetting(Setting::AudioDevice, -1);
        uint32_t options = kEngineReportErrors;
        if (ReadFlag(Setting::OwnDevice)) {
            options |= kEngineOwnDevice;
        }
        speech.handle = nullptr;
        code = speech.engine.startup(&speech.handle, device, options, EngineErrorNotification,
                                     WindowToCallbackValue(state.mainWindow));
    }
    if (code != 0) {
        speech.handle = nullptr;
        EndWithError(state, IDS_ENGINE_START_FAILED, static_cast<int>(code));
        return false;
    }
    if (messageId == 0) {
        speech.engine.shutdown(speech.handle);
        speech.handle = nullptr;
        EndWithError(state, IDS_ENGINE_MESSAGE_FAILED);
        return false;
    }
    return true;
}

// Reset completely, drop the dictionary and shut down: at the normal end and
// before a restart.
void StopEngine(Speech &speech) {
    speech.engine.reset(speech.handle, 1);
    speech.engine.unloadUserDictionary(speech.handle);
    speech.engine.shutdown(speech.handle);
    speech.handle = nullptr;
}

bool RequestPending() {
    return RestartSpeechRequested.load() != 0 || ApplySpeechSettingsRequested.load() != 0 ||
           ReadClipboardRequested.load() != 0 || SpeakTimeRequested.load() != 0 ||
           StopSpeakingRequested.load() != 0;
}

// The pause between passes: asleep until just past the next second boundary,
// unless a request is raised (RaiseRequest) or a second has gone by that
// no pass has read yet.
void Pause(ClockThreadState &state) {
    const ClockReading now = ToClockReading(ReadClock(state.previousPassUtc));
    const bool workPending = RequestPending() || state.waitedForSpeech;
    const uint32_t sleepMs = PauseBeforePass(state.previousPass, now, workPending);
    state.waitedForSpeech = false;
    if (WakeEvent != nullptr) {
        WaitForSingleObject(WakeEvent, sleepMs);
    } else {
        Sleep(sleepMs < 5 ? sleepMs : 5); // no event: poll as often as it takes
    }
}

void ApplySpeechSettings(const Speech &speech) {
    if (ReadFlag(Setting::ResetSpeech)) {
        speech.engine.reset(speech.handle, 1);
    }
    speech.engine.setSpeaker(speech.handle, static_cast<uint32_t>(ReadSetting(Setting::Speaker)));
    speech.engine.setRate(speech.handle, static_cast<uint32_t>(ReadSetting(Setting::Rate)));
    char volume[kVolumeCommandSize];
    FormatVolumeCommand(volume, ReadSetting(Setting::Volume));
    Speak(speech, volume, true);
    char dictionary[kTextBufferSize];
    ReadText(Setting::UserDictionary, dictionary);
    speech.engine.unloadUserDictionary(speech.handle);
    if (dictionary[0] != '\0') {
        speech.engine.loadUserDictionary(speech.handle, dictionary);
    }
    ApplySpeechSettingsRequested.store(0);
}

// Speaks the clipboard's text.  The engine copies the text during the speak
// call, so the clipboard is closed right after it, whatever the text's length.
void ReadClipboard(ClockThreadState &state) {
    if (OpenClipboard(nullptr)) {
        HANDLE data = GetClipboardData(CF_TEXT);
        if (data == nullptr) {
            CloseClipboard();
        } else {
            InterruptionStep(state.speech);
            const char *memory = static_cast<const char *>(GlobalLock(data));
            if (memory != nullptr) {
                // A text too large to prepare is not spoken; the clipboard is
                // released all the same.
                ClipboardSpeech text;
                if (PrepareClipboardSpeech(memory, GlobalSize(data), text)) {
                    Speak(state.speech, text.text, true);
                }
                GlobalUnlock(data);
            }
            CloseClipboard();
            if (!ReadFlag(Setting::Interruptability)) {
                WaitingStep(state, Cut::AlsoOnExitOrRestart);
            }
        }
    }
    ReadClipboardRequested.store(0);
}

void SoundAlarmIfDue(ClockThreadState &state, const ClockReading &clock) {
    if (!ReadFlag(Setting::AlarmEnabled)) {
        return;
    }
    const uint16_t hour = LowWord(ReadSetting(Setting::AlarmHour));
    const uint16_t minute = LowWord(ReadSetting(Setting::AlarmMinute));
    const uint16_t second = LowWord(ReadSetting(Setting::AlarmSecond));
    if (!IsAlarmSecond(clock, hour, minute, second)) {
        return;
    }
    InterruptionStep(state.speech);
    char file[kTextBufferSize];
    ReadText(Setting::AlarmFile, file);
    if (file[0] != '\0') {
        char play[kPlayCommandSize];
        FormatPlayCommand(play, file);
        Speak(state.speech, play, true);
    }
    char message[kTextBufferSize];
    ReadText(Setting::AlarmMessage, message);
    if (message[0] != '\0') {
        Speak(state.speech, message, true);
    }
    WaitingStep(state); // always, so the alarm is heard whole
}

// The quiet-hours and beep settings, read only when an announcement gets
// that far.
struct GateSettingsStore : AnnouncementGateSettings {
    QuietHours ReadQuietHours() override {
        QuietHours quiet;
        quiet.quietMode = ReadFlag(Setting::QuietMode);
        if (quiet.quietMode) {
            quiet.afterHour = LowWord(ReadSetting(Setting::QuietAfterHour));
            quiet.beforeHour = LowWord(ReadSetting(Setting::QuietBeforeHour));
        }
        return quiet;
    }
    bool ReadBeepInterval() override { return ReadFlag(Setting::BeepInterval); }
};

// The time part of a pass: interval, clock, alarm, the announcement decision,
// the announcement itself, its waiting step and the bookkeeping.
void TimePass(ClockThreadState &state) {
    const uint16_t interval = ClampInterval(ReadSetting(Setting::CheckInterval));
    const bool utc = ReadFlag(Setting::UniversalTime);
    const SYSTEMTIME time = ReadClock(utc);
    const ClockReading clock = ToClockReading(time);
    state.previousPass = clock;
    state.previousPassUtc = utc;

    SoundAlarmIfDue(state, clock);

    GateSettingsStore gate;
    const PassDecision decision =
        DecidePass(state.bookkeeping, clock, interval, SpeakTimeRequested.load() != 0, gate);
    if (!decision.announce) {
        return;
    }
    if (decision.beep) {
        MessageBeep(0xFFFFFFFF);
    }
    AnnounceTime(state.speech, state.texts, *state.window, time,
                 state.bookkeeping.startupAnnouncementPending);
    if (!ReadFlag(Setting::Interruptability)) {
        WaitingStep(state);
    }
    RecordAnnouncement(state.bookkeeping, clock);
    SpeakTimeRequested.store(0);
}

} // namespace

void Speak(const Speech &speech, const char *text, bool force) {
    speech.engine.speak(speech.handle, text, force ? kEngineForce : kEngineNoForce);
}

void InterruptionStep(const Speech &speech) {
    if (ReadFlag(Setting::Interruptability)) {
        speech.engine.reset(speech.handle, 0);
    }
}

void RaiseRequest(std::atomic<int32_t> &flag) {
    flag.store(1);
    WakeClockThread();
}

void WakeClockThread() {
    if (WakeEvent != nullptr) {
        SetEvent(WakeEvent);
    }
}

DWORD WINAPI ClockThread(LPVOID clockWindow) {
    ClockThreadState state;
    state.window = static_cast<const ClockWindow *>(clockWindow);
    state.mainWindow = state.window->mainWindow;
    LoadThreadTexts(state.texts);
    if (!StartEngine(state)) {
        return 0;
    }
    state.bookkeeping.startupAnnouncementPending = ReadFlag(Setting::StartupAnnounce);
    RaiseRequest(ApplySpeechSettingsRequested);

    for (;;) {
        if (ClockThreadRunning.load() == 0) {
            StopEngine(state.speech);
            return 0;
        }
        Pause(state);
        if (RestartSpeechRequested.load() != 0) {
            StopEngine(state.speech);
            if (!StartEngine(state)) {
                return 0;
            }
            RestartSpeechRequested.store(0);
            RaiseRequest(ApplySpeechSettingsRequested);
        }
        if (ApplySpeechSettingsRequested.load() != 0) {
            ApplySpeechSettings(state.speech);
        }
        if (StopSpeakingRequested.load() != 0) {
            StopSpeaking(state.speech);
        }
        if (ReadClipboardRequested.load() != 0) {
            ReadClipboard(state);
        }
        TimePass(state);
    }
}
