// Moves a dialog, at its WM_INITDIALOG, to where it opens (dialog_position.h).
#pragma once

#include <windows.h>

// Over its owner while the owner is shown, else in the middle of the work
// area of its monitor; always wholly on screen (PlaceDialogBox).
void PlaceDialog(HWND dialog);
