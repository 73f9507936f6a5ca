// Both backends of the SettingsStore.  Every call is self-contained (its own
// key handle and buffers) so the main thread and the ClockThread may call at
// the same time without a lock.
#include "settings_store.h"

#include <windows.h>

#include <atomic>
#include <cstring>

#include "resources.h"
#include "setting_parse.h"

char ConfigFilePath[kTextBufferSize];
int32_t UseRegistry;

const char kMakerKeyPath[] = "SOFTWARE\\Tallowen";
const char kProductKeyPath[] = "SOFTWARE\\Tallowen\\Orvanel";
const char kValueConfigFile[] = "ConfigFile";
const char kValueUseRegistry[] = "UseRegistry";

bool BuildSectionPath(const char *section, char (&path)[kTextBufferSize]) {
    std::memset(path, 0, sizeof path);
    if (std::strlen(section) + sizeof kProductKeyPath >= sizeof path) {
        return false;
    }
    wsprintfA(path, "%s\\%s", kProductKeyPath, section);
    return true;
}

namespace {

HKEY OpenSectionForReading(const char *section) {
    char path[kTextBufferSize];
    HKEY key = nullptr;
    if (!BuildSectionPath(section, path) ||
        RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

// Creates the section key, and the product and maker keys above it, as needed.
HKEY OpenSectionForWriting(const char *section) {
    char path[kTextBufferSize];
    HKEY key = nullptr;
    if (!BuildSectionPath(section, path) ||
        RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

bool IsTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// The outcome of one registry query into a caller's buffer.
enum class Query { Found, Absent, TooLarge, Failed };

Query QueryValue(HKEY key, const char *name, void *buffer, DWORD size, bool wantText,
                 DWORD *length) {
    DWORD type = REG_NONE;
    DWORD bytes = size;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, static_cast<BYTE *>(buffer), &bytes);
    *length = 0;
    if (result == ERROR_FILE_NOT_FOUND) {
        return Query::Absent;
    }
    if (result == ERROR_MORE_DATA) {
        return Query::TooLarge;
    }
    if (result != ERROR_SUCCESS) {
        return Query::Failed;
    }
    // A value of a foreign type is not ours: treat it as never written.
    if (wantText ? !IsTextType(type) : type != REG_BINARY) {
        return Query::Absent;
    }
    *length = bytes;
    return Query::Found;
}

std::atomic<void (*)()> WriteFailureHandler{nullptr};
// 0: no failure yet; 1: failed, not yet reported; 2: reported.
std::atomic<int32_t> WriteFailure{0};

void ReportWriteFailure() {
    void (*handler)() = WriteFailureHandler.load();
    int32_t failed = 1;
    if (handler != nullptr && WriteFailure.compare_exchange_strong(failed, 2)) {
        handler();
    }
}

void NoteWriteResult(bool written) {
    if (written) {
        return;
    }
    int32_t none = 0;
    WriteFailure.compare_exchange_strong(none, 1);
    ReportWriteFailure();
}

void CopyDefault(const char *defaultText, char *buffer, uint32_t size) {
    if (defaultText != nullptr && size > 0) {
        lstrcpynA(buffer, defaultText, static_cast<int>(size));
    }
}

} // namespace

int32_t GetSettingInt(const char *section, const char *key, int32_t defaultValue,
                      const char *file) {
    if (UseRegistry == 0) {
        return static_cast<int32_t>(GetPrivateProfileIntA(section, key, defaultValue, file));
    }
    HKEY sectionKey = OpenSectionForReading(section);
    if (sectionKey == nullptr) {
        return defaultValue;
    }
    char text[kTextBufferSize]{};
    DWORD length = 0;
    Query found = QueryValue(sectionKey, key, text, sizeof text, true, &length);
    RegCloseKey(sectionKey);
    switch (found) {
    case Query::Absent:
        return defaultValue;
    case Query::Found:
        return ParseSettingInt(text, length);
    default:
        return 0; // unreadable or oversized: a defined 0, never stray bytes
    }
}

uint32_t GetSettingString(const char *section, const char *key, const char *defaultText,
                          char *buffer, uint32_t size, const char *file) {
    if (size == 0) {
        return 0;
    }
    if (UseRegistry == 0) {
        return GetPrivateProfileStringA(section, key, defaultText ? defaultText : "", buffer, size,
                                        file);
    }
    HKEY sectionKey = OpenSectionForReading(section);
    if (sectionKey == nullptr) {
        CopyDefault(defaultText, buffer, size);
        return static_cast<uint32_t>(std::strlen(buffer));
    }
    DWORD length = 0;
    Query found = QueryValue(sectionKey, key, buffer, size, true, &length);
    RegCloseKey(sectionKey);
    if (found == Query::Found && length == size && buffer[size - 1] != '\0') {
        found = Query::TooLarge; // fills the buffer with no room for the terminator
    }
    switch (found) {
    case Query::Found:
        if (length < size) {
            buffer[length] = '\0';
        }
        break;
    case Query::Absent:
        std::memset(buffer, 0, size);
        CopyDefault(defaultText, buffer, size);
        break;
    default:
        std::memset(buffer, 0, size); // oversized or unreadable: empty text
        break;
    }
    return static_cast<uint32_t>(std::strlen(buffer));
}

bool GetSettingStruct(const char *section, const char *key, void *buffer, uint32_t size,
                      const char *file) {
    // Both platform calls write into the buffer before they know the value is
    // good (a record with a bad checksum, a value of a foreign type), so they
    // read into a copy of the caller's record, taken back only on success.
    if (size > kMaxRecordSize) {
        return false;
    }
    unsigned char record[kMaxRecordSize];
    std::memcpy(record, buffer, size);
    bool found = false;
    if (UseRegistry == 0) {
        found = GetPrivateProfileStructA(section, key, record, size, file) != FALSE;
    } else if (HKEY sectionKey = OpenSectionForReading(section); sectionKey != nullptr) {
        DWORD length = 0;
        // A shorter record fills only the start.
        found = QueryValue(sectionKey, key, record, size, false, &length) == Query::Found;
        RegCloseKey(sectionKey);
    }
    if (found) {
        std::memcpy(buffer, record, size);
    }
    return found;
}

void SetSettingsWriteFailureHandler(void (*handler)()) {
    WriteFailureHandler.store(handler);
    ReportWriteFailure();
}

void WriteSettingString(const char *section, const char *key, const char *text, const char *file) {
    if (UseRegistry == 0) {
        NoteWriteResult(WritePrivateProfileStringA(section, key, text, file) != FALSE);
        return;
    }
    HKEY sectionKey = OpenSectionForWriting(section);
    if (sectionKey == nullptr) {
        NoteWriteResult(false);
        return;
    }
    NoteWriteResult(RegSetValueExA(sectionKey, key, 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                                   static_cast<DWORD>(std::strlen(text) + 1)) == ERROR_SUCCESS);
    RegCloseKey(sectionKey);
}

void WriteSettingStruct(const char *section, const char *key, const void *data, uint32_t size,
                        const char *file) {
    if (UseRegistry == 0) {
        NoteWriteResult(WritePrivateProfileStructA(section, key, const_cast<void *>(data), size,
                                                   file) != FALSE);
        return;
    }
    HKEY sectionKey = OpenSectionForWriting(section);
    if (sectionKey == nullptr) {
        NoteWriteResult(false);
        return;
    }
    NoteWriteResult(RegSetValueExA(sectionKey, key, 0, REG_BINARY, static_cast<const BYTE *>(data),
                                   size) == ERROR_SUCCESS);
    RegCloseKey(sectionKey);
}

void DeleteSettingValue(const char *section, const char *key, const char *file) {
    if (UseRegistry == 0) {
        NoteWriteResult(WritePrivateProfileStringA(section, key, nullptr, file) != FALSE);
        return;
    }
    char path[kTextBufferSize];
    HKEY sectionKey = nullptr;
    if (!BuildSectionPath(section, path) ||
        RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_SET_VALUE, &sectionKey) != ERROR_SUCCESS) {
        return; // no section, no value
    }
    const LONG result = RegDeleteValueA(sectionKey, key);
    NoteWriteResult(result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND);
    RegCloseKey(sectionKey);
}

int32_t ReadSetting(Setting id) {
    return ReadSetting(id, SettingDef(id).defaultValue);
}

int32_t ReadSetting(Setting id, int32_t defaultValue) {
    const SettingDefinition &def = SettingDef(id);
    return GetSettingInt(def.section, def.key, defaultValue, ConfigFilePath);
}

bool ReadFlag(Setting id) {
    return ReadSetting(id) != 0;
}

void ReadText(Setting id, char (&buffer)[kTextBufferSize]) {
    const SettingDefinition &def = SettingDef(id);
    char defaultText[kTextBufferSize];
    if (def.defaultStringId != 0) {
        LoadText(def.defaultStringId, defaultText);
    }
    std::memset(buffer, 0, sizeof buffer);
    GetSettingString(def.section, def.key, def.defaultStringId != 0 ? defaultText : nullptr, buffer,
                     sizeof buffer, ConfigFilePath);
}

bool ReadStruct(Setting id, void *record) {
    const SettingDefinition &def = SettingDef(id);
    return GetSettingStruct(def.section, def.key, record, def.structSize, ConfigFilePath);
}

void WriteFlag(Setting id, bool on) {
    const SettingDefinition &def = SettingDef(id);
    WriteSettingString(def.section, def.key, on ? "1" : "0", ConfigFilePath);
}

void WriteInt(Setting id, int32_t value) {
    const SettingDefinition &def = SettingDef(id);
    char text[kTextBufferSize]{};
    FormatSettingInt(value, text, sizeof text);
    WriteSettingString(def.section, def.key, text, ConfigFilePath);
}

void WriteText(Setting id, const char *text) {
    const SettingDefinition &def = SettingDef(id);
    WriteSettingString(def.section, def.key, text, ConfigFilePath);
}

void WriteStruct(Setting id, const void *record) {
    const SettingDefinition &def = SettingDef(id);
    WriteSettingStruct(def.section, def.key, record, def.structSize, ConfigFilePath);
}
