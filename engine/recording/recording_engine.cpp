// The recording engine: a DECTALK.dll for the program's own tests.  It speaks
// nothing; it logs every call and simulates speaking time, so that tests can
// see what the program asked for, and when.  Environment variables (read at
// each start-up) steer it; engine/README.md lists them and the log format.
#include "engine_api.h"
#include "live_instances.h"
#include "log_line.h"
#include "voices.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

namespace {

std::string env(const char *name) {
    char buffer[1024];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

long envNumber(const char *name, long fallback) {
    std::string v = env(name);
    if (v.empty())
        return fallback;
    char *end = nullptr;
    long n = std::strtol(v.c_str(), &end, 10);
    return end && *end == '\0' ? n : fallback;
}

// QueryPerformanceCounter in milliseconds: under Wine this is the host's
// CLOCK_MONOTONIC_RAW, the same clock in every process.
double nowMs() {
    LARGE_INTEGER c, f;
    QueryPerformanceCounter(&c);
    QueryPerformanceFrequency(&f);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

SRWLOCK g_logLock = SRWLOCK_INIT;

// One line per event, appended whole, so that several processes and threads
// can share one log.
void logLine(const std::vector<std::string> &fields) {
    std::string path = env("ORVANEL_RECORDING_LOG");
    if (path.empty())
        return;
    AcquireSRWLockExclusive(&g_logLock);
    // Stamped under the lock, so the lines of one process are in time order.
    std::string line = engine::formatLogLine(nowMs(), fields);
    HANDLE f = CreateFileA(path.c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(f);
    }
    ReleaseSRWLockExclusive(&g_logLock);
}

struct Recorder {
    int id = 0;
    uint32_t options = 0;
    EngineErrorCallback callback = nullptr;
    uint32_t user = 0;
    uint32_t messageId = 0;
    long msPerChar = 0;
    long callbackKind = 0;
    long callbackDelayMs = 0;
    bool callbackOnSpeak = false;

    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE changed = CONDITION_VARIABLE_INIT;
    std::deque<std::string> queue;
    std::string current;
    bool speaking = false;  // the worker holds `current` until its line is logged
    bool completed = false; // `current` was spoken to its end
    bool stopping = false;
    unsigned cuts = 0; // bumped by every reset
    HANDLE worker = nullptr;
    HANDLE notifier = nullptr;
    volatile LONG callers = 0;

    void enter() { InterlockedIncrement(&callers); }
    void leave() { InterlockedDecrement(&callers); }
};

using Live = engine::LiveInstances<Recorder>;
using Use = engine::Use<Recorder>;
std::atomic<int> g_nextId{1};

std::string idOf(const Recorder *r) {
    return r ? std::to_string(r->id) : "0";
}

void raiseCallback(Recorder *r) {
    logLine({"callback", idOf(r), std::to_string(r->callbackKind), std::to_string(r->messageId)});
    r->callback(static_cast<int32_t>(r->callbackKind), 0, r->user, r->messageId);
}

DWORD WINAPI notifierMain(void *p) {
    auto *r = static_cast<Recorder *>(p);
    Sleep(static_cast<DWORD>(r->callbackDelayMs));
    raiseCallback(r);
    return 0;
}

// Speaks the queue in simulated time: each text takes its length times the
// per-character time.  A text spoken to its end is logged "spoken" before
// anyone waiting is released; one cut short is logged "cut" by the call that
// cut it, so the log follows the order of the calls.
DWORD WINAPI workerMain(void *p) {
    auto *r = static_cast<Recorder *>(p);
    AcquireSRWLockExclusive(&r->lock);
    for (;;) {
        while (r->queue.empty() && !r->stopping)
            SleepConditionVariableSRW(&r->changed, &r->lock, INFINITE, 0);
        if (r->stopping)
            break;
        r->current = std::move(r->queue.front());
        r->queue.pop_front();
        r->speaking = true;
        const unsigned cutsBefore = r->cuts;
        const ULONGLONG due =
            GetTickCount64() + static_cast<ULONGLONG>(r->msPerChar) * r->current.size();
        while (r->cuts == cutsBefore && !r->stopping) {
            ULONGLONG now = GetTickCount64();
            if (now >= due)
                break;
            SleepConditionVariableSRW(&r->changed, &r->lock, static_cast<DWORD>(due - now), 0);
        }
        if (r->cuts == cutsBefore && !r->stopping) {
            r->completed = true;
            ReleaseSRWLockExclusive(&r->lock);
            logLine({"spoken", idOf(r), r->current});
            AcquireSRWLockExclusive(&r->lock);
        }
        r->speaking = false;
        r->completed = false;
        WakeAllConditionVariable(&r->changed);
    }
    ReleaseSRWLockExclusive(&r->lock);
    return 0;
}

// Under the lock: what a reset or shut-down cuts off, in the order it is logged.
std::vector<std::string> cutOffLocked(Recorder *r) {
    std::vector<std::string> lines;
    if (r->speaking && !r->completed)
        lines.push_back(r->current);
    for (std::string &t : r->queue)
        lines.push_back(std::move(t));
    r->queue.clear();
    return lines;
}

void logCutOff(Recorder *r, const std::vector<std::string> &texts, bool currentWasCut) {
    for (size_t i = 0; i < texts.size(); ++i)
        logLine({i == 0 && currentWasCut ? "cut" : "dropped", idOf(r), texts[i]});
}

} // namespace

extern "C" {

uint32_t ENGINE_CALL EngineStartup(EngineInstance **instance, int32_t device, uint32_t options,
                                   EngineErrorCallback callback, uint32_t user) {
    // Start-ups are counted so a test can let the first succeed and fail a restart.
    static std::atomic<long> startups{0};
    const long startup = ++startups;
    long forced = envNumber("ORVANEL_RECORDING_STARTUP_RESULT", 0);
    if (startup < envNumber("ORVANEL_RECORDING_STARTUP_FAILS_FROM", 1))
        forced = 0;
    uint32_t result = kEngineOk;
    if (!instance)
        result = kEngineBadArguments;
    else if (forced != 0)
        result = static_cast<uint32_t>(forced);
    Recorder *r = nullptr;
    if (result == kEngineOk) {
        r = new Recorder();
        r->options = options;
        r->callback = callback;
        r->user = user;
        r->msPerChar = std::max(0L, envNumber("ORVANEL_RECORDING_MS_PER_CHAR", 0));
        r->callbackKind = envNumber("ORVANEL_RECORDING_CALLBACK_KIND", 0);
        // By default late enough for the program to have registered its message id.
        r->callbackDelayMs = std::max(0L, envNumber("ORVANEL_RECORDING_CALLBACK_DELAY_MS", 200));
        r->callbackOnSpeak = env("ORVANEL_RECORDING_CALLBACK_WHEN") == "speak";
        std::string message = env("ORVANEL_RECORDING_CALLBACK_MESSAGE");
        r->messageId =
            RegisterWindowMessageA(message.empty() ? "DECtalkErrorMessage" : message.c_str());
        r->id = g_nextId++;
        Live::all().add(r);
        r->worker = CreateThread(nullptr, 0, workerMain, r, 0, nullptr);
    }
    if (instance)
        *instance = reinterpret_cast<EngineInstance *>(r);
    logLine({"startup", idOf(r), std::to_string(device), std::to_string(options),
             callback ? "1" : "0", std::to_string(user), std::to_string(result)});
    if (r && r->callback && r->callbackKind != 0 && !r->callbackOnSpeak)
        r->notifier = CreateThread(nullptr, 0, notifierMain, r, 0, nullptr);
    return result;
}

uint32_t ENGINE_CALL EngineShutdown(EngineInstance *instance) {
    Recorder *r = Live::all().remove(instance);
    logLine({"shutdown", r ? idOf(r) : "invalid"});
    if (!r)
        return kEngineBadInstance;
    AcquireSRWLockExclusive(&r->lock);
    const bool currentCut = r->speaking && !r->completed;
    std::vector<std::string> cutOff = cutOffLocked(r);
    r->stopping = true;
    WakeAllConditionVariable(&r->changed);
    ReleaseSRWLockExclusive(&r->lock);
    logCutOff(r, cutOff, currentCut);
    if (r->worker) {
        WaitForSingleObject(r->worker, INFINITE);
        CloseHandle(r->worker);
    }
    // Like the real engine, shut-down does not wait long for a callback that
    // is showing a message box; the instance is then left to the process.
    if (r->notifier && WaitForSingleObject(r->notifier, 5000) != WAIT_OBJECT_0)
        return kEngineOk;
    if (r->notifier)
        CloseHandle(r->notifier);
    while (InterlockedCompareExchange(&r->callers, 0, 0) != 0)
        Sleep(1);
    delete r;
    return kEngineOk;
}

uint32_t ENGINE_CALL EngineSpeak(EngineInstance *instance, const char *text, uint32_t flags) {
    Use u(instance);
    Recorder *r = u.get();
    logLine({"speak", r ? idOf(r) : "invalid", std::to_string(flags), text ? text : ""});
    if (!r)
        return kEngineBadInstance;
    if (!text)
        return kEngineBadArguments;
    AcquireSRWLockExclusive(&r->lock);
    r->queue.emplace_back(text);
    WakeAllConditionVariable(&r->changed);
    // Raised once, from its own thread, at the first speak call.
    if (r->callbackOnSpeak && r->callbackKind != 0 && r->callback && !r->notifier)
        r->notifier = CreateThread(nullptr, 0, notifierMain, r, 0, nullptr);
    ReleaseSRWLockExclusive(&r->lock);
    return kEngineOk;
}

uint32_t ENGINE_CALL EngineReset(EngineInstance *instance, uint32_t complete) {
    Use u(instance);
    Recorder *r = u.get();
    logLine({"reset", r ? idOf(r) : "invalid", std::to_string(complete)});
    if (!r)
        return kEngineBadInstance;
    AcquireSRWLockExclusive(&r->lock);
    const bool currentCut = r->speaking && !r->completed;
    std::vector<std::string> cutOff = cutOffLocked(r);
    ++r->cuts;
    // Logged before the worker can let a waiting sync return.
    logCutOff(r, cutOff, currentCut);
    WakeAllConditionVariable(&r->changed);
    ReleaseSRWLockExclusive(&r->lock);
    return kEngineOk;
}

uint32_t ENGINE_CALL EngineSync(EngineInstance *instance) {
    Use u(instance);
    Recorder *r = u.get();
    logLine({"sync", r ? idOf(r) : "invalid"});
    if (!r)
        return kEngineBadInstance;
    AcquireSRWLockExclusive(&r->lock);
    while ((!r->queue.empty() || r->speaking) && !r->stopping)
        SleepConditionVariableSRW(&r->changed, &r->lock, INFINITE, 0);
    ReleaseSRWLockExclusive(&r->lock);
    logLine({"sync_done", idOf(r)});
    return kEngineOk;
}

uint32_t ENGINE_CALL EngineSetRate(EngineInstance *instance, uint32_t rate) {
    Use u(instance);
    logLine({"set_rate", u.get() ? idOf(u.get()) : "invalid",
             std::to_string(static_cast<int32_t>(rate))});
    return u.get() ? kEngineOk : kEngineBadInstance;
}

uint32_t ENGINE_CALL EngineSetSpeaker(EngineInstance *instance, uint32_t speaker) {
    Use u(instance);
    logLine({"set_speaker", u.get() ? idOf(u.get()) : "invalid", std::to_string(speaker)});
    return u.get() ? kEngineOk : kEngineBadInstance;
}

uint32_t ENGINE_CALL EngineGetCaps(void *record32) {
    logLine({"get_caps", "0"});
    if (!record32)
        return kEngineBadArguments;
    const auto lowest = static_cast<int32_t>(envNumber("ORVANEL_RECORDING_RATE_MIN", 80));
    const auto highest = static_cast<int32_t>(envNumber("ORVANEL_RECORDING_RATE_MAX", 900));
    engine::writeCapabilities({9, 22050, engine::kEngineVersion, lowest, highest, 180, 100, 0},
                              static_cast<unsigned char *>(record32));
    return kEngineOk;
}

uint32_t ENGINE_CALL EngineLoadUserDictionary(EngineInstance *instance, const char *path) {
    Use u(instance);
    logLine({"load_dictionary", u.get() ? idOf(u.get()) : "invalid", path ? path : ""});
    return u.get() ? kEngineOk : kEngineBadInstance;
}

uint32_t ENGINE_CALL EngineUnloadUserDictionary(EngineInstance *instance) {
    Use u(instance);
    logLine({"unload_dictionary", u.get() ? idOf(u.get()) : "invalid"});
    return u.get() ? kEngineOk : kEngineBadInstance;
}

} // extern "C"
