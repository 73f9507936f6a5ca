#include "resources.h"

#include <cstring>

HINSTANCE InstanceHandle;

void LoadText(UINT id, char *buffer, int size) {
    std::memset(buffer, 0, static_cast<size_t>(size));
    LoadStringA(InstanceHandle, id, buffer, size);
}
