// Voices outside the program that can speak for it, so that a person who
// runs a screen reader hears one voice, not two at once: the desktop's
// speech service (speech-dispatcher, through the Linux engine), NVDA, JAWS
// and UI Automation notifications (Narrator).  Each is looked up at run
// time; none is ever a hard import.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
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

// In the order they are asked: the speech service (when engine exports it),
// NVDA, JAWS, UI Automation.  window: the element that raises notifications.
std::vector<std::unique_ptr<OuterVoice>> FindOuterVoices(HMODULE engine, HWND window);
