#include "config_location.h"

#include <windows.h>

#include <cstring>

#include "config_removal.h"
#include "setting_parse.h"
#include "settings_store.h"

namespace {

// UseRegistry as the Set INI Path dialog stores it (a DWORD); a number typed
// by hand as text counts too, anything else reads as absent.
int32_t ReadUseRegistryValue(HKEY product) {
    BYTE data[kTextBufferSize]{};
    DWORD type = REG_NONE;
    DWORD size = sizeof data - 1;
    if (RegQueryValueExA(product, kValueUseRegistry, nullptr, &type, data, &size) !=
        ERROR_SUCCESS) {
        return 0;
    }
    if ((type == REG_DWORD || type == REG_BINARY) && size == sizeof(int32_t)) {
        int32_t value;
        std::memcpy(&value, data, sizeof value);
        return value;
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        return ParseSettingInt(reinterpret_cast<const char *>(data), size);
    }
    return 0;
}

// ConfigFile into location; an unusable value leaves both texts empty.
void ReadConfigFileValue(HKEY product, ConfigLocation &location) {
    char stored[kTextBufferSize]{};
    DWORD type = REG_NONE;
    DWORD size = sizeof stored;
    if (RegQueryValueExA(product, kValueConfigFile, nullptr, &type,
                         reinterpret_cast<BYTE *>(stored), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || stored[sizeof stored - 1] != '\0') {
        return;
    }
    char usable[kTextBufferSize]{};
    if (type == REG_EXPAND_SZ) {
        // The same limit as a plain path: the expansion and its zero must fit.
        DWORD needed = ExpandEnvironmentStringsA(stored, usable, sizeof usable);
        if (needed == 0 || needed > sizeof usable) {
            return;
        }
    } else {
        lstrcpynA(usable, stored, sizeof usable);
    }
    std::memcpy(location.configFile, usable, sizeof usable);
    std::memcpy(location.storedText, stored, sizeof stored);
    location.expandable = type == REG_EXPAND_SZ;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// "X:\..." or "\\server\share\...": anything else the platform would
// resolve against a current directory or drive.
bool IsFullPath(const char *path) {
    const char letter = static_cast<char>(path[0] | 0x20);
    const bool drive = letter >= 'a' && letter <= 'z' && path[1] == ':' && IsSeparator(path[2]);
    const bool share = IsSeparator(path[0]) && IsSeparator(path[1]);
    return drive || share;
}

bool FolderExists(const char *path) {
    char folder[kTextBufferSize]{};
    lstrcpynA(folder, path, sizeof folder);
    char *last = nullptr;
    for (char *c = folder; *c != '\0'; ++c) {
        if (IsSeparator(*c)) {
            last = c;
        }
    }
    if (last == nullptr) {
        return false;
    }
    last[last == folder + 2 && folder[1] == ':' ? 1 : 0] = '\0'; // "C:\" stays the root
    const DWORD attributes = GetFileAttributesA(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CanWriteFile(const char *path) {
    HANDLE file =
        CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool created = GetLastError() != ERROR_ALREADY_EXISTS;
    CloseHandle(file);
    if (created) {
        DeleteFileA(path);
    }
    return true;
}

} // namespace

bool NamesEnvironmentVariables(const char *path) {
    return std::strchr(path, '%') != nullptr;
}

PathProblem CheckConfigFilePath(const char *typed, char (&used)[kTextBufferSize]) {
    std::memset(used, 0, sizeof used);
    const DWORD needed = ExpandEnvironmentStringsA(typed, used, sizeof used);
    if (needed == 0 || needed > sizeof used) {
        // Start-up could not use it either: it would fall back to the default.
        std::memset(used, 0, sizeof used);
        lstrcpynA(used, typed, sizeof used);
        return PathProblem::NotWritable;
    }
    if (!IsFullPath(used)) {
        return PathProblem::NotAbsolute;
    }
    if (!FolderExists(used)) {
        return PathProblem::NoFolder;
    }
    return CanWriteFile(used) ? PathProblem::None : PathProblem::NotWritable;
}

ConfigLocation ReadConfigLocation() {
    ConfigLocation location;
    HKEY product = nullptr;
    LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, kProductKeyPath, 0, KEY_READ, &product);
    if (opened != ERROR_SUCCESS) {
        location.key = opened == ERROR_FILE_NOT_FOUND ? LocationKey::Absent : LocationKey::Failed;
        return location;
    }
    location.key = LocationKey::Opened;
    ReadConfigFileValue(product, location);
    location.useRegistry = ReadUseRegistryValue(product);
    RegCloseKey(product);
    return location;
}

bool StoreConfigLocation(const char *configFile, bool expandable, bool useRegistry) {
    HKEY product = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kProductKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &product, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    // A value that is already absent counts as removed.
    auto removed = [](LSTATUS status) {
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    };
    char data[kTextBufferSize]{};
    lstrcpynA(data, configFile, sizeof data);
    bool stored = true;
    if (data[0] != '\0') {
        stored = RegSetValueExA(product, kValueConfigFile, 0, expandable ? REG_EXPAND_SZ : REG_SZ,
                                reinterpret_cast<const BYTE *>(data), sizeof data) == ERROR_SUCCESS;
    } else {
        stored = removed(RegDeleteValueA(product, kValueConfigFile));
    }
    if (useRegistry) {
        DWORD one = 1;
        stored =
            RegSetValueExA(product, kValueUseRegistry, 0, REG_DWORD,
                           reinterpret_cast<const BYTE *>(&one), sizeof one) == ERROR_SUCCESS &&
            stored;
    } else {
        stored = removed(RegDeleteValueA(product, kValueUseRegistry)) && stored;
    }
    RegCloseKey(product);
    DeleteKeyIfEmpty(kProductKeyPath);
    DeleteMakerKeyIfEmpty();
    return stored;
}
