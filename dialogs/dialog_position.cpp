#include "dialog_position.h"

namespace {

// The start of a span of size centred on [low, high), then kept in
// [areaLow, areaHigh) with the start winning when it does not fit.
int32_t PlaceSpan(int32_t size, int32_t low, int32_t high, int32_t areaLow, int32_t areaHigh) {
    int32_t start = low + (high - low - size) / 2;
    if (start + size > areaHigh) {
        start = areaHigh - size;
    }
    return start < areaLow ? areaLow : start;
}

} // namespace

ScreenBox PlaceDialogBox(int32_t width, int32_t height, const ScreenBox &anchor,
                         const ScreenBox &workArea) {
    const int32_t left = PlaceSpan(width, anchor.left, anchor.right, workArea.left, workArea.right);
    const int32_t top = PlaceSpan(height, anchor.top, anchor.bottom, workArea.top, workArea.bottom);
    return {left, top, left + width, top + height};
}
