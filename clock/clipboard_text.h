// Clipboard text on its way to the engine.  The engine takes "[:" as the
// start of an in-line command; text read from the clipboard must be spoken as
// text, so every "[:" in it is broken up.  Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <string>

// At most this much of the clipboard's text is spoken: some 16 million
// characters, days of speech at any rate.  It bounds the copy that breaking
// up commands needs, and the engine's own copy of the text.
constexpr size_t kClipboardSpeechLimit = size_t{16} << 20;

// Text that may be handed to the engine: either the clipboard's own memory
// (nothing in it needed changing) or a corrected copy.
struct ClipboardSpeech {
    const char *text = nullptr;
    std::string copy;
};

// data holds size bytes of clipboard memory.  The text ends at its first zero
// byte, at the end of the memory or at the limit above, whichever comes
// first; nothing past size is read.  False, and no text, when the copy could
// not be made: a clipboard too large for the memory left is not spoken.
bool PrepareClipboardSpeech(const char *data, size_t size, ClipboardSpeech &speech);
