// The speech session the ClockThread holds: Orvanel's own engine, or, with
// SpeechOutput 1, the first outside voice that runs at the moment of each
// utterance, falling back to the engine.  The engine always runs: it plays
// the alarm's sound file, and speaks whatever no outside voice took.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine_session.h"
#include "outer_voices.h"

class SpeechOutputSession : public SpeechSession {
  public:
    // fallback: told true when an utterance meant for an outside voice went
    // to the engine because none answered, false when one answers again.
    SpeechOutputSession(HWND window, HANDLE wake, std::function<void(bool)> fallback)
        : window_(window), wake_(wake), own_(window, wake), fallback_(std::move(fallback)) {}

    bool Start() override;
    void Stop() override;
    void ApplySettings() override;
    void Speak(const char *text, bool force, SpeechKind kind) override;
    void Interrupt() override;
    void WaitUntilSpoken(WaitWatcher &watcher) override;

  private:
    void HandOver(const std::string &text, SpeechKind kind);
    void CancelOuter();
    void WaitForOuter(WaitWatcher &watcher);

    HWND window_;
    HANDLE wake_;
    EngineSession own_;
    std::function<void(bool)> fallback_;
    std::vector<std::unique_ptr<OuterVoice>> voices_;
    bool useOuter_ = false;
    bool fellBack_ = false;
    std::string pending_; // text held until it is forced, as the engine does
    // Forced text held while the engine plays a sound (the alarm's file), so
    // that the outside voice speaks after it, not over it.
    std::vector<std::pair<std::string, SpeechKind>> afterSound_;
    bool soundQueued_ = false;
    OuterVoice *speaking_ = nullptr; // the outside voice last given text
    ULONGLONG estimatedEnd_ = 0;     // for one that does not report its end
    ULONGLONG longestEnd_ = 0;       // past this, the wait for it is given up
};
