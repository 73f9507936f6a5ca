// What the ClockThread's Win32 files share: the engine as the thread holds
// it, the texts it loads at its start, and the steps used by more than one
// part of a pass.
#pragma once

#include <windows.h>

#include "clock_thread.h"
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
    char universalTimeWords[kTextBufferSize]; // IDS_UTC_WORDS
    char picture12[kTextBufferSize];          // IDS_PICTURE_12H
    char picture24[kTextBufferSize];          // IDS_PICTURE_24H
    char ready[kTextBufferSize];              // IDS_READY
    char speaking[kTextBufferSize];           // IDS_SPEAKING
};

void Speak(const Speech &speech, const char *text, bool force);

// If Interruptability is on, cut off whatever is queued or sounding.
void InterruptionStep(const Speech &speech);

// Composes and speaks the announcement for this pass's clock reading.
void AnnounceTime(const Speech &speech, const ThreadTexts &texts, const ClockWindow &window,
                  const SYSTEMTIME &clock, bool startupAnnouncementPending);
