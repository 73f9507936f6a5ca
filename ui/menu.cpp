#include "menu.h"

HMENU DetachedMenuBar = nullptr;

HMENU CurrentMenuBar(HWND window) {
    HMENU attached = GetMenu(window);
    return attached != nullptr ? attached : DetachedMenuBar;
}

bool IsMenuItemChecked(HMENU menu, UINT id) {
    const UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

void SetMenuItemCheck(HMENU menu, UINT id, bool checked) {
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}
