// Whole-file reads through the Win32 API, so paths are Windows paths in both builds.
#pragma once

#include <cstddef>
#include <string>

namespace engine {

enum class FileRead { Ok, Missing, TooLarge, Failed };

FileRead readWholeFile(const char *path, size_t maxBytes, std::string &out);

} // namespace engine
