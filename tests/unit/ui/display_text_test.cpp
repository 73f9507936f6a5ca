#include <gtest/gtest.h>

#include "display_text.h"

TEST(DisplayText, CentringTruncatesTowardZeroSoOversizedTextOverflowsEvenly) {
    EXPECT_EQ(CenteredOrigin(100, 40), 30);
    EXPECT_EQ(CenteredOrigin(101, 40), 30);
    EXPECT_EQ(CenteredOrigin(100, 103), -1); // -3 / 2, not -2
    EXPECT_EQ(CenteredOrigin(0, 0), 0);
}
