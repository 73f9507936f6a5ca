// The ten operations of a loaded DECTALK.dll as typed pointers, resolved by
// ordinal in one place: the program and the engine's own tests use it alike.
#pragma once

#include <windows.h>

#include "engine_api.h"

struct EngineFunctions {
    EngineStartupFn startup = nullptr;
    EngineShutdownFn shutdown = nullptr;
    EngineSpeakFn speak = nullptr;
    EngineResetFn reset = nullptr;
    EngineSyncFn sync = nullptr;
    EngineSetRateFn setRate = nullptr;
    EngineSetSpeakerFn setSpeaker = nullptr;
    EngineGetCapsFn getCaps = nullptr;
    EngineLoadUserDictionaryFn loadUserDictionary = nullptr;
    EngineUnloadUserDictionaryFn unloadUserDictionary = nullptr;
};

template <class Function>
bool ResolveEngineOrdinal(HMODULE module, int ordinal, Function &slot, DWORD &error) {
    const FARPROC address = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
    if (address == nullptr) {
        error = GetLastError();
        if (error == 0) {
            error = ERROR_PROC_NOT_FOUND;
        }
        return false;
    }
    // Through void(*)(), the one cast between function types that carries
    // no assumption about either.
    slot = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
    return true;
}

// 0 with every operation resolved, or the Windows error code for the first
// ordinal that is missing (functions is then left as it was).
inline DWORD ResolveEngineFunctions(HMODULE module, EngineFunctions &functions) {
    EngineFunctions resolved;
    DWORD error = 0;
    const bool complete =
        ResolveEngineOrdinal(module, kOrdinalStartup, resolved.startup, error) &&
        ResolveEngineOrdinal(module, kOrdinalShutdown, resolved.shutdown, error) &&
        ResolveEngineOrdinal(module, kOrdinalSpeak, resolved.speak, error) &&
        ResolveEngineOrdinal(module, kOrdinalReset, resolved.reset, error) &&
        ResolveEngineOrdinal(module, kOrdinalSync, resolved.sync, error) &&
        ResolveEngineOrdinal(module, kOrdinalSetRate, resolved.setRate, error) &&
        ResolveEngineOrdinal(module, kOrdinalSetSpeaker, resolved.setSpeaker, error) &&
        ResolveEngineOrdinal(module, kOrdinalGetCaps, resolved.getCaps, error) &&
        ResolveEngineOrdinal(module, kOrdinalLoadUserDictionary, resolved.loadUserDictionary,
                             error) &&
        ResolveEngineOrdinal(module, kOrdinalUnloadUserDictionary, resolved.unloadUserDictionary,
                             error);
    if (complete) {
        functions = resolved;
    }
    return complete ? 0 : error;
}

// The operations with the timing figures of ordinal 100, which only the real
// engine exports: what the benchmarks drive.
struct MeasuredEngineFunctions : EngineFunctions {
    EngineGetStatsFn stats = nullptr;
};

inline DWORD ResolveMeasuredEngineFunctions(HMODULE module, MeasuredEngineFunctions &functions) {
    DWORD error = ResolveEngineFunctions(module, functions);
    if (error == 0)
        ResolveEngineOrdinal(module, kOrdinalGetStats, functions.stats, error);
    return error;
}
