#include "resources.h"

#include <cstdarg>
#include <cstring>

HINSTANCE InstanceHandle;

namespace {
// As every text buffer of the program: 259 characters and the terminator.
constexpr int kResourceTextSize = 260;
} // namespace

void LoadText(UINT id, char *buffer, int size) {
    std::memset(buffer, 0, static_cast<size_t>(size));
    LoadStringA(InstanceHandle, id, buffer, size);
}

int ShowMessageBox(HWND owner, UINT captionId, UINT textId, UINT style, ...) {
    char caption[kResourceTextSize];
    char format[kResourceTextSize];
    LoadText(captionId, caption);
    LoadText(textId, format);
    // wvsprintfA writes at most 1024 characters, the terminator included.
    char text[1024]{};
    va_list arguments;
    va_start(arguments, style);
    wvsprintfA(text, format, arguments);
    va_end(arguments);
    return MessageBoxA(owner, text, caption, style);
}
