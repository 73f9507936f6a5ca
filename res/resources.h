// Access to the module's resources.
#pragma once

#include <windows.h>

#include <cstddef>

#include "resource_ids.h"

extern HINSTANCE InstanceHandle;

// Clears buffer, then loads string id into it (empty when there is none).
void LoadText(UINT id, char *buffer, int size);

template <size_t N> void LoadText(UINT id, char (&buffer)[N]) {
    LoadText(id, buffer, static_cast<int>(N));
}

// A message box with caption and text from the string table.  The text is
// a wsprintf format for the arguments that follow, if any (a path, an error
// code); without arguments it must hold no '%'.  Returns the button chosen.
int ShowMessageBox(HWND owner, UINT captionId, UINT textId, UINT style, ...);
