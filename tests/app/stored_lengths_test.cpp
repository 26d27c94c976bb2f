#include "app/stored_lengths.h"

#include <gtest/gtest.h>

namespace tessarel {
namespace {

TEST(StoredLengths, fifteenToAPixelAt96DotsPerInchRoundedBothWays) {
    EXPECT_EQ(PixelsFromStoredLength(1500, 96), 100);
    EXPECT_EQ(PixelsFromStoredLength(1570, 96), 105);  // 104.67
    EXPECT_EQ(PixelsFromStoredLength(1315, 96), 88);   // 87.67
    EXPECT_EQ(PixelsFromStoredLength(-300, 96), -20);  // a window left of the primary screen
    EXPECT_EQ(PixelsFromStoredLength(1440, 120), 120);
    EXPECT_DOUBLE_EQ(StoredLengthFromPixels(100, 96), 1500.0);
    EXPECT_DOUBLE_EQ(StoredLengthFromPixels(7, 120), 84.0);
}

}  // namespace
}  // namespace tessarel
