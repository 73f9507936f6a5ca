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
};

enum EngineStartupOption {
    kEngineOwnDevice = 1,    // keep the wave-output device open until shut-down
    kEngineReportErrors = 2, // report audio-device errors through the callback
};

enum EngineSpeakFlag { kEngineNoForce = 0, kEngineForce = 1 };

enum EngineErrorKind {
    kEngineErrorWrite = 1,
    kEngineErrorOpen = 2,
    kEngineErrorCaps = 3,
};

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

#ifdef __cplusplus
}
#endif
