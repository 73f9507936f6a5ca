// The file choosers of both dialogs.
#pragma once

#include <windows.h>

enum class Browse {
    Dictionary, // open an existing user dictionary
    AlarmSound, // open an existing WAV file, with a Test button that plays it
    IniFile,    // name an INI file (the older, non-Explorer save dialog)
};

// Runs the chooser owned by dialog; when a file is chosen, the text box
// field gets its full path.  A cancelled or failed chooser leaves it as is.
void BrowseIntoField(HWND dialog, int field, Browse kind);
