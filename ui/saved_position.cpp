#include "saved_position.h"

#include <cstring>

#include "settings_store.h"

static_assert(sizeof(WINDOWPLACEMENT) == kWindowPlacementSize,
              "WindowPlacement is stored byte for byte");

namespace {
bool WindowShown = false;
} // namespace

void NoteWindowShown() {
    WindowShown = true;
}

bool ReadWindowPlacement(HWND window, WINDOWPLACEMENT &placement) {
    std::memset(&placement, 0, sizeof placement);
    placement.length = sizeof placement;
    return GetWindowPlacement(window, &placement) != FALSE;
}

void SaveWindowPlacement(HWND window) {
    if (!WindowShown || !ReadFlag(Setting::SavePosition)) {
        return;
    }
    WINDOWPLACEMENT placement;
    if (ReadWindowPlacement(window, placement)) {
        WriteStruct(Setting::WindowPlacement, &placement);
    }
}

void ApplySavedWindowPlacement(HWND window) {
    if (!ReadFlag(Setting::SavePosition)) {
        return;
    }
    WINDOWPLACEMENT placement{};
    if (ReadStruct(Setting::WindowPlacement, &placement)) {
        SetWindowPlacement(window, &placement);
    }
}
