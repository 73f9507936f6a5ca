// What the ClockThread's Win32 files share: the engine as the thread holds
// it, the texts it loads at its start, and the steps used by more than one
// part of a pass.
#pragma once

#include <windows.h>

#include "engine.h"
#include "pass_decision.h"
#include "settings_catalogue.h"

// The engine's operations and the one instance the ClockThread owns.
struct Speech {
    EngineLibrary engine;
    EngineInstance *handle = nullptr;
};

// Loaded from the string table once, at thread start.
struct ThreadTexts {
    char universalTimeWords[kTextBufferSize]; // 410
    char picture12[kTextBufferSize];          // 413
    char picture24[kTextBufferSize];          // 414
    char ready[kTextBufferSize];              // 418
    char speaking[kTextBufferSize];           // 419
    char errorCaption[kTextBufferSize];       // 434
};

void Speak(const Speech &speech, const char *text, bool force);

// If Interruptability is on, cut off whatever is queued or sounding.
void InterruptionStep(const Speech &speech);

// Composes and speaks the announcement for this pass's clock reading.
void AnnounceTime(const Speech &speech, const ThreadTexts &texts, HWND mainWindow,
                  const SYSTEMTIME &clock, bool startupAnnouncementPending);
