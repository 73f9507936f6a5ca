// What a fake screen reader was asked, one line each in the file named by
// ORVANEL_FAKE_READER_LOG, and whether it "runs": while the file named by
// ORVANEL_FAKE_<NAME>_RUNNING exists.
#pragma once

#include <windows.h>

#include <string>

inline void LogCall(const char *reader, const char *call, const wchar_t *text = L"") {
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("ORVANEL_FAKE_READER_LOG", path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return;
    char words[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, words, sizeof words - 1, nullptr, nullptr);
    std::string line = std::string(reader) + "\t" + call + "\t" + words + "\n";
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line.data(), DWORD(line.size()), &written, nullptr);
    CloseHandle(file);
}

inline bool Running(const char *variable) {
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA(variable, path, sizeof path);
    return n > 0 && n < sizeof path && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}
