#include "grass/grass_animation.h"
#include "grass/grass_field.h"
#include "grass/rock_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ground/ground.h"

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

    /// One crushing step of a rock moving from `from` to `to` (ground points).
    void roll(float fx, float fy, float tx, float ty, float dt = 0.05f)
    {
        const float from[3] = {fx, fy, 0};
        const float to[3] = {tx, ty, 0};
        placeRockRecord(rock, from);
        moveRockRecord(rock, to, true);
        field.updateCrushing(dt, &rock, 1);
    }

    int crushedCount() const
    {
        int n = 0;
        for (const CrushPoint& c : field.crushPoints) n += c.crushed;
        return n;
    }

    GrassField field;
    RockRecord rock;
};

bool finite(const CrushPoint& c)
{
    return std::isfinite(c.amount) && std::isfinite(c.dirX) && std::isfinite(c.dirY) && std::isfinite(c.totalTime);
}

} // namespace

TEST(RockRecordTest, PositionsCarryTheCrushingHeight)
{
    RockRecord r;
    r.crushingPowerExp = 0.5f;
    const float p[3] = {1, 2, 3};
    placeRockRecord(r, p);
    EXPECT_FLOAT_EQ(r.previousPosition[2], 3.5f);
    EXPECT_FLOAT_EQ(r.currentPosition[2], 3.5f);
    const float q[3] = {4, 5, 6};
    moveRockRecord(r, q, true);
    EXPECT_FLOAT_EQ(r.previousPosition[0], 1);
    EXPECT_FLOAT_EQ(r.currentPosition[0], 4);
    EXPECT_FLOAT_EQ(r.currentPosition[2], 6.5f);
    moveRockRecord(r, p, false);
    EXPECT_FLOAT_EQ(r.previousPosition[1], 2);
}

TEST_F(GrassCrush, StraightMoveFlattensAlongThePathAndOutwards)
{
    roll(4.1f, 5.1f, 4.6f, 5.1f);

    // The previous position caught up with the current one.
    EXPECT_FLOAT_EQ(rock.previousPosition[0], 4.6f);

    // Points beside the path: pushed along the move, and away from the path on their side.
    const CrushPoint& above = field.crushPoint(9, 11);  // (4.5, 5.5)
    const CrushPoint& below = field.crushPoint(9, 10);  // (4.5, 5.0)
    for (const CrushPoint* c : {&above, &below}) {
        EXPECT_EQ(c->crushed, 1);
        EXPECT_GT(c->amount, 0);
        EXPECT_EQ(c->initialAmount, c->amount);
        EXPECT_GT(c->dirX, 0);
        EXPECT_FLOAT_EQ(c->totalTime, (c->amount * 0.0001f + 0.75f) * 20);
        EXPECT_EQ(c->remainingTime, c->totalTime);
    }
    EXPECT_GT(above.dirY, 0);
    EXPECT_LT(below.dirY, 0);
    // The nearer point is crushed harder: the rock's segment runs 0.2 m above the ground.
    EXPECT_GT(below.amount, 2 * above.amount);

    // The crush spreads over the field, fading with the square of the distance.
    EXPECT_GT(crushedCount(), 4);
    EXPECT_LT(field.crushPoint(0, 20).amount, 0.001f * below.amount);
    for (const CrushPoint& c : field.crushPoints) EXPECT_TRUE(finite(c));

    // A second pass adds to the amount and restarts a longer timer.
    const float before = below.amount;
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    EXPECT_GT(below.amount, before);
    EXPECT_GT(below.totalTime, (before * 0.0001f + 0.75f) * 20);
}

TEST_F(GrassCrush, PropagationStopsAtTheThreshold)
{
    // Nothing can pass this threshold: only the four seeds around the start are touched.
    rock.crushingPropagation = 1e30f;
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    EXPECT_EQ(crushedCount(), 4);
    for (int i : {8, 9})
        for (int j : {10, 11}) EXPECT_EQ(field.crushPoint(i, j).crushed, 1);

    // A lower threshold lets the crush spread further.
    SetUp();
    rock.crushingPropagation = 0.001f;
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    const int defaultSpread = crushedCount();
    SetUp();
    rock.crushingPropagation = 0.0001f;
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    EXPECT_GT(crushedCount(), defaultSpread);
}

TEST_F(GrassCrush, VerticalMoveGivesAmountButNoDirection)
{
    const float from[3] = {5.1f, 5.1f, 0};
    const float to[3] = {5.1f, 5.1f, 1};
    placeRockRecord(rock, from);
    moveRockRecord(rock, to, true);
    field.updateCrushing(0.05f, &rock, 1);

    const CrushPoint& c = field.crushPoint(10, 10);
    EXPECT_EQ(c.crushed, 1);
    EXPECT_GT(c.amount, 0);
    EXPECT_GT(c.totalTime, 0);
    EXPECT_EQ(c.dirX, 0);
    EXPECT_EQ(c.dirY, 0);

    BladeSkeleton s;
    bendSkeleton(s, 1.5f, 0.3f, 0.1f);
    const BladeSkeleton before = s;
    const float dir[2] = {c.dirX, c.dirY};
    crushSkeleton(s, 50, dir, c.amount, 1.5f);
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
}

TEST_F(GrassCrush, PointsOnThePathLineStayFinite)
{
    // A segment on the ground along the row y = 5: its crush points lie on the path line.
    rock.crushingPowerExp = 0;
    roll(4.0f, 5.0f, 4.6f, 5.0f);
    const CrushPoint& on = field.crushPoint(9, 10);  // (4.5, 5.0)
    EXPECT_EQ(on.crushed, 1);
    EXPECT_GT(on.amount, 0);
    for (const CrushPoint& c : field.crushPoints) EXPECT_TRUE(finite(c));

    // Along a column: the point 0.01 m further along y is on the line too, so no strength.
    SetUp();
    roll(5.0f, 4.0f, 5.0f, 4.6f);
    const CrushPoint& seed = field.crushPoint(10, 8);  // (5.0, 4.0)
    EXPECT_EQ(seed.crushed, 1);
    EXPECT_EQ(seed.amount, 0);
    for (const CrushPoint& c : field.crushPoints) EXPECT_TRUE(finite(c));
}

TEST_F(GrassCrush, RockOffTheGrassCrushesNothingButComesBack)
{
    roll(-5, 5.1f, 5.1f, 5.1f);
    EXPECT_EQ(crushedCount(), 0);
    // Even so, the start has caught up: the next move on the grass crushes.
    EXPECT_FLOAT_EQ(rock.previousPosition[0], 5.1f);
    const float next[3] = {5.6f, 5.1f, 0};
    moveRockRecord(rock, next, true);
    field.updateCrushing(0.05f, &rock, 1);
    EXPECT_GT(crushedCount(), 0);

    // Far beyond the grid, with no integer overflow on the way.
    SetUp();
    roll(1e30f, -1e30f, 5.1f, 5.1f);
    EXPECT_EQ(crushedCount(), 0);
}

TEST_F(GrassCrush, RecoveryFollowsTheDampingCurve)
{
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    CrushPoint& c = field.crushPoint(9, 10);
    const float initial = c.initialAmount;
    const float total = c.totalTime;

    field.updateCrushing(total / 2, &rock, 1);
    EXPECT_NEAR(c.amount, initial * 0.25f, initial * 1e-4f);  // (1/2)^2
    field.setCrushingDamping(1);
    field.updateCrushing(total / 4, &rock, 1);
    EXPECT_NEAR(c.amount, initial * 0.25f, initial * 1e-4f);  // (1/4)^1
    EXPECT_EQ(c.crushed, 1);

    // Past the end: recovered, with nothing left.
    field.updateCrushing(total, &rock, 1);
    EXPECT_EQ(c.crushed, 0);
    EXPECT_EQ(c.remainingTime, 0);
    EXPECT_EQ(c.amount, 0);
}

TEST_F(GrassCrush, TimeRunningOutExactlyClearsAtTheNextStep)
{
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    CrushPoint& c = field.crushPoint(9, 10);
    field.updateCrushing(c.totalTime, &rock, 1);
    EXPECT_EQ(c.remainingTime, 0);
    EXPECT_EQ(c.crushed, 1);
    EXPECT_EQ(c.amount, 0);
    field.updateCrushing(0.05f, &rock, 1);
    EXPECT_EQ(c.crushed, 0);
}

TEST_F(GrassCrush, ZeroRecoveryTimeOrDampingNeverLeavesNaN)
{
    field.setCrushingMaxTime(0);
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    CrushPoint& c = field.crushPoint(9, 10);
    EXPECT_EQ(c.totalTime, 0);
    field.updateCrushing(0.05f, &rock, 1);
    EXPECT_EQ(c.crushed, 0);
    EXPECT_EQ(c.amount, 0);
    for (const CrushPoint& p : field.crushPoints) EXPECT_TRUE(finite(p));

    // Damping 0 holds the crush while it lasts, and still ends at nothing.
    SetUp();
    field.setCrushingMaxTime(20);
    field.setCrushingDamping(0);
    roll(4.1f, 5.1f, 4.6f, 5.1f);
    CrushPoint& d = field.crushPoint(9, 10);
    const float initial = d.initialAmount;
    field.updateCrushing(d.totalTime / 2, &rock, 1);
    EXPECT_FLOAT_EQ(d.amount, initial);
    field.updateCrushing(d.totalTime, &rock, 1);
    EXPECT_EQ(d.crushed, 0);
    EXPECT_EQ(d.amount, 0);
}

TEST_F(GrassCrush, StaticRockDoesNothing)
{
    roll(5.1f, 5.1f, 5.1f, 5.1f);
    EXPECT_EQ(crushedCount(), 0);
}
