// The program's side of the speech engine: DECTALK.dll loaded at run time and
// its ten operations resolved by ordinal, and the error notification callback
// that the engine calls on a thread of its own choosing.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "engine_functions.h"

// The id of the registered message "DECtalkErrorMessage", which the engine
// hands back with each error; 0 until registered.
extern std::atomic<int32_t> EngineErrorMessageId;

// Registers the message, stores its id in EngineErrorMessageId and returns it
// (0 when registration failed).
UINT RegisterEngineErrorMessage();

struct EngineLibrary : EngineFunctions {
    HMODULE module = nullptr;
};

// Loads DECTALK.dll from the program's folder, else from the normal search
// path, and resolves every operation.  Returns 0, or the Windows error code
// of the load or of the first ordinal that is missing (the library is then
// released and engine left empty).  The library stays loaded for the life of
// the process: an engine shut down may still have work on its own threads.
DWORD LoadEngineLibrary(EngineLibrary &engine);

// The engine's audio errors (write, open and capability failures, each with
// its own text) that carry the message EngineErrorMessageId are counted and
// posted to the main window (the value given at start-up) as
// kEngineAudioErrorMessage; anything else is ignored.  Called on the engine's
// worker, which must never wait for a person to read a box.
void ENGINE_CALL EngineErrorNotification(int32_t kind, int32_t unused, uint32_t user,
                                         uint32_t messageId);

// How many audio errors the engine has reported.
extern std::atomic<uint32_t> EngineErrorsReported;
// Set while an error is on its way to the user or shown: one box, not one
// for each failing utterance, until speech has worked again.
extern std::atomic<int32_t> EngineErrorShown;
// Speech was heard through to its end with no error: the next error is shown.
void NoteSpeechWorked();

// The main window's handle as the 32-bit value handed back to the callback,
// and back again.  Window handles keep their meaning in 32 bits.
uint32_t WindowToCallbackValue(HWND window);
HWND CallbackValueToWindow(uint32_t value);
