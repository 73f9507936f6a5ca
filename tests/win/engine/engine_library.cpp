#include "engine_library.h"

namespace enginetest {

bool EngineLibrary::load(const std::string &path, std::string &error) {
    module = LoadLibraryA(path.c_str());
    if (!module) {
        error = "LoadLibrary(" + path + ") failed: " + std::to_string(GetLastError());
        return false;
    }
    bool ok = ResolveEngineFunctions(module, *this) == 0;
    DWORD ignored = 0;
    ResolveEngineOrdinal(module, kOrdinalGetStats, getStats, ignored);
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
