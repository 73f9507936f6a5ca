#include "startup.h"

#include <cstring>

bool HasSwitch(const char *commandLine, const char *switchText) {
    return commandLine != nullptr && std::strstr(commandLine, switchText) != nullptr;
}

bool AppendDefaultIniName(char *folder, size_t size) {
    static const char kName[] = "\\Orvanel.ini";
    size_t length = strnlen(folder, size);
    if (length + sizeof kName > size) {
        return false;
    }
    std::memcpy(folder + length, kName, sizeof kName);
    return true;
}
