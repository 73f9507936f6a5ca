#include <gtest/gtest.h>

#include "display_text.h"
#include "resource_ids.h"

TEST(DisplayTimeFormat, PictureAndFlagsForEveryCombination) {
    struct Row {
        bool hour24, seconds, bypass;
        uint16_t picture;
        uint32_t flags;
    };
    const Row rows[] = {
        {false, true, false, IDS_PICTURE_12H_SECONDS, 0},
        {false, false, false, IDS_PICTURE_12H, kTimeNoSeconds},
        {false, true, true, IDS_PICTURE_12H_SECONDS, kTimeNoTimeMarker},
        {false, false, true, IDS_PICTURE_12H, kTimeNoTimeMarker | kTimeNoSeconds},
        {true, true, false, IDS_PICTURE_24H_SECONDS, 0},
        {true, false, false, IDS_PICTURE_24H, kTimeNoSeconds},
        {true, false, true, IDS_PICTURE_24H, kTimeNoTimeMarker | kTimeNoSeconds},
    };
    for (const Row &row : rows) {
        const DisplayTimeFormat format =
            ChooseDisplayTimeFormat(row.hour24, row.seconds, row.bypass);
        EXPECT_EQ(format.pictureId, row.picture) << row.hour24 << row.seconds << row.bypass;
        EXPECT_EQ(format.flags, row.flags) << row.hour24 << row.seconds << row.bypass;
    }
}

TEST(DisplayTimeFormat, CentringTruncatesTowardZeroSoOversizedTextOverflowsEvenly) {
    EXPECT_EQ(CenteredOrigin(100, 40), 30);
    EXPECT_EQ(CenteredOrigin(101, 40), 30);
    EXPECT_EQ(CenteredOrigin(100, 103), -1); // -3 / 2, not -2
    EXPECT_EQ(CenteredOrigin(0, 0), 0);
}
