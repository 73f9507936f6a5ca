// How the painted time is formatted: the portable choice of picture and
// formatting options from the settings.
#pragma once

#include <cstdint>

struct DisplayTimeFormat {
    uint16_t pictureId; // string-table id of the time picture
    uint32_t flags;     // the platform's time-formatting flags
};

// Platform flag values, fixed by the time-formatting interface.
constexpr uint32_t kTimeNoSeconds = 2;
constexpr uint32_t kTimeNoTimeMarker = 4;

DisplayTimeFormat ChooseDisplayTimeFormat(bool hour24, bool includeSeconds, bool bypassMarker);

// Where a box of the given size starts when centred in client: signed, and
// truncated toward zero, so an oversized text overflows both sides evenly.
int32_t CenteredOrigin(int32_t client, int32_t size);
