#include "grass/grass_animation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "wind/wind.h"

namespace {

BladeSkeleton standingAt(float x, float y, float z)
{
    BladeSkeleton s;
    s.P0[0] = x;
    s.P0[1] = y;
    s.P0[2] = z;
    return s;
}

bool allFinite(const BladeSkeleton& s)
{
    const float* f = &s.P0[0];
    for (int k = 0; k < 14; ++k)
        if (!std::isfinite(f[k])) return false;
    return true;
}

} // namespace

TEST(HermiteBasis, EndsAndMiddle)
{
    const HermiteBasis a = hermiteBasis(0), b = hermiteBasis(1), m = hermiteBasis(0.5f);
    EXPECT_FLOAT_EQ(a.h00, 1);
    EXPECT_FLOAT_EQ(a.h01, 0);
    EXPECT_FLOAT_EQ(b.h00, 0);
    EXPECT_FLOAT_EQ(b.h01, 1);
    EXPECT_FLOAT_EQ(a.h10 + a.h11 + b.h10 + b.h11, 0);
    EXPECT_FLOAT_EQ(m.h00 + m.h01, 1);
    EXPECT_FLOAT_EQ(m.h10, 0.125f);
    EXPECT_FLOAT_EQ(m.h11, -0.125f);
}

TEST(WindSkeleton, NoWindStandsStraight)
{
    BladeSkeleton s = standingAt(3, 4, 1);
    bendSkeleton(s, 2, 0, 0);
    EXPECT_FLOAT_EQ(s.P1[0], 3);
    EXPECT_FLOAT_EQ(s.P1[1], 4);
    EXPECT_FLOAT_EQ(s.P1[2], 3);
    EXPECT_FLOAT_EQ(s.T0[2], 2);
    EXPECT_FLOAT_EQ(s.T1[0], 0);
    EXPECT_FLOAT_EQ(s.T1[2], 1);
    EXPECT_FLOAT_EQ(s.baseNormal, 0.3f);
    EXPECT_FLOAT_EQ(s.tipNormal, 0.6f);
    // The curve runs from the base to the tip and stays between them.
    float p[3];
    skeletonPoint(s, 0.5f, p);
    EXPECT_FLOAT_EQ(p[0], 3);
    EXPECT_GT(p[2], 1);
    EXPECT_LT(p[2], 3);
}

TEST(WindSkeleton, FullBendLaysTheTipHalfwayDownAlongTheWind)
{
    BladeSkeleton s = standingAt(0, 0, 1);
    bendSkeleton(s, 2, 0.6f, 0.8f);  // bend amount 1
    EXPECT_FLOAT_EQ(s.P1[0], 0.6f * 0.8f * 2);
    EXPECT_FLOAT_EQ(s.P1[1], 0.8f * 0.8f * 2);
    EXPECT_NEAR(s.P1[2], 1 + 0.5f * 2, 1e-6f);
    EXPECT_NEAR(s.T1[2], 0, 1e-6f);
    EXPECT_FLOAT_EQ(s.tipNormal, 1);
    float tip[3];
    skeletonPoint(s, 1, tip);
    EXPECT_FLOAT_EQ(tip[0], s.P1[0]);

    // Gale strength: the amount is used unclamped, and nothing overflows.
    bendSkeleton(s, 2, 80, -60);
    EXPECT_TRUE(allFinite(s));
}

TEST(WindSkeleton, NodeTakesOneWindSampleAtItsPoint)
{
    const float area[4] = {0, 0, 100, 100};
    windInit(area, 5);
    GrassNode node;
    node.x = 37;
    node.y = 61;
    node.skeleton = standingAt(37, 61, 0.5f);
    node.currentHeight = 2;

    windSkeleton(node);
    float power, dx, dy;
    windGetInfluence(37, 61, 0, 0, 0, power, dx, dy);
    EXPECT_EQ(node.windWeight, power);
    EXPECT_EQ(node.windX, dx);
    EXPECT_EQ(node.windY, dy);
    BladeSkeleton expected = standingAt(37, 61, 0.5f);
    bendSkeleton(expected, 2, dx, dy);
    EXPECT_EQ(std::memcmp(&node.skeleton, &expected, sizeof expected), 0);

    // Without a breeze the wind query gives no bend at all.
    const float breeze = windGetBreezePower();
    windSetBreezePower(0);
    windSkeleton(node);
    windSetBreezePower(breeze);
    EXPECT_EQ(node.windWeight, 0);
    EXPECT_FLOAT_EQ(node.skeleton.P1[0], 37);
    EXPECT_FLOAT_EQ(node.skeleton.P1[2], 2.5f);
}

TEST(CrushSkeleton, AmountBlendsTowardsALyingBlade)
{
    BladeSkeleton wind = standingAt(1, 1, 0);
    bendSkeleton(wind, 2, 0.2f, 0.1f);
    const float dir[2] = {3, 4};  // normalised to (0.6, 0.8)

    BladeSkeleton s = wind;
    crushSkeleton(s, 50, dir, 0, 2);
    EXPECT_EQ(std::memcmp(&s, &wind, sizeof s), 0);

    s = wind;
    crushSkeleton(s, 50, dir, 50, 2);  // half flattened
    EXPECT_FLOAT_EQ(s.tipNormal, 0.5f * wind.tipNormal + 0.5f);

    s = wind;
    crushSkeleton(s, 50, dir, 1e9f, 2);
    EXPECT_NEAR(s.P1[0], 1 + 0.92f * 2 * 0.6f, 1e-4f);
    EXPECT_NEAR(s.P1[1], 1 + 0.92f * 2 * 0.8f, 1e-4f);
    EXPECT_NEAR(s.P1[2], 0, 1e-4f);
    EXPECT_NEAR(s.T0[2], 1.6f, 1e-4f);
    EXPECT_NEAR(s.T1[2], -0.5f, 1e-4f);
    EXPECT_NEAR(s.tipNormal, 1, 1e-4f);
    EXPECT_NEAR(s.baseNormal, 0.6f, 1e-4f);
}

TEST(CrushSkeleton, DegenerateInputsKeepTheWindPose)
{
    BladeSkeleton wind = standingAt(1, 1, 0);
    bendSkeleton(wind, 2, 0.2f, 0.1f);
    const float none[2] = {0, 0};
    const float tiny[2] = {1e-30f, -1e-30f};
    const float dir[2] = {1, 0};

    BladeSkeleton s = wind;
    crushSkeleton(s, 50, none, 1000, 2);
    EXPECT_EQ(std::memcmp(&s, &wind, sizeof s), 0);
    // No wind and no amount: 0/0 must not reach the skeleton.
    crushSkeleton(s, 0, dir, 0, 2);
    EXPECT_EQ(std::memcmp(&s, &wind, sizeof s), 0);
    crushSkeleton(s, INFINITY, dir, INFINITY, 2);
    EXPECT_TRUE(allFinite(s));
    // A direction too small to square still has a direction.
    s = wind;
    crushSkeleton(s, 0, tiny, 10, 2);
    EXPECT_TRUE(allFinite(s));
    EXPECT_NEAR(s.P1[0], 1 + 0.92f * 2 * std::sqrt(0.5f), 1e-4f);
}
