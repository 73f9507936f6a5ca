// Where the settings live: the values ConfigFile and UseRegistry directly
// under the product key.  Start-up reads them with ReadConfigLocation and the
// Set INI Path dialog edits them with the same functions, so the two always
// agree on what a stored value means.
#pragma once

#include <cstdint>

#include "settings_catalogue.h"

enum class LocationKey { Opened, Absent, Failed };

struct ConfigLocation {
    LocationKey key = LocationKey::Absent;
    // The INI path to use, environment variables expanded; empty when
    // ConfigFile is absent, empty, of a foreign type, or too long (as stored or
    // once expanded) for a 259-character path: the default path stays then.
    char configFile[kTextBufferSize] = {};
    // ConfigFile as stored, for editing; empty whenever configFile is.
    char storedText[kTextBufferSize] = {};
    bool expandable = false; // stored as REG_EXPAND_SZ
    int32_t useRegistry = 0; // 0 when absent or unreadable
};

// Reads both values.  key is Absent when there is no product key (nothing is
// stored; not an error) and Failed when it exists but cannot be read.
ConfigLocation ReadConfigLocation();

// Why a path typed for ConfigFile cannot hold the settings.
enum class PathProblem { None, NotAbsolute, NoFolder, NotWritable };

// Checks the path as start-up will use it: environment variables expanded
// into used, which must then be a full path (drive or network share) in a
// folder that exists, naming a file that can be opened for writing.  The
// file is opened for appending, never truncated; one that did not exist is
// removed again.
PathProblem CheckConfigFilePath(const char *typed, char (&used)[kTextBufferSize]);

// Whether a typed path is stored as an expandable string: it names
// environment variables (%APPDATA%...).
bool NamesEnvironmentVariables(const char *path);

// Stores the location for the next start: ConfigFile (REG_EXPAND_SZ when
// expandable, else REG_SZ, 260 bytes of data) or, when configFile is empty, no
// ConfigFile; UseRegistry 1 or no UseRegistry.  A product key left with no
// values and no subkeys is deleted, and then the maker key when it is empty.
// False when the product key cannot be opened for writing (nothing is
// written) or when a value could not be written or removed.
bool StoreConfigLocation(const char *configFile, bool expandable, bool useRegistry);
