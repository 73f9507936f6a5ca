// Helpers shared by the Windows tests: scratch folders, registry clean-up.
#pragma once

#include <windows.h>

#include <string>

// A fresh, empty folder under the temporary folder, unique to this process.
std::string MakeScratchFolder(const char *name);
void RemoveTree(const std::string &folder);

// HKCU\SOFTWARE\Tallowen and everything below it, gone.
void DeleteMakerTree();
bool RegistryKeyExists(const char *path);

std::string ReadWholeFile(const std::string &path);
void WriteWholeFile(const std::string &path, const std::string &content);
