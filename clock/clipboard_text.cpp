#include "clipboard_text.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>

// "[:" begins an in-line command; "[ :" begins none and sounds the same.
static const char kCommandOpening[] = "[:";

bool PrepareClipboardSpeech(const char *data, size_t size, ClipboardSpeech &speech) {
    std::string().swap(speech.copy);
    speech.text = nullptr;
    if (data == nullptr) {
        data = "";
        size = 0;
    }
    const size_t length = strnlen(data, std::min(size, kClipboardSpeechLimit));
    // Ended by its zero, rather than by the memory's end or the limit.
    const bool terminated = length < size && data[length] == '\0';
    const std::string_view text(data, length);
    size_t openings = 0;
    for (size_t at = text.find(kCommandOpening); at != std::string_view::npos;
         at = text.find(kCommandOpening, at + 1)) {
        ++openings;
    }
    if (terminated && openings == 0) {
        // The common case: speak straight from the clipboard's memory, no copy.
        speech.text = data;
        return true;
    }
    try {
        speech.copy.reserve(length + openings);
        for (size_t i = 0; i < length; ++i) {
            speech.copy.push_back(text[i]);
            if (text[i] == '[' && i + 1 < length && text[i + 1] == ':') {
                speech.copy.push_back(' ');
            }
        }
    } catch (const std::bad_alloc &) {
        std::string().swap(speech.copy);
        return false;
    }
    speech.text = speech.copy.c_str();
    return true;
}
