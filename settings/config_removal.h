// Removal of the stored configuration (Reset Configuration, Set INI Path).
#pragma once

#include <cstdint>

// 0 removed, 2 (ERROR_FILE_NOT_FOUND) nothing to remove, any other value the
// platform's error code.
uint32_t DeleteConfiguration();
void DeleteMakerKeyIfEmpty();
// Deletes HKEY_CURRENT_USER\path when it holds no values and no subkeys.
void DeleteKeyIfEmpty(const char *path);
