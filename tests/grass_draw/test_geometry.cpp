// Blade and patch geometry, recorded through a sink instead of GL.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "grass/grass_animation.h"
#include "grass/grass_geometry.h"
#include "util/random.h"

namespace {

using Point = std::array<float, 3>;

/// Records every primitive as a list of vertex positions.
struct Recorder : GeometrySink {
    std::vector<std::vector<Point>> strips;
    void begin(GrassPrimitive) override { strips.emplace_back(); }
    void vertex(float, float, float, const float p[3]) override { strips.back().push_back({p[0], p[1], p[2]}); }
    void end() override {}
    /// Every vertex position, in order.
    std::vector<Point> positions() const
    {
        std::vector<Point> all;
        for (const auto& strip : strips) all.insert(all.end(), strip.begin(), strip.end());
        return all;
    }
};

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

TEST_F(Geometry, APatchDrawsTheSameBladesEveryFrameAndThinsWithItsDensity)
{
    GrassPatch& p = field.patch(1, 0);
    Recorder first, other, again, sparse;
    EXPECT_EQ(drawPatch3D(field, first, p, 3), 2 * 3 * 10);
    drawPatch3D(field, other, field.patch(1, 1), 3);  // moves the table's cursor
    drawPatch3D(field, again, p, 3);
    EXPECT_EQ(first.positions(), again.positions());

    p.density = 0.55f;  // trunc(10 × 0.55) = 5 blades
    EXPECT_EQ(drawPatch3D(field, sparse, p, 3), 2 * 3 * 5);
}

TEST_F(Geometry, FarBladesMatchNearOnesAtTheNearLimitAndSlideOntoDiagonals)
{
    field.setDistance3D(30);
    GrassPatch& p = field.patch(0, 1);
    p.distance = field.settings.distance3DNear;
    Recorder near, far, edge;
    drawPatch3D(field, near, p, 3);
    drawPatch3DFar(field, far, p, 3);
    EXPECT_EQ(near.positions(), far.positions());

    p.distance = 30;  // at distance3D every base lies on a diagonal of the patch
    drawPatch3DFar(field, edge, p, 3);
    for (const auto& strip : edge.strips) {
        // The base is the middle of the first pair of vertices.
        const float u = (strip[0][0] + strip[1][0]) / 2 - p.corners[0]->x;
        const float v = (strip[0][1] + strip[1][1]) / 2 - p.corners[0]->y;
        EXPECT_LT(std::min(std::fabs(u - v), std::fabs(u - (1 - v))), 1e-5f);
    }
}

TEST_F(Geometry, CrushedSkeletonsAverageTheCornersAndBendWithTheirAmount)
{
    GrassPatch& p = field.patch(1, 1);
    Recorder plain, centre, flattened;
    drawPatch3D(field, plain, p, 3);

    // Only the centre crushed, with no amount: the averaged poses give the same blades.
    p.crush[4]->crushed = 1;
    drawPatch3D(field, centre, p, 3);
    const std::vector<Point> a = plain.positions(), b = centre.positions();
    for (size_t k = 0; k < a.size() * 3; ++k)
        ASSERT_NEAR(a[k / 3][k % 3], b.at(k / 3)[k % 3], 1e-5f) << "coordinate " << k;

    // A heavy crush towards −y lays the centre blade down that way.
    p.crush[4]->amount = 1e4f;
    p.crush[4]->dirY = -1;
    drawPatch3D(field, flattened, p, 3);
    const BladeSkeleton& c = p.crush[4]->skeleton;
    EXPECT_LT(c.P1[1] - c.P0[1], -0.8f);
    EXPECT_LT(c.P1[2] - c.P0[2], 0.1f);
}

TEST_F(Geometry, RibbonsRunOnTheDiagonalsAndRiseTowardsAHighCamera)
{
    field.setAjustmentHeight2D5(false);
    GrassPatch& p = field.patch(0, 0);
    Recorder r, raised;
    EXPECT_EQ(drawPatch2D5(field, r, p, 3), 12);
    ASSERT_EQ(r.strips.size(), 2u);
    EXPECT_FLOAT_EQ(r.strips[0][0][0], p.corners[0]->x);
    EXPECT_FLOAT_EQ(r.strips[0][1][1], p.corners[3]->y);
    EXPECT_FLOAT_EQ(r.strips[1][0][1], p.corners[1]->y);

    // A camera 20 m up: the tips rise halfway to it (dMin / dMax = 0.5).
    field.setAjustmentHeight2D5(true);
    field.view.camZ = 20;
    p.corners[0]->distance = p.corners[1]->distance = 5;
    p.corners[2]->distance = p.corners[3]->distance = 10;
    drawPatch2D5(field, raised, p, 3);
    EXPECT_LT(r.strips[0][6][2], 9);
    EXPECT_NEAR(raised.strips[0][6][2], 10.0f, 1e-4f);
}
