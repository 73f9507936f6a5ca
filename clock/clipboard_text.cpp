#include "clipboard_text.h"

#include <cstring>
#include <string_view>

// "[:" begins an in-line command; "[ :" begins none and sounds the same.
static const char kCommandOpening[] = "[:";

void PrepareClipboardSpeech(const char *data, size_t size, ClipboardSpeech &speech) {
    speech.copy.clear();
    const size_t length = data == nullptr ? 0 : strnlen(data, size);
    const bool terminated = length < size;
    const bool holdsCommand =
        length >= 2 && std::string::npos != std::string_view(data, length).find(kCommandOpening);
    if (terminated && !holdsCommand) {
        // The common case: speak straight from the clipboard's memory, no copy.
        speech.text = data;
        return;
    }
    speech.copy.reserve(length + length / 2 + 1);
    for (size_t i = 0; i < length; ++i) {
        speech.copy.push_back(data[i]);
        if (data[i] == '[' && i + 1 < length && data[i + 1] == ':') {
            speech.copy.push_back(' ');
        }
    }
    speech.text = speech.copy.c_str();
}
