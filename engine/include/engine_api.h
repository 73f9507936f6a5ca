// The speech engine's interface as the program sees it: ten operations of
// DECTALK.dll, reached by ordinal.  Everything crossing it is a pointer, a
// 32-bit integer or 8-bit text, so the MinGW program and the Winelib build
// of the engine agree on every argument.
#pragma once

#include <stdint.h>

#if defined(__WINE__) && defined(__x86_64__)
#define ENGINE_CALL __attribute__((ms_abi))
#elif defined(_WIN32)
#define ENGINE_CALL __stdcall
#else
#define ENGINE_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct EngineInstance EngineInstance;

// kind (1 write, 2 open, 3 capabilities), unused, the value given at start-up,
// the id of the registered window message "DECtalkErrorMessage".
typedef void(ENGINE_CALL *EngineErrorCallback)(int32_t kind, int32_t unused, uint32_t user,
                                               uint32_t messageId);

enum EngineOrdinal {
    kOrdinalShutdown = 2,
    kOrdinalSpeak = 3,
    kOrdinalReset = 9,
    kOrdinalSync = 10,
    kOrdinalSetRate = 12,
    kOrdinalSetSpeaker = 14,
    kOrdinalGetCaps = 17,
    kOrdinalLoadUserDictionary = 18,
    kOrdinalUnloadUserDictionary = 19,
    kOrdinalStartup = 26,
    // Not used by the program: timing figures for the benchmark.
    kOrdinalGetStats = 100,
};

enum EngineStartupOption {
    kEngineOwnDevice = 1,    // keep the wave-output device open until shut-down
    kEngineReportErrors = 2, // report audio-device errors through the callback
};

// kEngineLiteral, or-ed into speak's flag: the text is never taken as an
// in-line command, even when all of it looks like one (text from the clipboard).
enum EngineSpeakFlag { kEngineNoForce = 0, kEngineForce = 1, kEngineLiteral = 2 };

// Results.  Start-up returns the first five; a non-zero result of any other
// operation means that the call did nothing (the program examines none of them).
enum EngineResult {
    kEngineOk = 0,
    kEngineNoSynthesiser = 1001,  // the speech synthesiser cannot be created
    kEngineNoVoiceData = 1002,    // the synthesiser has no usable voice or voice data
    kEngineBadArguments = 1003,   // a null pointer where one is required
    kEngineOutOfResources = 1004, // no memory, thread or event for a new instance
    kEngineBadInstance = 1005,    // null, unknown or already shut-down instance
    kEngineFileError = 1006,      // a dictionary file that cannot be read
};

enum EngineErrorKind {
    kEngineErrorWrite = 1,
    kEngineErrorOpen = 2,
    kEngineErrorCaps = 3,
};

// The speakers set-speaker takes: 0 to kEngineSpeakerCount - 1.
enum { kEngineSpeakerCount = 9 };

// The capability record: 32 bytes; the rate range lies at offsets 12 and 16.
enum { kEngineCapsSize = 32, kEngineCapsMinRateOffset = 12, kEngineCapsMaxRateOffset = 16 };

typedef uint32_t(ENGINE_CALL *EngineStartupFn)(EngineInstance **instance, int32_t device,
                                               uint32_t options, EngineErrorCallback callback,
                                               uint32_t user);
typedef uint32_t(ENGINE_CALL *EngineShutdownFn)(EngineInstance *instance);
typedef uint32_t(ENGINE_CALL *EngineSpeakFn)(EngineInstance *instance, const char *text,
                                             uint32_t force);
typedef uint32_t(ENGINE_CALL *EngineResetFn)(EngineInstance *instance, uint32_t complete);
typedef uint32_t(ENGINE_CALL *EngineSyncFn)(EngineInstance *instance);
typedef uint32_t(ENGINE_CALL *EngineSetRateFn)(EngineInstance *instance, uint32_t rate);
typedef uint32_t(ENGINE_CALL *EngineSetSpeakerFn)(EngineInstance *instance, uint32_t speaker);
typedef uint32_t(ENGINE_CALL *EngineGetCapsFn)(void *record32);
typedef uint32_t(ENGINE_CALL *EngineLoadUserDictionaryFn)(EngineInstance *instance,
                                                          const char *path);
typedef uint32_t(ENGINE_CALL *EngineUnloadUserDictionaryFn)(EngineInstance *instance);

// Filled by ordinal 100.  Times are QueryPerformanceCounter ticks.
typedef struct EngineStats {
    uint32_t size;          // set by the caller to sizeof(EngineStats)
    uint32_t sampleRate;    // of the synthesised audio
    int64_t lastSpeakTick;  // the latest speak call that queued speech while idle
    int64_t firstWriteTick; // the first buffer handed to waveOut after it (0: none yet)
    int64_t synthesisTicks; // time spent synthesising, waiting for the device excluded
    int64_t samplesSynthesised;
    int64_t tickFrequency;
} EngineStats;
typedef uint32_t(ENGINE_CALL *EngineGetStatsFn)(EngineInstance *instance, EngineStats *stats);

// The desktop's speech service (speech-dispatcher), exported by name by the
// Linux build only: the program looks these up at run time, so no other
// build needs them.  One connection per process, opened on first use.
enum ServicePriority {
    kServiceMessage = 0,   // queued after the reader's speech, never dropped
    kServiceImportant = 1, // spoken at once
    kServiceText = 2,      // cut by the reader's next words
};
// 0 when the text was handed to a running service.
typedef int32_t(ENGINE_CALL *ServiceSayFn)(const char *text, int32_t priority);
// Cancels this program's own messages only.
typedef void(ENGINE_CALL *ServiceCancelFn)(void);
// How many of this program's messages the service has not finished.
typedef int32_t(ENGINE_CALL *ServiceBusyFn)(void);
// A speaker 0-8, words per minute, volume 0-100.
typedef void(ENGINE_CALL *ServiceVoiceFn)(int32_t speaker, int32_t rate, int32_t volume);
typedef void(ENGINE_CALL *ServiceCloseFn)(void);

#ifdef __cplusplus
}
#endif
