// Blade and patch geometry, recorded through a sink instead of GL.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "grass/grass_drawing.h"
#include "grass/grass_animation.h"
#include "grass/grass_geometry.h"
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
        for (GrassNode& n : field.getNodes()) {
            n.windWeight = 50;
            bendSkeleton(n.skeleton, n.height, 0.3f, 0.1f);
        }
    }
    /// The next four draws of the table after `cursor`.
    void nextDraws(int cursor, std::array<float, 4> values)
    {
        for (int k = 0; k < 4; ++k) field.drawing().randomTable.values[cursor + 1 + k] = values[k];
        field.drawing().randomTable.setCursor(cursor);
    }
};

} // namespace

TEST_F(Geometry, BladesStandOnThePairsDrawnFirstWithCentredTipNoiseAndFarOnesSlideOntoDiagonals)
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
    RandomTable t = field.drawing().randomTable;
    t.setCursor(p.randomIndex);
    float u[10], v[10];
    for (int b = 0; b < 10; ++b) u[b] = t.next(), v[b] = t.next();
    ASSERT_TRUE(r.strips.size() == 10 && far.strips.size() == 10);
    for (int b = 0; b < 10; ++b) {
        // Far, u moves halfway to v (to 1 - v when u and v lie in different halves).
        const float slid = (u[b] >= 0.5f) == (v[b] >= 0.5f) ? (u[b] + v[b]) / 2 : (u[b] + 1 - v[b]) / 2;
        const Point &f0 = far.strips[b][0], &f1 = far.strips[b][1], farBase = {c0.x + slid, c0.y + v[b], c0.z};
        expectNear({(f0[0] + f1[0]) / 2, (f0[1] + f1[1]) / 2, f0[2]}, farBase, "far base", b);
        // The node's pose moved to the blade's base; tip and tip tangent shifted by the noise.
        BladeSkeleton s = bent;
        const float base[3] = {c0.x + u[b], c0.y + v[b], c0.z};
        for (int k = 0; k < 3; ++k) {
            const float e = (t.next() - 0.5f) * 0.1f;
            s.P1[k] += base[k] - bent.P0[k] + e, s.T1[k] += e, s.P0[k] = base[k];
        }
        for (int k = 0; k < 4; ++k) t.next();  // row, widths, highlight
        for (int k = 0; k <= 3; ++k) {
            float y[3];
            skeletonPoint(s, k / 3.0f, y);
            const Point &a = r.strips[b][2 * k], &c = r.strips[b][2 * k + 1];
            expectNear({(a[0] + c[0]) / 2, (a[1] + c[1]) / 2, (a[2] + c[2]) / 2}, {y[0], y[1], y[2]}, "axis", k);
        }
    }
    EXPECT_EQ(field.drawing().randomTable.cursor, t.cursor);
    // Without noise 6 draws a blade; density 0.55 leaves trunc(10 × 0.55) = 5 blades.
    field.setNoisePositions(0);
    p.density = 0.55f;
    EXPECT_EQ(drawPatch3D(field, r, p, 3), 2 * 3 * 5);
    t.setCursor(p.randomIndex);
    for (int k = 0; k < 30; ++k) t.next();
    EXPECT_EQ(field.drawing().randomTable.cursor, t.cursor);
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

    // A camera 20 m up: the tips rise halfway to it (dMin / dMax = 0.5).
    field.setAjustmentHeight2D5(true);
    field.drawing().view.camZ = 20;
    p.corners[0]->distance = p.corners[1]->distance = 5;
    p.corners[2]->distance = p.corners[3]->distance = 10;
    drawPatch2D5(field, raised, p, 3);
    EXPECT_NEAR(raised.strips[0][6][2], 10.0f, 1e-4f);

    // A ribbon piece: A and A + shift, raised along the skeleton.
    Recorder ribbon;
    drawRibbon(ribbon, std::array<float, 3>{0, 0, 0}.data(), std::array<float, 3>{1, 1, 0}.data(),
               line({0, 0, 0}, {0, 0, 1}), 0.1f, 0.5f, 0.2f, 0.8f, 0.3f, 0.6f, 2);
    const std::vector<Point> at = {{0, 0, 0}, {1, 1, 0}, {0, 0, 0.5f}, {1, 1, 0.5f}, {0, 0, 1}, {1, 1, 1}};
    for (int k = 0; k < 6; ++k) expectNear(ribbon.strips.at(0).at(k), at[k], "ribbon", k);

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
    for (int k = 0; k <= 4; ++k) {
        const float t = k / 4.0f, w = k == 0 ? w0 + w1 : (1 - t * t) * w0 + w1;
        expectNear(r.strips[0][2 * k], {1 - w * sx, 1 - w * sy, t}, "left", k);
        expectNear(r.strips[0][2 * k + 1], {1 + w * sx, 1 + w * sy, t}, "right", k);
    }

    // Leaning more than 45° along x: the width tilts down on the side the
    // blade leans to, by |q.x + q.y| with q = side (Δ·side)/w², then back to w.
    Recorder leaning;
    nextDraws(0, {0.25f, 0.5f, 0.5f, 0.5f});
    drawBlade(field, leaning, line({0, 0, 0}, {2, 0, 1}), 4);
    for (int k = 1; k <= 4; ++k) {
        const float t = k / 4.0f, w = (1 - t * t) * w0 + w1, z = -(sx + sy) * 0.5f * sx;
        const float scale = w / std::sqrt(w * w + z * z);
        const Point &a = leaning.strips[0][2 * k], &c = leaning.strips[0][2 * k + 1];
        const Point half = {(c[0] - a[0]) / 2, (c[1] - a[1]) / 2, (c[2] - a[2]) / 2};
        expectNear(half, {w * sx * scale, w * sy * scale, z * scale}, "half width", k);
    }

    // A texture blade: fixed side, widths scaled, three draws, normals linear.
    Recorder fixed;
    nextDraws(0, {0.25f, 0.5f, 0.5f, 0.5f});
    drawBladeFixed(field, fixed, line({1, 1, 0}, {1, 1, 1}), 4, 1, 0, 2);
    EXPECT_EQ(field.drawing().randomTable.cursor, 3);
    expectNear(fixed.strips[0][0], {1 - 2 * w0 - 2 * w1, 1, 0}, "fixed base", 0);
    expectNear(fixed.strips[0][9], {1 + 2 * w1, 1, 1}, "fixed tip", 9);
    expectNear(fixed.nst[0][3], {0.45f, 1, 0.25f}, "fixed nst", 3);
}

TEST_F(Geometry, CrushPointsTakeTheirCornerOrTheMeanAndBendByTheirOwnCrush)
{
    GrassPatch& p = field.patch(0, 0);
    for (int c = 0; c < 4; ++c) {
        p.corners[c]->height = 1.0f + c;
        p.corners[c]->windWeight = 10.0f * (c + 1);
        bendSkeleton(p.corners[c]->skeleton, 1.0f + c, 0.1f * c, 0.2f);
    }
    auto flat = [](const BladeSkeleton& s) {
        std::array<float, 14> f;
        std::memcpy(f.data(), &s, sizeof s);
        return f;
    };
    std::array<std::array<float, 14>, 4> corner;
    for (int c = 0; c < 4; ++c) corner[c] = flat(p.corners[c]->skeleton);
    // The centre's crush equals its mean wind weight (25) along +y: half flattened.
    CrushPoint& centre = *p.crush[4];
    centre.amount = 25, centre.dirY = 2, centre.crushed = 1;
    crushedSkeletons(p);
    const std::vector<int> means[9] = {{0}, {0, 1}, {1}, {0, 2}, {0, 1, 2, 3}, {1, 3}, {2}, {2, 3}, {3}};
    for (int i = 0; i < 9; ++i) {
        std::array<float, 14> m{};
        for (int c : means[i])
            for (int k = 0; k < 14; ++k) m[k] += corner[c][k] / means[i].size();
        if (i == 4)  // tip: halfway to 0.92 × the mean height (2.5) from the base along +y
            for (int k = 0; k < 3; ++k) m[3 + k] = 0.5f * m[3 + k] + 0.5f * (m[k] + (k == 1 ? 0.92f * 2.5f : 0));
        const std::array<float, 14> got = flat(p.crush[i]->skeleton);
        for (int k = 0; k < (i == 4 ? 6 : 14); ++k) EXPECT_NEAR(got[k], m[k], 1e-5f) << "point " << i << " float " << k;
    }
}
