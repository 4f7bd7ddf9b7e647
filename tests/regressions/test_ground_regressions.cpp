// Grounds that once broke the height query.
#include "ground/ground.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// A scene file's ground area "0 0 100 10888888888888888888888888888888888888880"
// reads as an infinite side; the height query then turned NaN into a cell number.
TEST(GroundRegressions, AnInfiniteGroundAnswersHeightZero)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float area[4] = {0, 0, 100, inf};
    createGround(area, 5.0f, 100, nullptr, nullptr, 8.0f);
    EXPECT_EQ(groundHeight(50, 50), 0.0f);
    EXPECT_EQ(groundHeight(50, inf), 0.0f);
}

} // namespace
