#include <gtest/gtest.h>

#include "dialog_position.h"

TEST(DialogPosition, CentredOnTheAnchorAndAlwaysInsideTheWorkArea) {
    const ScreenBox work = {0, 0, 1366, 728};
    struct Row {
        ScreenBox anchor;
        int32_t width, height;
        int32_t left, top;
    };
    const Row rows[] = {
        {work, 966, 400, 200, 164},                   // no owner: the work area's middle
        {{100, 100, 500, 400}, 200, 100, 200, 200},   // over its owner
        {{1200, 600, 1600, 900}, 400, 300, 966, 428}, // owner half off screen: pulled in
        {{-500, -300, -100, 0}, 300, 200, 0, 0},      // owner beyond the top-left
        {work, 1500, 900, 0, 0},                      // too large: the caption stays reachable
    };
    for (const Row &row : rows) {
        const ScreenBox box = PlaceDialogBox(row.width, row.height, row.anchor, work);
        EXPECT_EQ(box.left, row.left) << row.anchor.left;
        EXPECT_EQ(box.top, row.top) << row.anchor.left;
        EXPECT_EQ(box.right - box.left, row.width);
        EXPECT_EQ(box.bottom - box.top, row.height);
    }
}
