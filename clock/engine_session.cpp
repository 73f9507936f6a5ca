#include "engine_session.h"

#include "announcement.h"
#include "clock_window.h"
#include "resources.h"
#include "settings_store.h"

namespace {

// How often a wait for speech looks at its watcher when nothing wakes it.
const DWORD kWatchMs = 1000;
// No speech the clock makes is this long: a wait that lasts longer is an
// audio device that never finishes, and the speech is cut.
const ULONGLONG kLongestWaitMs = 10 * 60 * 1000;
// After a cut the engine's wait returns at once; this bounds an engine that
// does not answer at all.
const DWORD kAfterCutMs = 5000;

} // namespace

// A fatal failure: the main window tells the user and ends the program.
bool EngineSession::Fail(UINT textId, int code) {
    PostMessageA(window_, kEngineFailedMessage, textId, code);
    return false;
}

bool EngineSession::Start() {
    // Registered before the engine starts, so that an audio error the engine
    // reports during its start-up already finds the id to match.
    const UINT messageId = RegisterEngineErrorMessage();

    DWORD code = 0;
    if (engine_.module == nullptr) {
        code = LoadEngineLibrary(engine_);
    }
    if (code == 0) {
        const int32_t device = ReadSetting(Setting::AudioDevice, -1);
        uint32_t options = kEngineReportErrors;
        if (ReadFlag(Setting::OwnDevice)) {
            options |= kEngineOwnDevice;
        }
        handle_ = nullptr;
        code = engine_.startup(&handle_, device, options, EngineErrorNotification,
                               WindowToCallbackValue(window_));
    }
    if (code != 0) {
        handle_ = nullptr;
        return Fail(IDS_ENGINE_START_FAILED, static_cast<int>(code));
    }
    if (messageId == 0) {
        engine_.shutdown(handle_);
        handle_ = nullptr;
        return Fail(IDS_ENGINE_MESSAGE_FAILED, 0);
    }
    return true;
}

void EngineSession::Stop() {
    engine_.reset(handle_, 1);
    engine_.unloadUserDictionary(handle_);
    engine_.shutdown(handle_);
    handle_ = nullptr;
}

void EngineSession::ApplySettings() {
    if (ReadFlag(Setting::ResetSpeech)) {
        engine_.reset(handle_, 1);
    }
    engine_.setSpeaker(handle_, static_cast<uint32_t>(ReadSetting(Setting::Speaker)));
    engine_.setRate(handle_, static_cast<uint32_t>(ReadSetting(Setting::Rate)));
    char volume[kVolumeCommandSize];
    FormatVolumeCommand(volume, ReadSetting(Setting::Volume));
    Speak(volume, true, SpeechKind::Sound);
    char dictionary[kTextBufferSize];
    ReadText(Setting::UserDictionary, dictionary);
    engine_.unloadUserDictionary(handle_);
    if (dictionary[0] != '\0') {
        engine_.loadUserDictionary(handle_, dictionary);
    }
}

void EngineSession::Speak(const char *text, bool force, SpeechKind) {
    engine_.speak(handle_, text, force ? kEngineForce : kEngineNoForce);
}

void EngineSession::Interrupt() {
    engine_.reset(handle_, 0);
}

DWORD WINAPI EngineSession::Sync(LPVOID session) {
    const EngineSession &waited = *static_cast<const EngineSession *>(session);
    waited.engine_.sync(waited.handle_);
    return 0;
}

// The engine's wait runs on a thread of its own so that this thread, which
// owns the engine, can still cut the speech short; the reset makes that wait
// return.
void EngineSession::WaitUntilSpoken(WaitWatcher &watcher) {
    const uint32_t errorsBefore = EngineErrorsReported.load();
    HANDLE waiter = CreateThread(nullptr, 0, Sync, this, 0, nullptr);
    if (waiter == nullptr) {
        engine_.sync(handle_);
        return;
    }
    const ULONGLONG started = GetTickCount64();
    bool cut = false;
    ULONGLONG cutAt = 0;
    for (;;) {
        const HANDLE waits[] = {waiter, wake_};
        const DWORD woken =
            WaitForMultipleObjects(wake_ != nullptr ? 2 : 1, waits, FALSE, kWatchMs);
        if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) {
            break;
        }
        const ULONGLONG now = GetTickCount64();
        if (!cut && (watcher.CutNow() || now - started > kLongestWaitMs)) {
            Interrupt();
            cut = true;
            cutAt = now;
        } else if (cut && now - cutAt > kAfterCutMs) {
            break; // the engine does not answer: leave its wait behind
        }
    }
    CloseHandle(waiter);
    if (!cut && EngineErrorsReported.load() == errorsBefore) {
        NoteSpeechWorked();
    }
}
