#include "grass/grass_animation.h"
#include "grass/grass_field.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ground/ground.h"
#include "wind/wind.h"

namespace {

/// A flat 10 x 10 m field of 10 x 10 patches: crush points every 0.5 m.
class GrassCrush : public ::testing::Test {
protected:
    void SetUp() override
    {
        const float area[4] = {0, 0, 10, 10};
        createGround(area, 0, 4, nullptr, nullptr, 1);
        field.initField(area, 10, 10, nullptr);
    }

    /// One crushing step of the rock moving from (fx, fy, 0) to (tx, ty, tz).
    void roll(float fx, float fy, float tx, float ty, float tz = 0)
    {
        const float from[3] = {fx, fy, 0}, to[3] = {tx, ty, tz};
        placeRockRecord(rock, from);
        moveRockRecord(rock, to, true);
        field.updateCrushing(0.05f, &rock, 1);
    }

    /// Crushed points; -1 as soon as one holds a value that is not finite.
    int crushedCount() const
    {
        int n = 0;
        for (const CrushPoint& c : field.crushPoints) {
            if (!std::isfinite(c.amount + c.dirX + c.dirY + c.totalTime)) return -1;
            n += c.crushed;
        }
        return n;
    }

    GrassField field;
    RockRecord rock;
};

BladeSkeleton bentAt(float x, float y, float height, float wx, float wy)
{
    BladeSkeleton s;
    s.P0[0] = x, s.P0[1] = y;
    bendSkeleton(s, height, wx, wy);
    return s;
}

bool same(const BladeSkeleton& a, const BladeSkeleton& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST_F(GrassCrush, StraightMoveFlattensAlongThePathAndOutwards)
{
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    // Pushed along the move and away from the path on either side; the nearer one harder.
    const CrushPoint& above = field.crushPoint(9, 11);  // (4.5, 5.5)
    const CrushPoint& below = field.crushPoint(9, 10);  // (4.5, 5.0)
    EXPECT_TRUE(above.dirX > 0 && above.dirY > 0) << above.dirX << " " << above.dirY;
    EXPECT_TRUE(below.dirX > 0 && below.dirY < 0) << below.dirX << " " << below.dirY;
    EXPECT_GT(below.amount, 2 * above.amount);
    EXPECT_LT(field.crushPoint(0, 20).amount, 0.001f * below.amount);
    // A second pass adds to the amount and restarts a longer timer.
    const float before = below.amount;
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    EXPECT_GT(below.amount, before);
    EXPECT_GT(below.totalTime, (before * 0.0001f + 0.75f) * 20);
}

TEST_F(GrassCrush, DegenerateMovesStayFinite)
{
    roll(5.1f, 5.1f, 5.1f, 5.1f);  // no move, no step
    EXPECT_EQ(crushedCount(), 0);
    roll(5.1f, 5.1f, 5.1f, 5.1f, 1);  // straight up: an amount, but no direction
    EXPECT_GT(field.crushPoint(10, 10).amount, 0);
    EXPECT_EQ(field.crushPoint(10, 10).dirX + field.crushPoint(10, 10).dirY, 0);
    EXPECT_GT(crushedCount(), 0);
    // A path on the ground along a row or a column runs through crush points; along
    // a column even the point 0.01 further along y is on it, and gets no strength.
    SetUp();
    rock.crushingPowerExp = 0;
    roll(4.0f, 5.0f, 4.6f, 5.0f);
    EXPECT_GT(field.crushPoint(9, 10).amount, 0);
    SetUp();
    roll(5.0f, 4.0f, 5.0f, 4.6f);
    EXPECT_EQ(field.crushPoint(10, 8).amount, 0);
    EXPECT_GT(crushedCount(), 0);
}

TEST_F(GrassCrush, RockOffTheGrassCrushesNothingButComesBack)
{
    roll(-5, 5.1f, 5.1f, 5.1f);
    EXPECT_EQ(crushedCount(), 0);
    // The start caught up all the same, so the next move on the grass crushes.
    const float next[3] = {5.6f, 5.1f, 0};
    moveRockRecord(rock, next, true);
    field.updateCrushing(0.05f, &rock, 1);
    EXPECT_GT(crushedCount(), 0);
    SetUp();
    roll(1e30f, -1e30f, 5.1f, 5.1f);  // no integer overflow on the way
    EXPECT_EQ(crushedCount(), 0);
}

TEST_F(GrassCrush, RecoveryFollowsTheDampingCurveAndEndsAtNothing)
{
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    CrushPoint& c = field.crushPoint(9, 10);
    const float initial = c.initialAmount, total = c.totalTime;
    field.updateCrushing(total / 2, &rock, 1);
    EXPECT_NEAR(c.amount, initial * 0.25f, initial * 1e-4f);  // (1/2)^2
    // Damping 0 holds the whole crush while it lasts, then lets go of it
    // exactly when time runs out; the point stays crushed until the next step.
    field.setCrushingDamping(0);
    field.updateCrushing(total / 4, &rock, 1);
    EXPECT_FLOAT_EQ(c.amount, initial);
    field.updateCrushing(total / 4, &rock, 1);
    EXPECT_EQ(c.amount, 0);
    EXPECT_EQ(c.crushed, 1);
    field.updateCrushing(0.05f, &rock, 1);
    EXPECT_EQ(c.crushed, 0);
}

TEST(WindSkeleton, NodeTakesOneWindSampleAtItsPoint)
{
    const float area[4] = {0, 0, 100, 100};
    windInit(area, 5);
    GrassNode node;
    node.x = 37, node.y = 61, node.currentHeight = 2;
    node.skeleton = bentAt(37, 61, 0, 0, 0);
    windSkeleton(node);
    float power, dx, dy;
    windGetInfluence(37, 61, 0, 0, 0, power, dx, dy);
    EXPECT_NE(dx, 0);
    EXPECT_EQ(node.windWeight, power);
    EXPECT_TRUE(same(node.skeleton, bentAt(37, 61, 2, dx, dy)));
}

TEST(CrushSkeleton, AmountLaysTheBladeDownAndNothingBecomesNaN)
{
    const BladeSkeleton wind = bentAt(1, 1, 2, 0.2f, 0.1f);
    const float dir[2] = {3, 4}, none[2] = {0, 0}, tiny[2] = {1e-30f, 1e-30f};
    BladeSkeleton s = wind;
    crushSkeleton(s, 50, dir, 0, 2);
    crushSkeleton(s, 50, none, 1000, 2);
    crushSkeleton(s, 0, dir, 0, 2);  // no wind and no crush: 0/0
    EXPECT_TRUE(same(s, wind));
    crushSkeleton(s, 50, dir, 1e9f, 2);
    EXPECT_NEAR(s.P1[0], 1 + 0.92f * 2 * 0.6f, 1e-4f);
    EXPECT_NEAR(s.P1[2], 0, 1e-4f);
    s = wind;
    crushSkeleton(s, 0, tiny, 10, 2);  // too small to square, still a direction
    EXPECT_NEAR(s.P1[0], 1 + 0.92f * 2 * std::sqrt(0.5f), 1e-4f);
    crushSkeleton(s, INFINITY, dir, INFINITY, 2);
    EXPECT_TRUE(std::isfinite(s.P1[0] + s.T0[2] + s.tipNormal));
}
