// Where a dialog opens, for its WM_INITDIALOG.
#pragma once

#include <windows.h>

// Over its owner while the owner is shown, else in the middle of the work
// area of its monitor; always wholly on screen (PlaceDialogBox).
void PlaceDialog(HWND dialog);
