// Where a dialog opens: over its owner, or in the middle of the work area
// when it has none, and always wholly inside the work area.  Portable: no
// <windows.h>.
#pragma once

#include <cstdint>

struct ScreenBox {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// A box of width by height centred on anchor, then moved into workArea; one
// larger than the work area keeps its top-left corner in it, so its caption
// can still be reached.
ScreenBox PlaceDialogBox(int32_t width, int32_t height, const ScreenBox &anchor,
                         const ScreenBox &workArea);
