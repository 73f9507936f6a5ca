// The SettingsStore: typed reads and writes of Orvanel's settings, in the INI
// file named by ConfigFilePath or in the registry, chosen per call by
// UseRegistry.  No cache: every read goes to storage, every write goes out.
#pragma once

#include <cstdint>

#include "settings_catalogue.h"

// Settled by start-up before the main window exists, constant afterwards.
extern char ConfigFilePath[kTextBufferSize];
extern int32_t UseRegistry;

extern const char kMakerKeyPath[];   // SOFTWARE\Tallowen, under HKEY_CURRENT_USER
extern const char kProductKeyPath[]; // SOFTWARE\Tallowen\Orvanel
extern const char kValueConfigFile[];
extern const char kValueUseRegistry[];

// The key of a section, kProductKeyPath\section, into a cleared path; false
// when it would not fit.
bool BuildSectionPath(const char *section, char (&path)[kTextBufferSize]);

int32_t GetSettingInt(const char *section, const char *key, int32_t defaultValue, const char *file);
// The caller clears buffer first; returns the length of the text now in it.
uint32_t GetSettingString(const char *section, const char *key, const char *defaultText,
                          char *buffer, uint32_t size, const char *file);
// The largest record GetSettingStruct reads; the catalogue's records are far smaller.
constexpr uint32_t kMaxRecordSize = 1024;
static_assert(kWindowPlacementSize <= kMaxRecordSize && kLogFontSize <= kMaxRecordSize &&
              kCustomColorsSize <= kMaxRecordSize);
// True only when buffer was filled from storage; otherwise buffer is untouched.
bool GetSettingStruct(const char *section, const char *key, void *buffer, uint32_t size,
                      const char *file);
void WriteSettingString(const char *section, const char *key, const char *text, const char *file);
void WriteSettingStruct(const char *section, const char *key, const void *data, uint32_t size,
                        const char *file);
// Removes one value; an absent one is not a failure.
void DeleteSettingValue(const char *section, const char *key, const char *file);

// A write that storage refused (INI file or registry).  The handler is called
// once per run, at the first failure, on the thread that wrote; a failure
// before a handler is set is kept for it and handed over by the setter.
void SetSettingsWriteFailureHandler(void (*handler)());

// Catalogue-level access: section, key and default come from the catalogue,
// the file is ConfigFilePath.
int32_t ReadSetting(Setting id);
int32_t ReadSetting(Setting id, int32_t defaultValue); // a reading site with its own default
bool ReadFlag(Setting id);
// Clears buffer, then reads; a Text default is loaded from the string table first.
void ReadText(Setting id, char (&buffer)[kTextBufferSize]);
bool ReadStruct(Setting id, void *record); // record holds the catalogue's size
void WriteFlag(Setting id, bool on);       // "1" or "0"
void WriteInt(Setting id, int32_t value);  // "%d"
void WriteText(Setting id, const char *text);
void WriteStruct(Setting id, const void *record);
