#include "win_file.h"

#include <windows.h>

namespace engine {

FileRead readWholeFile(const char *path, size_t maxBytes, std::string &out) {
    out.clear();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD err = GetLastError();
        return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND ? FileRead::Missing
                                                                          : FileRead::Failed;
    }
    FileRead result = FileRead::Ok;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        result = FileRead::Failed;
    } else if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        result = FileRead::TooLarge;
    } else {
        out.resize(static_cast<size_t>(size.QuadPart));
        size_t done = 0;
        while (done < out.size()) {
            DWORD got = 0;
            DWORD want =
                static_cast<DWORD>(out.size() - done > 0x100000 ? 0x100000 : out.size() - done);
            if (!ReadFile(file, &out[done], want, &got, nullptr) || got == 0)
                break;
            done += got;
        }
        // A file that shrank while we read it gives what was there.
        out.resize(done);
    }
    CloseHandle(file);
    if (result != FileRead::Ok)
        out.clear();
    return result;
}

} // namespace engine
