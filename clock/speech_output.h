// The speech session the ClockThread holds: Orvanel's own engine, or, with
// SpeechOutput 1, the first outside voice (the desktop's speech service or a
// running screen reader) that takes each utterance, else the engine.  The
// engine always runs: it plays the alarm's sound file, and speaks whatever no
// outside voice took.  Portable: no <windows.h>.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "clock_pass.h"

class OuterVoice {
  public:
    virtual ~OuterVoice() = default;
    // Hands the text over if this voice runs now; false when it does not,
    // and then nothing of the text was spoken.
    virtual bool Say(const std::string &text, SpeechKind kind) = 0;
    // Silences what this program gave it (a reader that cannot tell ours
    // from the rest is silenced as a whole).
    virtual void Cancel() = 0;
    // Whether Busy tells when the text has been spoken; if not, the waiting
    // step estimates it from the text's length.
    virtual bool ReportsEnd() const { return false; }
    virtual bool Busy() { return false; }
    virtual void SetVoice(int32_t, int32_t, int32_t) {}
};

class SpeechOutputHost {
  public:
    // The outside voices, in the order they are asked; once the engine runs.
    virtual std::vector<std::unique_ptr<OuterVoice>> FindVoices() = 0;
    virtual int64_t SteadyMs() = 0;
    // Sleeps up to ms; true when a raised request ended it.
    virtual bool WaitForWake(uint32_t ms) = 0;
    virtual int32_t ReadInt(Setting id) = 0;
    virtual bool ReadFlag(Setting id) = 0;
    // True when an utterance meant for an outside voice went to the engine
    // because none took it; false when one takes them again.
    virtual void ShowOwnVoices(bool fellBack) = 0;

  protected:
    ~SpeechOutputHost() = default;
};

class SpeechOutputSession : public SpeechSession {
  public:
    SpeechOutputSession(SpeechSession &own, SpeechOutputHost &host) : own_(own), host_(host) {}

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

    SpeechSession &own_;
    SpeechOutputHost &host_;
    std::vector<std::unique_ptr<OuterVoice>> voices_;
    bool found_ = false;
    bool useOuter_ = false;
    bool fellBack_ = false;
    std::string pending_; // text held until it is forced, as the engine does
    // Forced text held while the engine plays a sound (the alarm's file), so
    // that the outside voice speaks after it, not over it.
    std::vector<std::pair<std::string, SpeechKind>> afterSound_;
    bool soundQueued_ = false;
    OuterVoice *speaking_ = nullptr; // the outside voice last given text
    int64_t estimatedEnd_ = 0;       // for one that does not report its end
    int64_t longestEnd_ = 0;         // past this, the wait for it is given up
};
