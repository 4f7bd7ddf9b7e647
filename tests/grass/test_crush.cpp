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

    /// One crushing step of the rock rolling from (fx, fy) to (tx, ty) on the ground.
    void roll(float fx, float fy, float tx, float ty)
    {
        const float from[3] = {fx, fy, 0}, to[3] = {tx, ty, 0};
        placeRockRecord(rock, from);
        moveRockRecord(rock, to, true);
        field.updateCrushing(0.05f, &rock, 1);
    }

    int crushedCount() const
    {
        int n = 0;
        for (const CrushPoint& c : field.crushPoints) n += c.crushed;
        return n;
    }

    bool allFinite() const
    {
        for (const CrushPoint& c : field.crushPoints)
            if (!std::isfinite(c.amount + c.dirX + c.dirY + c.totalTime)) return false;
        return true;
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
    EXPECT_FLOAT_EQ(rock.previousPosition[0], 4.6f);  // caught up for the next step

    const CrushPoint& above = field.crushPoint(9, 11);  // (4.5, 5.5)
    const CrushPoint& below = field.crushPoint(9, 10);  // (4.5, 5.0)
    for (const CrushPoint* c : {&above, &below}) {
        EXPECT_EQ(c->crushed, 1);
        EXPECT_GT(c->dirX, 0);  // along the move
        EXPECT_FLOAT_EQ(c->totalTime, (c->amount * 0.0001f + 0.75f) * 20);
        EXPECT_EQ(c->remainingTime, c->totalTime);
    }
    // Pushed away from the path on either side; the nearer one harder.
    EXPECT_GT(above.dirY, 0);
    EXPECT_LT(below.dirY, 0);
    EXPECT_GT(below.amount, 2 * above.amount);
    EXPECT_LT(field.crushPoint(0, 20).amount, 0.001f * below.amount);
    EXPECT_TRUE(allFinite());

    // A second pass adds to the amount and restarts a longer timer.
    const float before = below.amount;
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    EXPECT_GT(below.amount, before);
    EXPECT_GT(below.totalTime, (before * 0.0001f + 0.75f) * 20);
}

TEST_F(GrassCrush, PropagationStopsAtTheThreshold)
{
    // Nothing passes this threshold: only the four seeds around the start are touched.
    rock.crushingPropagation = 1e30f;
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    EXPECT_EQ(crushedCount(), 4);
    EXPECT_EQ(field.crushPoint(8, 11).crushed, 1);

    SetUp();
    rock.crushingPropagation = 0.001f;
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    const int spread = crushedCount();
    SetUp();
    rock.crushingPropagation = 0.0001f;
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    EXPECT_GT(crushedCount(), spread);
}

TEST_F(GrassCrush, DegenerateMovesStayFinite)
{
    // Straight up: amount and timers, but no direction.
    roll(5.1f, 5.1f, 5.1f, 5.1f);
    EXPECT_EQ(crushedCount(), 0);
    const float from[3] = {5.1f, 5.1f, 0}, to[3] = {5.1f, 5.1f, 1};
    placeRockRecord(rock, from);
    moveRockRecord(rock, to, true);
    field.updateCrushing(0.05f, &rock, 1);
    const CrushPoint& up = field.crushPoint(10, 10);
    EXPECT_GT(up.amount, 0);
    EXPECT_EQ(up.dirX, 0);
    EXPECT_EQ(up.dirY, 0);

    // A segment on the ground: the crush points of its row lie on the path line.
    SetUp();
    rock.crushingPowerExp = 0;
    roll(4.0f, 5.0f, 4.6f, 5.0f);
    EXPECT_GT(field.crushPoint(9, 10).amount, 0);
    EXPECT_TRUE(allFinite());
    // Along a column even the point 0.01 further along y is on the line: no strength.
    SetUp();
    roll(5.0f, 4.0f, 5.0f, 4.6f);
    EXPECT_EQ(field.crushPoint(10, 8).crushed, 1);
    EXPECT_EQ(field.crushPoint(10, 8).amount, 0);
    EXPECT_TRUE(allFinite());
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

TEST_F(GrassCrush, RecoveryFollowsTheDampingCurve)
{
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    CrushPoint& c = field.crushPoint(9, 10);
    const float initial = c.initialAmount, total = c.totalTime;
    field.updateCrushing(total / 2, &rock, 1);
    EXPECT_NEAR(c.amount, initial * 0.25f, initial * 1e-4f);  // (1/2)^2
    field.setCrushingDamping(1);
    field.updateCrushing(total / 4, &rock, 1);
    EXPECT_NEAR(c.amount, initial * 0.25f, initial * 1e-4f);  // (1/4)^1
    // Time running out exactly: amount 0, crushed until the next step.
    field.updateCrushing(total / 4, &rock, 1);
    EXPECT_EQ(c.amount, 0);
    EXPECT_EQ(c.crushed, 1);
    field.updateCrushing(0.05f, &rock, 1);
    EXPECT_EQ(c.crushed, 0);
}

TEST_F(GrassCrush, ZeroRecoveryTimeOrDampingEndsAtNothing)
{
    field.setCrushingMaxTime(0);
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    field.updateCrushing(0.05f, &rock, 1);
    EXPECT_EQ(crushedCount(), 0);
    EXPECT_EQ(field.crushPoint(9, 10).amount, 0);
    EXPECT_TRUE(allFinite());

    // Damping 0 holds the whole crush while it lasts, then lets go of it.
    field.setCrushingMaxTime(20);
    field.setCrushingDamping(0);
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    CrushPoint& c = field.crushPoint(9, 10);
    const float initial = c.initialAmount;
    field.updateCrushing(c.totalTime / 2, &rock, 1);
    EXPECT_FLOAT_EQ(c.amount, initial);
    field.updateCrushing(c.totalTime, &rock, 1);
    EXPECT_EQ(c.amount, 0);
}

TEST(WindSkeleton, StraightWithoutWindHalfDownAtFullBend)
{
    BladeSkeleton s = bentAt(3, 4, 2, 0, 0);
    EXPECT_FLOAT_EQ(s.P1[0], 3);
    EXPECT_FLOAT_EQ(s.P1[2], 2);
    EXPECT_FLOAT_EQ(s.T1[2], 1);
    float mid[3];
    skeletonPoint(s, 0.5f, mid);
    EXPECT_FLOAT_EQ(mid[2], 1.125f);

    s = bentAt(0, 0, 2, 0.6f, 0.8f);  // bend amount 1
    EXPECT_FLOAT_EQ(s.P1[0], 0.6f * 0.8f * 2);
    EXPECT_FLOAT_EQ(s.P1[1], 0.8f * 0.8f * 2);
    EXPECT_NEAR(s.P1[2], 1, 1e-6f);
    EXPECT_FLOAT_EQ(s.tipNormal, 1);
}

TEST(WindSkeleton, NodeTakesOneWindSampleAtItsPoint)
{
    const float area[4] = {0, 0, 100, 100};
    windInit(area, 5);
    GrassNode node;
    node.x = 37, node.y = 61;
    node.skeleton = bentAt(37, 61, 0, 0, 0);
    node.currentHeight = 2;
    windSkeleton(node);
    float power, dx, dy;
    windGetInfluence(37, 61, 0, 0, 0, power, dx, dy);
    EXPECT_EQ(node.windWeight, power);
    EXPECT_TRUE(same(node.skeleton, bentAt(37, 61, 2, dx, dy)));
    EXPECT_NE(dx, 0);
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
    EXPECT_NEAR(s.P1[1], 1 + 0.92f * 2 * 0.8f, 1e-4f);
    EXPECT_NEAR(s.P1[2], 0, 1e-4f);
    EXPECT_NEAR(s.T1[2], -0.5f, 1e-4f);
    EXPECT_NEAR(s.baseNormal, 0.6f, 1e-4f);

    s = wind;
    crushSkeleton(s, 0, tiny, 10, 2);  // too small to square, still a direction
    EXPECT_NEAR(s.P1[0], 1 + 0.92f * 2 * std::sqrt(0.5f), 1e-4f);
    crushSkeleton(s, INFINITY, dir, INFINITY, 2);
    EXPECT_TRUE(std::isfinite(s.P1[0] + s.T0[2] + s.tipNormal));
}
