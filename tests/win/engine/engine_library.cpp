#include "engine_library.h"

namespace enginetest {
namespace {

template <typename Fn> bool resolve(HMODULE m, int ordinal, Fn &out) {
    out = reinterpret_cast<Fn>(
        reinterpret_cast<void *>(GetProcAddress(m, MAKEINTRESOURCEA(ordinal))));
    return out != nullptr;
}

} // namespace

bool EngineLibrary::load(const std::string &path, std::string &error) {
    module = LoadLibraryA(path.c_str());
    if (!module) {
        error = "LoadLibrary(" + path + ") failed: " + std::to_string(GetLastError());
        return false;
    }
    bool ok = resolve(module, kOrdinalStartup, startup) &&
              resolve(module, kOrdinalShutdown, shutdown) &&
              resolve(module, kOrdinalSpeak, speak) && resolve(module, kOrdinalReset, reset) &&
              resolve(module, kOrdinalSync, sync) && resolve(module, kOrdinalSetRate, setRate) &&
              resolve(module, kOrdinalSetSpeaker, setSpeaker) &&
              resolve(module, kOrdinalGetCaps, getCaps) &&
              resolve(module, kOrdinalLoadUserDictionary, loadDictionary) &&
              resolve(module, kOrdinalUnloadUserDictionary, unloadDictionary);
    resolve(module, kOrdinalGetStats, getStats);
    if (!ok)
        error = "an ordinal is missing from " + path;
    return ok;
}

std::string windowsPath(const std::string &unixPath) {
    std::string p = "Z:" + unixPath;
    for (char &c : p)
        if (c == '/')
            c = '\\';
    return p;
}

} // namespace enginetest
