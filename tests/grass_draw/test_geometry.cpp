// Blade and patch geometry, recorded through a sink instead of GL.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "grass/grass_drawing.h"
#include "grass/grass_animation.h"
#include "grass/grass_geometry.h"
#include "tests/support/grass_scene.h"
#include "util/random.h"

namespace {

using Point = std::array<float, 3>;

/// Records every primitive as a list of vertex positions, and every vertex's
/// normal height and texture coordinates (n, s, t).
struct Recorder : GeometrySink {
    std::vector<std::vector<Point>> strips, nst;
    void begin(GrassPrimitive) override { strips.emplace_back(), nst.emplace_back(); }
    void vertex(float n, float s, float t, const float p[3]) override
    {
        strips.back().push_back({p[0], p[1], p[2]});
        nst.back().push_back({n, s, t});
    }
    void end() override {}
};

void expectNear(const Point& got, const Point& expected, const char* what, int k)
{
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], expected[c], 1e-5f) << what << " vertex " << k << " coordinate " << c;
}

BladeSkeleton line(Point from, Point to)
{
    // Tangents along the chord: the Hermite curve is the straight segment.
    BladeSkeleton s;
    for (int k = 0; k < 3; ++k) s.P0[k] = from[k], s.P1[k] = to[k], s.T0[k] = s.T1[k] = to[k] - from[k];
    s.baseNormal = 0.3f, s.tipNormal = 0.9f;
    return s;
}

/// A 2 × 2 field of 1 m patches, 10 blades each, every node bent by (wx, wy).
class Geometry : public ::testing::Test {
protected:
    GrassField field;
    void SetUp() override
    {
        util::randomSeed(1);
        const float area[4] = {0, 0, 2, 2};
        field.initField(area, 2, 2, nullptr);
        field.setHeight(1.0f);
        field.setWidth(0.02f);
        field.setBladesPerSquareMetre(100);
        field.drawing().view.sideX = 1;
        field.drawing().view.sideY = 0;
        for (GrassNode& n : field.getNodes()) bendSkeleton(n.skeleton, n.height, 0.3f, 0.1f);
    }
    /// The next four draws of the table after `cursor`.
    void nextDraws(int cursor, std::array<float, 4> values)
    {
        for (int k = 0; k < 4; ++k) field.drawing().randomTable.values[cursor + 1 + k] = values[k];
        field.drawing().randomTable.setCursor(cursor);
    }
};

} // namespace

TEST_F(Geometry, BladesStandInTheirPatchWithCentredTipNoiseAndFarOnesSlideOntoDiagonals)
{
    field.setNoisePositions(0.1f);
    field.setDistance3D(30);
    GrassPatch& p = field.patch(1, 0);
    p.distance = 0.5f * (19.8f + 30);  // halfway from the near limit (0.66 × 30) to distance3D
    const GrassNode& c0 = *p.corners[0];
    const BladeSkeleton& bent = c0.skeleton;  // every node bends alike
    Recorder r, far;
    drawPatch3D(field, r, p, 3);
    drawPatch3DFar(field, far, p, 3);
    ASSERT_EQ(r.strips.size(), 10u);
    ASSERT_EQ(far.strips.size(), 10u);
    const auto middle = [](const std::vector<Point>& strip, int pair) {
        const Point &a = strip[2 * pair], &b = strip[2 * pair + 1];
        return Point{(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2};
    };
    int above = 0;  // tip noise components above the bent pose
    for (int b = 0; b < 10; ++b) {
        SCOPED_TRACE(testing::Message() << "blade " << b);
        // Near: the base anywhere in the 1 m patch, the tip where the node's
        // bend puts it, off by at most 0.1/2 along each axis.
        const Point base = middle(r.strips[b], 0), tip = middle(r.strips[b], 3);
        const float u = base[0] - c0.x, v = base[1] - c0.y;
        EXPECT_TRUE(u >= 0 && u <= 1 && v >= 0 && v <= 1) << u << " " << v;
        EXPECT_FLOAT_EQ(base[2], c0.z);
        for (int k = 0; k < 3; ++k) {
            const float e = tip[k] - base[k] - (bent.P1[k] - bent.P0[k]);
            EXPECT_LE(std::fabs(e), 0.05f + 1e-5f) << k;
            above += e > 0;
        }
        // Far, from the same draws, halfway onto the diagonal through the
        // base's quadrant: u = v where u and v lie in the same half, else u = 1 − v.
        const Point farBase = middle(far.strips[b], 0);
        const float onDiagonal = (u >= 0.5f) == (v >= 0.5f) ? v : 1 - v;
        EXPECT_NEAR(farBase[0] - c0.x, (u + onDiagonal) / 2, 1e-5f);
        EXPECT_NEAR(farBase[1], base[1], 1e-5f);
    }
    EXPECT_GT(above, 5);
    EXPECT_LT(above, 25);
    // Density 0.55 leaves trunc(10 × 0.55) = 5 blades of 3 segments.
    p.density = 0.55f;
    EXPECT_EQ(drawPatch3D(field, r, p, 3), 2 * 3 * 5);
}

TEST_F(Geometry, RibbonsRunOnTheDiagonalsAndFlatQuadsLieOnTheHighestGround)
{
    field.setAjustmentHeight2D5(false);
    GrassPatch& p = field.patch(0, 0);
    Recorder r, raised;
    EXPECT_EQ(drawPatch2D5(field, r, p, 3), 12);
    ASSERT_EQ(r.strips.size(), 2u);
    EXPECT_FLOAT_EQ(r.strips[0][0][0], p.corners[0]->x);
    EXPECT_FLOAT_EQ(r.strips[0][1][1], p.corners[3]->y);
    EXPECT_FLOAT_EQ(r.strips[1][0][1], p.corners[1]->y);
    EXPECT_FLOAT_EQ(r.strips[1][1][0], p.corners[2]->x);
    // The top keeps the base's width: B's side is A's shifted by B − A.
    EXPECT_NEAR(r.strips[0][7][0] - r.strips[0][6][0], p.corners[3]->x - p.corners[0]->x, 1e-5f);

    // A camera 20 m up: the tips rise halfway to it (dMin / dMax = 0.5).
    field.setAjustmentHeight2D5(true);
    field.drawing().view.camZ = 20;
    p.corners[0]->distance = p.corners[1]->distance = 5;
    p.corners[2]->distance = p.corners[3]->distance = 10;
    drawPatch2D5(field, raised, p, 3);
    EXPECT_NEAR(raised.strips[0][6][2], 10.0f, 1e-4f);

    // The flat quad: corners 0, 1, 3, 2 at their highest ground, window
    // [D - 0.25 + r, D - r] with r = 0.5·0.0625.
    GrassPatch& q = field.patch(1, 1);
    for (int c = 0; c < 4; ++c) q.corners[c]->maxGroundZ = 0.1f * (c + 1);
    q.randomIndex = 100;
    nextDraws(100, {0.5f, 0, 0, 0});
    Recorder quad;
    drawPatch2D(field, quad, q);
    const float n = 0.65f * q.corners[0]->skeleton.tipNormal + 0.35f * q.corners[0]->skeleton.baseNormal;
    const int order[4] = {0, 1, 3, 2};
    const float s[4] = {0.78125f, 0.96875f, 0.96875f, 0.78125f};
    for (int k = 0; k < 4; ++k) {
        const GrassNode& c = *q.corners[order[k]];
        expectNear(quad.strips.at(0).at(k), {c.x, c.y, c.maxGroundZ}, "quad", k);
        expectNear(quad.nst[0][k], {n, s[k], k < 2 ? 0.0f : 1.0f}, "quad nst", k);
    }
}

TEST_F(Geometry, ABladeTapersQuadraticallyAndTiltsItsWidthWhenItLeans)
{
    // Draws: row 0.25, w0 = 0.5·0.02 + 0.02, w1 = 0.5·0.01, highlight.
    const float w0 = 0.03f, w1 = 0.005f, sx = 0.6f, sy = 0.8f;
    field.drawing().view.sideX = sx, field.drawing().view.sideY = sy;
    nextDraws(0, {0.25f, 0.5f, 0.5f, 0.5f});
    Recorder r;
    drawBlade(field, r, line({1, 1, 0}, {1, 1, 1}), 4);
    ASSERT_EQ(r.strips.at(0).size(), 10u);
    // Half-widths (1 − t²)·w0 + w1 at t = 0, 1/4, 1/2, 3/4, 1.
    const float halves[5] = {0.035f, 0.033125f, 0.0275f, 0.018125f, 0.005f};
    for (int k = 0; k <= 4; ++k) {
        expectNear(r.strips[0][2 * k], {1 - halves[k] * sx, 1 - halves[k] * sy, k / 4.0f}, "left", k);
        expectNear(r.strips[0][2 * k + 1], {1 + halves[k] * sx, 1 + halves[k] * sy, k / 4.0f}, "right", k);
    }

    // Leaning more than 45° along x: the width tilts down on the side the
    // blade leans to, still along the side direction seen from above, and
    // keeps its length.
    Recorder leaning;
    nextDraws(0, {0.25f, 0.5f, 0.5f, 0.5f});
    drawBlade(field, leaning, line({0, 0, 0}, {2, 0, 1}), 4);
    for (int k = 1; k <= 4; ++k) {
        const Point &a = leaning.strips[0][2 * k], &c = leaning.strips[0][2 * k + 1];
        const Point half = {(c[0] - a[0]) / 2, (c[1] - a[1]) / 2, (c[2] - a[2]) / 2};
        EXPECT_NEAR(std::sqrt(half[0] * half[0] + half[1] * half[1] + half[2] * half[2]), halves[k], 1e-6f) << k;
        EXPECT_LT(half[2], -0.2f * halves[k]) << k;
        EXPECT_NEAR(half[0] * sy, half[1] * sx, 1e-7f) << k;
    }

    // A texture blade: fixed side, widths scaled, normals linear.
    Recorder fixed;
    nextDraws(0, {0.25f, 0.5f, 0.5f, 0.5f});
    drawBladeFixed(field, fixed, line({1, 1, 0}, {1, 1, 1}), 4, 1, 0, 2);
    expectNear(fixed.strips[0][0], {1 - 2 * w0 - 2 * w1, 1, 0}, "fixed base", 0);
    expectNear(fixed.strips[0][9], {1 + 2 * w1, 1, 1}, "fixed tip", 9);
    expectNear(fixed.nst[0][3], {0.45f, 1, 0.25f}, "fixed nst", 3);
}

TEST_F(Geometry, CrushPointsStandWhereTheyAreAndBendByTheirOwnCrush)
{
    // Corners c at (c % 2, c / 2) of heights 1 + c, wind weights 10·(c + 1).
    GrassPatch& p = field.patch(0, 0);
    for (int c = 0; c < 4; ++c) {
        p.corners[c]->height = 1.0f + c;
        p.corners[c]->windWeight = 10.0f * (c + 1);
        bendSkeleton(p.corners[c]->skeleton, 1.0f + c, 0.1f * c, 0.2f);
    }
    // The centre's crush equals its mean wind weight (25) along +y: half flattened.
    CrushPoint& centre = *p.crush[4];
    centre.amount = 25, centre.dirY = 2, centre.crushed = 1;
    crushedSkeletons(p);
    // Point a + 3b stands at (a/2, b/2) with the height between its corners:
    // 1, 1.5, 2 on the bottom edge, 3, 3.5, 4 on the top, the centre 2.5.
    const float heights[9] = {1, 1.5f, 2, 2, 2.5f, 3, 3, 3.5f, 4};
    for (int i = 0; i < 9; ++i) {
        const BladeSkeleton& s = p.crush[i]->skeleton;
        EXPECT_NEAR(s.P0[0], 0.5f * (i % 3), 1e-6f) << i;
        EXPECT_NEAR(s.P0[1], 0.5f * (i / 3), 1e-6f) << i;
        if (i != 4) {
            EXPECT_NEAR(s.T0[2], heights[i], 1e-6f) << i;
        }
    }
    for (int c = 0; c < 4; ++c) EXPECT_EQ(test_support::skeletonFloats(p.crush[(c % 2) * 2 + (c / 2) * 6]->skeleton),
                                             test_support::skeletonFloats(p.corners[c]->skeleton)) << c;
    // The centre's tip halfway from the corners' mean tip to 0.92 × 2.5 along +y from its base.
    float tip[3] = {};
    for (const GrassNode* c : p.corners)
        for (int k = 0; k < 3; ++k) tip[k] += c->skeleton.P1[k] / 4;
    const BladeSkeleton& s = centre.skeleton;
    EXPECT_NEAR(s.P1[0], 0.5f * tip[0] + 0.5f * 0.5f, 1e-5f);
    EXPECT_NEAR(s.P1[1], 0.5f * tip[1] + 0.5f * (0.5f + 2.3f), 1e-5f);
    EXPECT_NEAR(s.P1[2], 0.5f * tip[2], 1e-5f);
}
