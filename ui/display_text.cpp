#include "display_text.h"

#include "resource_ids.h"

DisplayTimeFormat ChooseDisplayTimeFormat(bool hour24, bool includeSeconds, bool bypassMarker) {
    DisplayTimeFormat format;
    if (hour24) {
        format.pictureId = includeSeconds ? IDS_PICTURE_24H_SECONDS : IDS_PICTURE_24H;
    } else {
        format.pictureId = includeSeconds ? IDS_PICTURE_12H_SECONDS : IDS_PICTURE_12H;
    }
    format.flags = includeSeconds ? 0 : kTimeNoSeconds;
    if (bypassMarker) {
        format.flags |= kTimeNoTimeMarker;
    }
    return format;
}

int32_t CenteredOrigin(int32_t client, int32_t size) {
    return (client - size) / 2;
}
