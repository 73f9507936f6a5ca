// The speech session over DECTALK.dll: the one engine instance the
// ClockThread owns, from start to shut-down.
#pragma once

#include <windows.h>

#include "clock_pass.h"
#include "engine.h"

class EngineSession : public SpeechSession {
  public:
    // window: where failures are posted and what the engine's error callback
    // is handed back; wake: the event that a raised request sets.
    EngineSession(HWND window, HANDLE wake) : window_(window), wake_(wake) {}

    bool Start() override;
    void Stop() override;
    void ApplySettings() override;
    void Speak(const char *text, bool force, SpeechKind kind) override;
    void Interrupt() override;
    void WaitUntilSpoken(WaitWatcher &watcher) override;

    // DECTALK.dll, once started: where the speech service's functions are.
    HMODULE Module() const { return engine_.module; }

  private:
    bool Fail(UINT textId, int code);
    static DWORD WINAPI Sync(LPVOID session);

    HWND window_;
    HANDLE wake_;
    EngineLibrary engine_;
    EngineInstance *handle_ = nullptr;
};
