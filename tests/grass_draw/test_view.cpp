// Culling, levels of detail, drawing order and segment counts, without GL:
// the camera matrices are built here as GLU would build them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "grass/grass_view.h"
#include "wind/wind.h"

namespace {

/// A 20 m square field of 1 m patches; the camera stands at (10, 10, 2)
/// looking along +y down to (10, 20, 0). 3D up to 3 m, 2.5D to 6 m, 2D to 9 m.
class View : public ::testing::Test {
protected:
    GrassField field;

    void SetUp() override
    {
        const float area[4] = {0, 0, 20, 20};
        windInit(area, 0);
        field.initField(area, 20, 20, nullptr);
        field.setDistance3D(3);
        field.setDistance2D5(6);
        field.setDistance2D(9);
        // gluLookAt with z up (side axis +x), then gluPerspective(60°, 1, 0.1, 200), column order.
        const float eye[3] = {10, 10, 2}, pitch = std::atan2(2.0f, 10.0f);
        const float c = std::cos(pitch), s = std::sin(pitch), f = 1 / std::tan(float(M_PI) / 6);
        const float modelview[16] = {1, 0, 0, 0, 0, s, -c, 0, 0, c, s, 0, -10, -10 * s - 2 * c, 10 * c - 2 * s, 1};
        const float projection[16] = {f, 0, 0, 0, 0, f, 0, 0, 0, 0, -200.1f / 199.9f, -1, 0, 0, -40 / 199.9f, 0};
        updateViewMatrices(field, eye, modelview, projection);
    }
};

} // namespace

TEST_F(View, LevelsFollowTheHorizontalDistanceAndPatchesTakeTheirLowestCorner)
{
    EXPECT_EQ(field.node(10, 12).lod, LOD_3D);
    EXPECT_EQ(field.node(10, 15).lod, LOD_2D5);
    EXPECT_EQ(field.node(10, 18).lod, LOD_2D);
    EXPECT_EQ(field.node(10, 20).lod, LOD_NONE);
    EXPECT_EQ(field.patch(9, 10).lod, LOD_3D);      // corners within 1.5 m
    EXPECT_EQ(field.patch(9, 11).lod, LOD_3D_FAR);  // corner 3 at 2 m, beyond 0.66 × 3 m
    EXPECT_EQ(field.patch(9, 12).lod, LOD_2D5);     // two corners at 3 m and beyond
    EXPECT_EQ(field.patch(9, 18).lod, LOD_NONE);    // two corners beyond the 9 m limit
    EXPECT_FALSE(field.node(10, 2).visible || field.node(10, 2).nearView);  // behind the camera

    // Patches just outside the view keep fresh corner poses but are not drawn.
    int nearButHidden = 0;
    for (const GrassPatch& p : field.patches) {
        const auto near = [](const GrassNode* c) { return c->nearView && c->lod != LOD_NONE; };
        const auto visible = [](const GrassNode* c) { return c->visible; };
        if (std::all_of(p.corners, p.corners + 4, near) && std::none_of(p.corners, p.corners + 4, visible)) {
            ++nearButHidden;
            EXPECT_EQ(p.lod, LOD_NONE);
        }
    }
    EXPECT_GT(nearButHidden, 0);
}

TEST(DrawOrder, StartsAtTheFarCornerWithTheFastIndexAlongTheLargerSideComponent)
{
    // The camera looks along (−sideY, sideX); index = i·patchesY + j.
    std::vector<int> order;
    patchDrawOrder(-1.0f, -0.5f, 3, 2, order);  // i fastest, from (2, 0), i down, j up
    EXPECT_EQ(order, (std::vector<int>{4, 2, 0, 5, 3, 1}));
    patchDrawOrder(0.2f, 0.9f, 3, 2, order);    // j fastest, from (0, 1), i up, j down
    EXPECT_EQ(order, (std::vector<int>{1, 0, 3, 2, 5, 4}));
}

TEST(Segments, NeverBelowZero)
{
    GrassField field;
    field.setDistance3D(10);
    field.setDistance2D5(30);
    field.setPolygons2D5(-4);  // from a hand-edited file
    EXPECT_EQ(ribbonSegments(field.settings, 10), 0);
}
