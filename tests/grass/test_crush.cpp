#include "grass/grass_animation.h"
#include "grass/grass_field.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

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

using V = std::array<double, 3>;

V minus(const V& a, const V& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double dot(const V& a, const V& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double norm(const V& a) { return std::sqrt(dot(a, a)); }

struct Strength {
    double v, dist;
};

/// The crush strength at point c for the path P -> Q, and c's distance to the
/// path line: from the foot B of c on the line, the ratios |P - B| / |P - X|
/// and |Q - B| / |Q - X|, summed between the ends and differenced outside,
/// over the squared distance. Not for points on the line.
Strength strength(const V& P, const V& Q, const CrushPoint& c)
{
    const V X = {c.x, c.y, c.z}, pq = minus(Q, P);
    const double t = dot(minus(X, P), pq) / dot(pq, pq);
    const V B = {P[0] + t * pq[0], P[1] + t * pq[1], P[2] + t * pq[2]};
    const double d = norm(minus(X, B)), r1 = norm(minus(P, B)) / norm(minus(P, X));
    const double r2 = norm(minus(Q, B)) / norm(minus(Q, X)), e = dot(B, pq);
    const double v = e > dot(Q, pq) ? (r1 - r2) / 2 : e < dot(P, pq) ? (r2 - r1) / 2 : (r1 + r2) / 2;
    return {v / (d * d), d};
}

using Floats = std::array<float, 14>;

Floats floats(const BladeSkeleton& s)
{
    static_assert(sizeof(Floats) == sizeof s);
    Floats f;
    std::memcpy(f.data(), &s, sizeof s);
    return f;
}

BladeSkeleton bentAt(float x, float y, float height, float wx, float wy)
{
    BladeSkeleton s;
    s.P0[0] = x, s.P0[1] = y;
    bendSkeleton(s, height, wx, wy);
    return s;
}

} // namespace

TEST_F(GrassCrush, EveryPointAWalkReachesTakesTheStrengthOfItsDistanceToThePath)
{
    // Along y = 5, 0.2 m above the ground: points in line with the path get
    // no side push; points behind, between and beyond its ends all occur.
    const V P = {3.9, 5, 0.2}, Q = {4.3, 5, 0.2};
    rock.crushingPropagation = 0.05f;  // so that walks stop inside the grid
    roll(3.9f, 5, 4.3f, 5);
    // The four seeds around cell (7, 10) walk their quadrants: rows outwards,
    // then columns from every row point, each stopping after the first
    // point not above the threshold; each point reached is crushed once.
    const int rows = field.crushPointsX(), columns = field.crushPointsY();
    std::vector<char> reached(size_t(rows) * columns, 0);
    auto walk = [&](int i, int j) {
        reached[size_t(i) * columns + j] = 1;
        return strength(P, Q, field.crushPoint(i, j)).v > rock.crushingPropagation;
    };
    const int seeds[4][4] = {{7, 10, -1, -1}, {8, 10, 1, -1}, {7, 11, -1, 1}, {8, 11, 1, 1}};  // i, j, steps
    for (const auto& seed : seeds)
        for (int i = seed[0]; i >= 0 && i < rows && walk(i, seed[1]); i += seed[2])
            for (int k = seed[1] + seed[3]; k >= 0 && k < columns && walk(i, k); k += seed[3]) {}
    EXPECT_GT(std::count(reached.begin(), reached.end(), 1), 12);  // the walks spread beyond the seeds
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) {
            SCOPED_TRACE(testing::Message() << "point " << i << ", " << j);
            const CrushPoint& c = field.crushPoint(i, j);
            const bool hit = reached[size_t(i) * columns + j];
            ASSERT_EQ(c.crushed, hit);
            const Strength e = strength(P, Q, c);
            const double amount = hit ? 200 * e.v : 0, k = std::min(1.0, 0.4 * e.dist);
            const double side = (c.y > 5) - (c.y < 5);  // points above the path go up, below down
            const double tol = 1e-3 * std::fabs(amount) + 1e-6;  // float rounding far out
            ASSERT_NEAR(c.amount, amount, tol);
            EXPECT_NEAR(c.initialAmount, amount, tol);
            EXPECT_NEAR(c.remainingTime, hit ? (amount * 1e-4 + 0.75) * 20 : 0, 1e-4);
            EXPECT_NEAR(c.dirX, hit ? (1 - k) * e.v : 0, tol / 200);
            EXPECT_NEAR(c.dirY, hit ? side * k * e.v : 0, tol / 200);
        }
}

TEST_F(GrassCrush, APushAddsToTheFadedDirectionUnlessAHardCrushResistsIt)
{
    // The seed at (4, 5) of a push along +x, with no spreading. The crush
    // already there: amount, initial amount, direction; then whether it turns.
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
        const Strength e = strength({3.9, 5, 0.2}, {4.3, 5, 0.2}, k);
        const double f = c.amount / c.initial, push = (1 - std::min(1.0, 0.4 * e.dist)) * e.v;
        EXPECT_NEAR(k.amount, c.amount + 200 * e.v, 1e-3);
        EXPECT_NEAR(k.dirX, c.turns ? f * c.dirX + push : c.dirX, 1e-5) << c.amount;
        EXPECT_NEAR(k.dirY, c.turns ? f * c.dirY : c.dirY, 1e-5) << c.amount;
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
    EXPECT_TRUE(below.amount > 0 && below.dirX == 0 && below.dirY == 0 && crushedCount() > 0);
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
    EXPECT_TRUE(c.amount == 0 && c.crushed == 1);
    field.updateCrushing(0.05f, &rock, 1);
    EXPECT_EQ(c.crushed, 0);
}

TEST(BendSkeleton, TipTangentsAndNormalsFollowTheBendAmount)
{
    // Bend amounts 0, 0.5 and 1 with the Hermite basis (h00, h10, h01, h11) there.
    struct Case {
        float wx, wy, h00, h10, h01, h11;
    } cases[] = {{0, 0, 1, 0, 0, 0}, {0.3f, -0.4f, 0.5f, 0.125f, 0.5f, -0.125f}, {0.6f, 0.8f, 0, 0, 1, 0}};
    for (const Case& c : cases) {
        const float H = 2, s = std::hypot(c.wx, c.wy), reach = 0.8f * H * c.h01 + 2.8f * c.h10;
        const Floats got = floats(bentAt(3, 4, H, c.wx, c.wy));  // base on the ground at (3, 4)
        const float ux = s > 0 ? c.wx / s : 0, uy = s > 0 ? c.wy / s : 0;
        const float tipZ = H * c.h00 + 0.5f * H * c.h01 - 0.6f * c.h11;
        const Floats expected = {3, 4, 0, 3 + reach * ux, 4 + reach * uy, tipZ, 0, 0, H, c.wx, c.wy, 1 - s,
                                 0.3f, 0.4f * s + 0.6f};
        for (int k = 0; k < 14; ++k) EXPECT_NEAR(got[k], expected[k], 1e-5f) << "s " << s << " float " << k;
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
    EXPECT_EQ(floats(s), floats(wind));

    // An amount equal to the wind weight: half the wind pose, half a blade
    // lying along (0.6, 0.8) with its tip 0.92 H away; the base stays.
    crushSkeleton(s, 50, dir, 50, 2);
    const Floats flat = {1, 1, 0, 1 + 0.92f * 2 * 0.6f, 1 + 0.92f * 2 * 0.8f, 0, 0.6f, 0.8f, 0.8f * 2,
                         0.6f, 0.8f, -0.5f, 0.6f, 1};
    const Floats before = floats(wind), after = floats(s);
    for (int k = 0; k < 14; ++k) EXPECT_NEAR(after[k], k < 3 ? before[k] : (before[k] + flat[k]) / 2, 1e-5f) << k;

    s = wind;
    crushSkeleton(s, 0, tiny, 10, 2);  // too small to square, still a direction
    EXPECT_NEAR(s.P1[0], 1 + 0.92f * 2 * std::sqrt(0.5f), 1e-4f);
    crushSkeleton(s, INFINITY, dir, INFINITY, 2);
    EXPECT_TRUE(std::isfinite(s.P1[0] + s.T0[2] + s.tipNormal));
}
