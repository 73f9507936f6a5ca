// Loads one DECTALK.dll and resolves its operations by ordinal, as the program does.
#pragma once

#include "engine_functions.h"

#include <windows.h>

#include <string>

namespace enginetest {

struct EngineLibrary : EngineFunctions {
    HMODULE module = nullptr;
    EngineGetStatsFn getStats = nullptr; // only in the real engines

    // False (with `error` set) when the DLL or one of the ten ordinals is missing.
    bool load(const std::string &windowsPath, std::string &error);
};

// A host path as Wine's Z: drive sees it.
std::string windowsPath(const std::string &unixPath);

} // namespace enginetest
