// Culling, levels of detail, drawing order and segment counts, without GL:
// Qt builds the camera matrices as GLU would.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <QMatrix4x4>

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
        look({10, 10, 2}, {10, 20, 0}, 60);
    }
    /// gluLookAt from `eye` to `centre` with z up, then gluPerspective(`fovy`°, 1, 0.1, 200).
    void look(QVector3D eye, QVector3D centre, float fovy)
    {
        QMatrix4x4 modelview, projection;
        modelview.lookAt(eye, centre, {0, 0, 1});
        projection.perspective(fovy, 1, 0.1f, 200);
        const float at[3] = {eye.x(), eye.y(), eye.z()};
        updateViewMatrices(field, at, modelview.constData(), projection.constData());
    }
};

} // namespace

TEST_F(View, LevelsFollowTheHorizontalDistanceAndPatchesTakeTheirLowestCorner)
{
    EXPECT_EQ(field.node(10, 12).lod, LOD_3D);
    EXPECT_EQ(field.node(10, 15).lod, LOD_2D5);
    EXPECT_EQ(field.node(10, 18).lod, LOD_2D);
    EXPECT_EQ(field.patch(9, 10).lod, LOD_3D);      // corners within 1.5 m
    EXPECT_EQ(field.patch(9, 11).lod, LOD_3D_FAR);  // corner 3 at 2 m, beyond 0.66 × 3 m
    EXPECT_EQ(field.patch(9, 12).lod, LOD_2D5);     // two corners at 3 m and beyond
    EXPECT_EQ(field.patch(9, 18).lod, LOD_NONE);    // two corners beyond the 9 m limit
    // 3D ends where 2.5D begins; nodes beyond the last level are not rebent.
    EXPECT_EQ(field.node(10, 13).lod, LOD_2D5);
    EXPECT_EQ(field.node(10, 19).skeleton.P1[2], 0);
    EXPECT_EQ(field.node(10, 5).skeleton.P1[2], 0) << "5 m behind the camera: out of view, not rebent";
    EXPECT_GT(field.node(10, 18).skeleton.P1[2], 1);
}

// With the look a node changes level only 1 m past the boundary: node
// (10, 16) against distance2D5 = 6 m as the camera steps along y.
TEST_F(View, WithTheLookLevelsChangeOnlyPastAMargin)
{
    field.setLook(true);
    const std::pair<float, int16_t> steps[] = {
        {10.5f, LOD_2D},   // 5.5 m, was 2D at 6 m: not within 6 − 1
        {11.5f, LOD_2D5},  // 4.5 m
        {9.5f, LOD_2D5},   // 6.5 m, was 2.5D: within 6 + 1
        {8.5f, LOD_2D},    // 7.5 m
    };
    for (const auto& [y, lod] : steps) {
        look({10, y, 2}, {10, y + 10, 0}, 60);
        EXPECT_EQ(field.node(10, 16).lod, lod) << y;
    }
    field.setLook(false);
    look({10, 10.5f, 2}, {10, 20.5f, 0}, 60);
    EXPECT_EQ(field.node(10, 16).lod, LOD_2D5) << "without the look the boundary is exact";
}

TEST_F(View, NodesWithinTheBladeMarginOfEveryPlaneAreKept)
{
    // A shift then a quarter turn, w = 1: clip x = 10 − y, clip y = x − 2, and
    // the planes are |clip| = 1. A node is drawn within diag + h = 1.41 + 1.5
    // outside them, |10 − y| and |x − 2| below 3.91; near the view within
    // 2·1.41 + 1.5, below 5.33. Column 0 is inside.
    QMatrix4x4 shift, turn;
    shift.translate(-2, -10, 0);
    turn.rotate(90, 0, 0, 1);
    const float at[3] = {2, 10, 2};
    updateViewMatrices(field, at, shift.constData(), turn.constData());
    for (const GrassNode& n : field.getNodes()) {
        const float off = std::max(std::fabs(n.y - 10), std::fabs(n.x - 2));
        EXPECT_EQ(n.visible, off < 3.91f) << n.x << ", " << n.y;
        EXPECT_EQ(n.nearView, off < 5.33f) << n.x << ", " << n.y;
    }
}

TEST(DrawOrder, StartsAtTheFarCornerWithTheFastIndexAlongTheLargerSideComponent)
{
    // The camera looks along (−sideY, sideX); index = i·patchesY + j of 3 × 2 patches.
    std::vector<int> order;
    patchDrawOrder(-1.0f, -0.5f, 3, 2, order);  // i fastest, from (2, 0), i down, j up
    EXPECT_EQ(order, (std::vector<int>{4, 2, 0, 5, 3, 1}));
    patchDrawOrder(0.2f, 0.9f, 3, 2, order);    // j fastest, from (0, 1), i up, j down
    EXPECT_EQ(order, (std::vector<int>{1, 0, 3, 2, 5, 4}));
    patchDrawOrder(0.6f, -0.6f, 3, 2, order);   // a tie makes j fastest, from (2, 1)
    EXPECT_EQ(order, (std::vector<int>{5, 4, 3, 2, 1, 0}));
}

TEST(Segments, FallLinearlyInsideEachLevelAndNeverBelowZero)
{
    GrassField field;
    field.setDistance3D(10);
    field.setDistance2D5(30);
    field.setPolygons3D(10);
    field.setPolygons2D5(4);
    // Ribbons: trunc((1 - (d - 10)/30)·4) + 1; blades: trunc(6·(1 - d/10)) + 4 + 1.
    for (auto [d, ribbon] : {std::pair{10.0f, 5}, {25.0f, 3}, {40.0f, 1}})
        EXPECT_EQ(ribbonSegments(field.getSettings(), d), ribbon) << d;
    for (auto [d, blade] : {std::pair{0.0f, 11}, {5.0f, 8}, {10.0f, 5}, {12.0f, 4}})
        EXPECT_EQ(bladeSegments(field.getSettings(), d), blade) << d;
    field.setPolygons2D5(-4);  // from a hand-edited file
    EXPECT_EQ(ribbonSegments(field.getSettings(), 10), 0);
}
