// Clipboard text on its way to the engine.  The engine takes "[:" as the
// start of an in-line command; text read from the clipboard must be spoken as
// text, so every "[:" in it is broken up.  Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <string>

// Text that may be handed to the engine: either the clipboard's own memory
// (nothing in it needed changing) or a corrected copy.
struct ClipboardSpeech {
    const char *text = nullptr;
    std::string copy;
};

// data holds size bytes of clipboard memory.  The text ends at its first zero
// byte or at the end of the memory, whichever comes first; nothing past size
// is read.
void PrepareClipboardSpeech(const char *data, size_t size, ClipboardSpeech &speech);
