// Voices outside the program that can speak for it, so that a person who
// runs a screen reader hears one voice, not two at once: the desktop's
// speech service (speech-dispatcher, through the Linux engine), NVDA, JAWS
// and UI Automation notifications (Narrator).  Each is looked up at run
// time; none is ever a hard import.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "speech_output.h"

// In the order they are asked: the speech service (when engine exports it),
// NVDA, JAWS, UI Automation.  window: the element that raises notifications.
std::vector<std::unique_ptr<OuterVoice>> FindOuterVoices(HMODULE engine, HWND window);
