#include "grass/grass_animation.h"
#include "grass/grass_field.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>
#include <vector>

#include "tests/support/grass_scene.h"

namespace {

/// A flat 10 x 10 m field of 10 x 10 patches: crush points every 0.5 m.
class GrassCrush : public ::testing::Test {
protected:
    void SetUp() override
    {
        const float area[4] = {0, 0, 10, 10};
        test_support::flatGround(area);
        field.initField(area, 10, 10, nullptr);
    }
    /// One crushing step of the rock placed at (fx, fy, 0) to (tx, ty, tz).
    void roll(float fx, float fy, float tx, float ty, float tz = 0)
    {
        const float from[3] = {fx, fy, 0};
        placeRockRecord(rock, from);
        step(tx, ty, tz);
    }
    void step(float x, float y, float z = 0)
    {
        const float to[3] = {x, y, z};
        moveRockRecord(rock, to, true);
        field.updateCrushing(0.05f, &rock, 1);
    }
    /// Crushed points; -1 as soon as one holds a value that is not finite.
    int crushedCount() const
    {
        int n = 0;
        for (const CrushPoint& c : field.getCrushPoints()) {
            if (!std::isfinite(c.amount + c.dirX + c.dirY + c.totalTime)) return -1;
            n += c.crushed;
        }
        return n;
    }

    GrassField field;
    RockRecord rock;
};

using test_support::skeletonFloats;
using Floats = test_support::SkeletonFloats;

BladeSkeleton bentAt(float x, float y, float height, float wx, float wy)
{
    BladeSkeleton s;
    s.P0[0] = x, s.P0[1] = y;
    bendSkeleton(s, height, wx, wy);
    return s;
}

} // namespace

TEST_F(GrassCrush, ACrushFallsOffWithTheDistanceToThePathOnBothSidesAndStaysLocal)
{
    // From (3.9, 5) to (4.3, 5), 0.2 m up; crush points every 0.5 m on the ground.
    rock.crushingPropagation = 0.05f;  // so that walks stop inside the grid
    roll(3.9f, 5, 4.3f, 5);
    // At (4, 5.5): foot (4, 5, 0.2), d² = 0.25 + 0.04 = 0.29; the ends' ratios
    // 0.1/√0.30 = 0.1826 and 0.3/√0.38 = 0.4867, strength (0.1826 + 0.4867)/2/0.29
    // = 1.1539: amount 200·1.1539 = 230.8, recovering over (0.0231 + 0.75)·20 s;
    // the push turns sideways by 0.4·d = 0.2154: (0.7846, 0.2154)·1.1539.
    const CrushPoint& beside = field.crushPoint(8, 11);
    EXPECT_NEAR(beside.amount, 230.77f, 0.01f);
    EXPECT_NEAR(beside.remainingTime, 15.4615f, 1e-3f);
    EXPECT_NEAR(beside.dirX, 0.9053f, 1e-4f);
    EXPECT_NEAR(beside.dirY, 0.2485f, 1e-4f);
    // The four quadrants round the rock, mirrored across the path: the same
    // amount, the side push turned over, all pushed forwards, also beyond the
    // path's end (column 9); nothing far along the row.
    for (const int i : {7, 8, 9}) {
        SCOPED_TRACE(testing::Message() << "column " << i);
        const CrushPoint &above = field.crushPoint(i, 11), &below = field.crushPoint(i, 9);
        EXPECT_EQ(above.crushed, 1);
        EXPECT_EQ(below.crushed, 1);
        EXPECT_GT(above.dirX, 0);
        EXPECT_NEAR(below.amount, above.amount, 1e-3f);
        EXPECT_NEAR(below.dirX, above.dirX, 1e-5f);
        EXPECT_NEAR(below.dirY, -above.dirY, 1e-5f);
        EXPECT_EQ(field.crushPoint(i, 10).dirY, 0.0f) << "in line with the path";
    }
    EXPECT_EQ(field.crushPoint(0, 10).crushed, 0);
    EXPECT_EQ(field.crushPoint(20, 10).crushed, 0);

    // Along the diagonal: (4, 4.5) and (4.5, 4) mirror each other across it.
    SetUp();
    roll(3.9f, 3.9f, 4.3f, 4.3f);
    const CrushPoint &left = field.crushPoint(8, 9), &right = field.crushPoint(9, 8);
    EXPECT_NEAR(left.amount, right.amount, 1e-3f);
    EXPECT_NEAR(left.dirX, right.dirY, 1e-5f);
    EXPECT_NEAR(left.dirY, right.dirX, 1e-5f);
    EXPECT_GT(left.dirY, left.dirX) << "pushed away from the path, to its left";
}

TEST_F(GrassCrush, APushAddsToTheFadedDirectionUnlessAHardCrushResistsIt)
{
    // The seed at (4, 5) of a push along +x, with no spreading: first on fresh
    // grass, then over a crush already there (amount, initial amount, direction).
    rock.crushingPropagation = 1e30f;
    roll(3.9f, 5, 4.3f, 5);
    const CrushPoint fresh = field.crushPoint(8, 10);
    struct Case {
        float amount, initial, dirX, dirY;
        bool turns;
    } cases[] = {{50, 100, 2, 0, true}, {100, 100, -1, 0, true}, {200, 200, 0, 1, true}, {200, 200, -1, 0, false}};
    for (const Case& c : cases) {
        SetUp();
        rock.crushingPropagation = 1e30f;
        CrushPoint& k = field.crushPoint(8, 10);
        k.amount = c.amount, k.initialAmount = c.initial, k.dirX = c.dirX, k.dirY = c.dirY;
        roll(3.9f, 5, 4.3f, 5);
        const float f = c.amount / c.initial;  // what is left of the old crush
        EXPECT_NEAR(k.amount, c.amount + fresh.amount, 1e-3f) << c.amount;
        EXPECT_EQ(k.initialAmount, k.amount) << "the recovery starts from the whole crush";
        EXPECT_NEAR(k.dirX, c.turns ? f * c.dirX + fresh.dirX : c.dirX, 1e-5f) << c.amount;
        EXPECT_NEAR(k.dirY, c.turns ? f * c.dirY : c.dirY, 1e-5f) << c.amount;
    }
}

TEST_F(GrassCrush, MovesCrushFromWhereTheyStartOnTheGridWithoutNaN)
{
    roll(5.1f, 5.1f, 5.1f, 5.1f);  // no move, no path
    roll(1e30f, -1e30f, 5.1f, 5.1f);  // from far off the grass, with no integer overflow
    EXPECT_EQ(crushedCount(), 0);
    step(5.6f, 5.1f);  // the start caught up all the same
    EXPECT_GT(crushedCount(), 0);
    SetUp();
    roll(5.1f, 5.1f, 5.1f, 5.1f, 1);  // straight up: an amount, but no direction
    const CrushPoint& below = field.crushPoint(10, 10);
    EXPECT_GT(below.amount, 0);
    EXPECT_EQ(std::tuple(below.dirX, below.dirY), std::tuple(0.0f, 0.0f));
    SetUp();
    roll(-0.1f, 5.1f, 0.4f, 5.1f);  // the cell is the truncated half-spacing index: -0.2 is cell 0
    EXPECT_GT(crushedCount(), 0);
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
    EXPECT_EQ(std::tuple(c.amount, c.crushed), std::tuple(0.0f, 1));
    field.updateCrushing(0.05f, &rock, 1);
    EXPECT_EQ(c.crushed, 0);
}

TEST(BendSkeleton, TipTangentsAndNormalsFollowTheBendAmount)
{
    // A blade of height 2 at (3, 4). Bend s = |w| picks the Hermite basis
    // (h00, h10, h01, h11): (1, 0, 0, 0) at 0, (0.5, 0.125, 0.5, −0.125) at 0.5,
    // (0, 0, 1, 0) at 1. The tip reaches 0.8·2·h01 + 2.8·h10 along the wind
    // (0, 1.15, 1.6) at a height of 2·h00 + 1·h01 − 0.6·h11 (2, 1.575, 1).
    struct Case {
        float wx, wy;
        Floats skeleton;
    } cases[] = {{0, 0, {3, 4, 0, 3, 4, 2, 0, 0, 2, 0, 0, 1, 0.3f, 0.6f}},
                 {0.3f, -0.4f, {3, 4, 0, 3.69f, 3.08f, 1.575f, 0, 0, 2, 0.3f, -0.4f, 0.5f, 0.3f, 0.8f}},
                 {0.6f, 0.8f, {3, 4, 0, 3.96f, 5.28f, 1, 0, 0, 2, 0.6f, 0.8f, 0, 0.3f, 1}}};
    for (const Case& c : cases) {
        const Floats got = skeletonFloats(bentAt(3, 4, 2, c.wx, c.wy));
        for (int k = 0; k < 14; ++k) EXPECT_NEAR(got[k], c.skeleton[k], 1e-5f) << c.wx << " float " << k;
    }
}

TEST(CrushSkeleton, TheAmountAgainstTheWindWeightLaysTheBladeDownWithoutNaN)
{
    const BladeSkeleton wind = bentAt(1, 1, 2, 0.2f, 0.1f);
    const float dir[2] = {3, 4}, none[2] = {0, 0}, tiny[2] = {1e-30f, 1e-30f};
    BladeSkeleton s = wind;
    crushSkeleton(s, 50, dir, 0, 2);
    crushSkeleton(s, 50, none, 1000, 2);
    crushSkeleton(s, 0, dir, 0, 2);  // no wind and no crush: 0/0
    EXPECT_EQ(skeletonFloats(s), skeletonFloats(wind));

    // An amount equal to the wind weight: half the wind pose, half a blade
    // lying along (0.6, 0.8) with its tip 0.92 H away; the base stays.
    crushSkeleton(s, 50, dir, 50, 2);
    const Floats flat = {1, 1, 0, 1 + 0.92f * 2 * 0.6f, 1 + 0.92f * 2 * 0.8f, 0, 0.6f, 0.8f, 0.8f * 2,
                         0.6f, 0.8f, -0.5f, 0.6f, 1};
    const Floats before = skeletonFloats(wind), after = skeletonFloats(s);
    for (int k = 0; k < 14; ++k) EXPECT_NEAR(after[k], k < 3 ? before[k] : (before[k] + flat[k]) / 2, 1e-5f) << k;

    s = wind;
    crushSkeleton(s, 0, tiny, 10, 2);  // too small to square, still a direction
    EXPECT_NEAR(s.P1[0], 1 + 0.92f * 2 * std::sqrt(0.5f), 1e-4f);
    crushSkeleton(s, INFINITY, dir, INFINITY, 2);
    EXPECT_TRUE(std::isfinite(s.P1[0] + s.T0[2] + s.tipNormal));
}
