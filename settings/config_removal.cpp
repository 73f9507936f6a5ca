#include "config_removal.h"

#include <windows.h>

#include <initializer_list>

#include "alarm_list.h"
#include "settings_store.h"

namespace {

void DeleteSectionKeys() {
    for (const char *section : {kSectionSettings, kSectionAppearance, kSectionAlarms}) {
        char path[kTextBufferSize];
        if (BuildSectionPath(section, path)) {
            RegDeleteKeyA(HKEY_CURRENT_USER, path); // an absent key is fine
        }
    }
}

} // namespace

uint32_t DeleteConfiguration() {
    if (UseRegistry == 0) {
        // The registry's ConfigFile and UseRegistry stay: they still name this file.
        return DeleteFileA(ConfigFilePath) ? ERROR_SUCCESS : GetLastError();
    }
    DeleteSectionKeys();
    // Not recursive: a product key that still holds a foreign subkey stays, and
    // that failure is the result.
    uint32_t result = static_cast<uint32_t>(RegDeleteKeyA(HKEY_CURRENT_USER, kProductKeyPath));
    DeleteMakerKeyIfEmpty();
    return result;
}

void DeleteKeyIfEmpty(const char *path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    DWORD subkeys = 0;
    DWORD values = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        subkeys == 0 && values == 0) {
        RegDeleteKeyA(HKEY_CURRENT_USER, path);
    }
    RegCloseKey(key);
}

void DeleteMakerKeyIfEmpty() {
    DeleteKeyIfEmpty(kMakerKeyPath);
}
