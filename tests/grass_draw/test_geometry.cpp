// Blade and patch geometry, recorded through a sink instead of GL.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "grass/grass_animation.h"
#include "grass/grass_geometry.h"
#include "util/random.h"

namespace {

struct Vertex {
    float normalZ, s, t, p[3];
};

/// Records every primitive as a list of vertices.
class Recorder : public GeometrySink {
public:
    std::vector<std::vector<Vertex>> strips;
    std::vector<GrassPrimitive> kinds;
    void begin(GrassPrimitive kind) override
    {
        kinds.push_back(kind);
        strips.emplace_back();
    }
    void vertex(float n, float s, float t, const float p[3]) override
    {
        strips.back().push_back({n, s, t, {p[0], p[1], p[2]}});
    }
    void end() override {}
};

/// The value the patch's first draw takes from the table.
float firstDraw(const GrassField& field, const GrassPatch& patch)
{
    const int next = patch.randomIndex + 1;
    return field.randomTable.values[next <= RandomTable::SIZE - 1 ? next : 0];
}

/// Every vertex position drawn, in order.
std::vector<float> positions(const Recorder& r)
{
    std::vector<float> all;
    for (const auto& strip : r.strips)
        for (const Vertex& v : strip) all.insert(all.end(), v.p, v.p + 3);
    return all;
}

/// Midpoint of pair `pair` of a strip (the blade's axis point there).
void axis(const std::vector<Vertex>& strip, size_t pair, float out[3])
{
    for (int c = 0; c < 3; ++c) out[c] = 0.5f * (strip[2 * pair].p[c] + strip[2 * pair + 1].p[c]);
}

/// A 2 × 2 field of 1 m patches, density 1, every node bent by (wx, wy).
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
        field.setBladesPerSquareMetre(100);  // 10 blades per patch
        field.view.sideX = 1;
        field.view.sideY = 0;
        bend(0.3f, 0.1f);
    }
    void bend(float wx, float wy)
    {
        for (GrassNode& n : field.nodes) {
            n.windWeight = 50;
            bendSkeleton(n.skeleton, n.height, wx, wy);
        }
    }
};

} // namespace

TEST_F(Geometry, APatchDrawsTheSameBladesEveryFrame)
{
    GrassPatch& p = field.patch(0, 0);
    ASSERT_EQ(field.settings.bladesPerPatch, 10);
    Recorder first, second;
    EXPECT_EQ(drawPatch3D(field, first, p, 4), 2 * 4 * 10);
    EXPECT_EQ(first.strips.size(), 10u);
    EXPECT_EQ(first.strips[0].size(), 10u);  // n + 1 pairs
    drawPatch3D(field, second, field.patch(1, 1), 4);  // moves the table's cursor
    second = Recorder();
    drawPatch3D(field, second, p, 4);
    EXPECT_EQ(positions(first), positions(second));

    // Density scales the count: trunc(10 × 0.55) = 5.
    p.density = 0.55f;
    Recorder sparse;
    EXPECT_EQ(drawPatch3D(field, sparse, p, 4), 2 * 4 * 5);
    EXPECT_EQ(sparse.strips.size(), 5u);
}

TEST_F(Geometry, BladeWidthTapersToTheTipAndStaysUnderTilt)
{
    // A strong lean along the side direction forces the tilt of the width.
    bend(1.0f, 0.0f);
    const GrassNode& n = field.node(0, 0);
    field.randomTable.setCursor(10);
    const float* v = field.randomTable.values;
    const float w0 = v[12] * 0.02f + 0.02f, w1 = v[13] * 0.01f, bend = v[14] * 0.69f + 0.3f;
    Recorder r;
    drawBlade(field, r, n.skeleton, 5);
    const auto& strip = r.strips.at(0);
    ASSERT_EQ(strip.size(), 12u);
    bool tilted = false;
    for (size_t pair = 0; pair <= 5; ++pair) {
        const float t = pair / 5.0f;
        const float w = pair == 0 ? w0 + w1 : (1 - t * t) * w0 + w1;
        const Vertex &a = strip[2 * pair], &b = strip[2 * pair + 1];
        const float dx = b.p[0] - a.p[0], dy = b.p[1] - a.p[1], dz = b.p[2] - a.p[2];
        EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), 2 * w, 1e-5f) << "pair " << pair;
        tilted = tilted || std::fabs(dz) > 1e-4f;
    }
    EXPECT_TRUE(tilted);
    EXPECT_NEAR(strip[11].normalZ, (1 - bend) * n.skeleton.baseNormal + bend * n.skeleton.tipNormal, 1e-6f);
}

TEST_F(Geometry, PositionNoiseMovesTipsButNotBases)
{
    GrassPatch& p = field.patch(1, 0);
    Recorder calm, noisy;
    drawPatch3D(field, calm, p, 3);
    field.setNoisePositions(0.5f);
    drawPatch3D(field, noisy, p, 3);
    ASSERT_EQ(calm.strips.size(), noisy.strips.size());
    int tipsMoved = 0;
    for (size_t b = 0; b < calm.strips.size(); ++b) {
        float baseA[3], baseB[3], tipA[3], tipB[3];
        axis(calm.strips[b], 0, baseA);
        axis(noisy.strips[b], 0, baseB);
        axis(calm.strips[b], 3, tipA);
        axis(noisy.strips[b], 3, tipB);
        for (int c = 0; c < 3; ++c) EXPECT_FLOAT_EQ(baseA[c], baseB[c]);
        tipsMoved += std::fabs(tipA[0] - tipB[0]) + std::fabs(tipA[1] - tipB[1]) > 1e-3f;
    }
    EXPECT_GE(tipsMoved, int(calm.strips.size()) - 1);
}

TEST_F(Geometry, FarBladesMatchNearOnesAtTheNearLimitAndSlideOntoDiagonals)
{
    field.setDistance3D(30);
    GrassPatch& p = field.patch(0, 1);
    p.distance = field.settings.distance3DNear;
    Recorder near, far;
    drawPatch3D(field, near, p, 3);
    EXPECT_EQ(drawPatch3DFar(field, far, p, 3), 2 * 3 * 10);
    EXPECT_EQ(positions(near), positions(far));

    // At distance3D every base lies on one of the two diagonals of the patch.
    p.distance = 30;
    Recorder edge;
    drawPatch3DFar(field, edge, p, 3);
    const float x0 = p.corners[0]->x, y0 = p.corners[0]->y;
    for (const auto& strip : edge.strips) {
        float base[3];
        axis(strip, 0, base);
        const float u = base[0] - x0, v = base[1] - y0;
        EXPECT_LT(std::min(std::fabs(u - v), std::fabs(u - (1 - v))), 1e-5f);
    }
}

TEST_F(Geometry, CrushedSkeletonsSitOnTheHalfGridAndBendWithTheirAmount)
{
    GrassPatch& p = field.patch(1, 1);
    Recorder plain;
    drawPatch3D(field, plain, p, 3);

    // Only the centre crushed, with no amount: the averaged poses give the same blades.
    p.crush[4]->crushed = 1;
    Recorder centre;
    drawPatch3D(field, centre, p, 3);
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) {
            const BladeSkeleton& s = p.crush[a + 3 * b]->skeleton;
            EXPECT_FLOAT_EQ(s.P0[0], 1 + 0.5f * a);
            EXPECT_FLOAT_EQ(s.P0[1], 1 + 0.5f * b);
        }
    const std::vector<float> a = positions(plain), b = positions(centre);
    ASSERT_EQ(a.size(), b.size());
    for (size_t k = 0; k < a.size(); ++k) ASSERT_NEAR(a[k], b[k], 1e-5f) << "coordinate " << k;

    // A heavy crush towards −y lays the centre blade down that way.
    p.crush[4]->amount = 1e4f;
    p.crush[4]->dirX = 0;
    p.crush[4]->dirY = -1;
    Recorder flattened;
    drawPatch3D(field, flattened, p, 3);
    const BladeSkeleton& c = p.crush[4]->skeleton;
    EXPECT_LT(c.P1[1] - c.P0[1], -0.8f);
    EXPECT_LT(c.P1[2] - c.P0[2], 0.1f);
}

TEST_F(Geometry, RibbonsRunOnTheDiagonalsAndRiseTowardsAHighCamera)
{
    field.setAjustmentHeight2D5(false);
    GrassPatch& p = field.patch(0, 0);
    Recorder r;
    EXPECT_EQ(drawPatch2D5(field, r, p, 3), 12);
    ASSERT_EQ(r.strips.size(), 2u);
    const auto& ribbon = r.strips[0];
    ASSERT_EQ(ribbon.size(), 8u);
    EXPECT_FLOAT_EQ(ribbon[0].p[0], p.corners[0]->x);
    EXPECT_FLOAT_EQ(ribbon[1].p[0], p.corners[3]->x);
    EXPECT_FLOAT_EQ(ribbon[1].p[1], p.corners[3]->y);
    EXPECT_FLOAT_EQ(r.strips[1][0].p[1], p.corners[1]->y);
    const float plainTop = ribbon[6].p[2];

    // A camera 20 m up: the tips rise to the adjusted height.
    field.setAjustmentHeight2D5(true);
    field.view.camZ = 20;
    p.corners[0]->distance = p.corners[1]->distance = 5;
    p.corners[2]->distance = p.corners[3]->distance = 10;
    Recorder raised;
    drawPatch2D5(field, raised, p, 3);
    EXPECT_GT(raised.strips[0][6].p[2], plainTop + 1);
    EXPECT_NEAR(raised.strips[0][6].p[2], 10.0f, 1e-4f);  // halfway up: dMin / dMax = 0.5

    // Crushed: four pieces per diagonal, s stepping through the density window.
    p.crush[0]->crushed = 1;
    Recorder crushed;
    EXPECT_EQ(drawPatch2D5(field, crushed, p, 3), 48);
    ASSERT_EQ(crushed.strips.size(), 8u);
    const float rnd = firstDraw(field, p) * 0.0625f;
    EXPECT_FLOAT_EQ(crushed.strips[1][0].s, 1 - 0.1875f + rnd / 2);  // the quarter point
    EXPECT_FLOAT_EQ(crushed.strips[3][1].p[0], p.crush[8]->x);
}
