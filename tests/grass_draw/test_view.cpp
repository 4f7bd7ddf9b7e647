// Culling, levels of detail, drawing order and segment counts, without GL:
// the camera matrices are built here as GLU would build them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "grass/grass_view.h"
#include "wind/wind.h"

namespace {

void perspective(float fovyDegrees, float zNear, float zFar, float m[16])
{
    const float f = 1.0f / std::tan(fovyDegrees * float(M_PI) / 360.0f);
    std::fill(m, m + 16, 0.0f);
    m[0] = m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1;
    m[14] = 2 * zFar * zNear / (zNear - zFar);
}

/// gluLookAt with z up, for a camera looking along +y (side axis +x).
void lookAlongY(const float eye[3], float pitch, float m[16])
{
    const float s[3] = {1, 0, 0}, f[3] = {0, std::cos(pitch), -std::sin(pitch)};
    const float u[3] = {0, std::sin(pitch), std::cos(pitch)};
    std::fill(m, m + 16, 0.0f);
    for (int k = 0; k < 3; ++k) {
        m[4 * k] = s[k];
        m[4 * k + 1] = u[k];
        m[4 * k + 2] = -f[k];
        m[12] -= s[k] * eye[k];
        m[13] -= u[k] * eye[k];
        m[14] += f[k] * eye[k];
    }
    m[15] = 1;
}

/// A 20 m square field of 1 m patches; the camera stands at (10, 10, 2)
/// looking along +y. 3D up to 3 m, 2.5D to 6 m, 2D to 9 m.
class View : public ::testing::Test {
protected:
    GrassField field;
    float modelview[16], projection[16];
    const float eye[3] = {10, 10, 2};

    void SetUp() override
    {
        const float area[4] = {0, 0, 20, 20};
        windInit(area, 0);
        field.initField(area, 20, 20, nullptr);
        field.setDistance3D(3);
        field.setDistance2D5(6);
        field.setDistance2D(9);
        lookAlongY(eye, std::atan2(2.0f, 10.0f), modelview);  // towards (10, 20, 0)
        perspective(60, 0.1f, 200, projection);
        updateViewMatrices(field, eye, modelview, projection);
    }
};

} // namespace

TEST_F(View, NodeLevelsFollowTheHorizontalDistance)
{
    EXPECT_NEAR(field.view.sideX, 1, 1e-6f);  // the camera's right axis
    EXPECT_NEAR(field.view.sideY, 0, 1e-6f);
    EXPECT_EQ(field.node(10, 12).lod, LOD_3D);
    EXPECT_EQ(field.node(10, 15).lod, LOD_2D5);
    EXPECT_EQ(field.node(10, 18).lod, LOD_2D);
    EXPECT_EQ(field.node(10, 20).lod, LOD_NONE);
    EXPECT_FLOAT_EQ(field.node(10, 15).distance, 5);
    EXPECT_TRUE(field.node(10, 15).visible);

    // The wind bends the blades in view; nodes well behind keep their old pose.
    EXPECT_GT(field.node(10, 12).skeleton.P1[2], 0.5f);
    const GrassNode& behind = field.node(10, 2);
    EXPECT_FALSE(behind.visible);
    EXPECT_FALSE(behind.nearView);
    EXPECT_EQ(behind.skeleton.P1[2], 0);
}

TEST_F(View, PatchLevelIsTheLowestCornerAndNeedsOneVisibleCorner)
{
    EXPECT_EQ(field.patch(9, 10).lod, LOD_3D);      // corners within 1.5 m
    EXPECT_EQ(field.patch(9, 11).lod, LOD_3D_FAR);  // corner 3 at 2 m, beyond 0.66 × 3 m
    EXPECT_EQ(field.patch(9, 12).lod, LOD_2D5);     // two corners at 3 m and beyond
    EXPECT_FLOAT_EQ(field.patch(9, 12).distance, 3);
    EXPECT_EQ(field.patch(9, 18).lod, LOD_NONE);    // two corners beyond the 9 m limit

    // Patches just outside the view keep fresh corner poses but are not drawn.
    int nearButHidden = 0;
    for (const GrassPatch& p : field.patches) {
        bool allNear = true, anyVisible = false;
        for (const GrassNode* c : p.corners) {
            allNear = allNear && c->nearView && c->lod != LOD_NONE;
            anyVisible = anyVisible || c->visible;
        }
        if (allNear && !anyVisible) {
            ++nearButHidden;
            EXPECT_EQ(p.lod, LOD_NONE);
        }
    }
    EXPECT_GT(nearButHidden, 0);
}

TEST(DrawOrder, EachQuadrantStartsFarthestAndVisitsEveryPatchOnce)
{
    const int px = 4, py = 3;
    const float sides[4][2] = {{-0.8f, -0.6f}, {-0.6f, 0.8f}, {0.8f, -0.6f}, {0.6f, 0.8f}};
    for (const auto& side : sides) {
        std::vector<int> order;
        patchDrawOrder(side[0], side[1], px, py, order);
        ASSERT_EQ(order.size(), size_t(px * py));
        std::vector<int> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        for (int k = 0; k < px * py; ++k) EXPECT_EQ(sorted[k], k);
        // The camera looks along (−sideY, sideX): the first patch is the farthest.
        auto ahead = [&](int index) { return -side[1] * (index / py) + side[0] * (index % py); };
        for (int index : order) {
            EXPECT_GE(ahead(order.front()), ahead(index));
            EXPECT_LE(ahead(order.back()), ahead(index));
        }
    }
}

TEST(DrawOrder, FastIndexFollowsTheLargerSideComponent)
{
    std::vector<int> order;
    patchDrawOrder(-1.0f, -0.5f, 3, 2, order);  // i fastest, from (2, 0), i down, j up
    EXPECT_EQ(order, (std::vector<int>{2 * 2 + 0, 1 * 2 + 0, 0, 2 * 2 + 1, 1 * 2 + 1, 1}));
    patchDrawOrder(0.2f, 0.9f, 3, 2, order);    // j fastest, from (0, 1), i up, j down
    EXPECT_EQ(order, (std::vector<int>{1, 0, 3, 2, 5, 4}));
}

TEST(Segments, FallLinearlyAndNeverBelowZero)
{
    GrassField field;
    field.setPolygons3D(5);
    field.setPolygons2D5(2);
    field.setDistance3D(10);
    field.setDistance2D5(30);
    EXPECT_EQ(bladeSegments(field.settings, 5), 4);  // trunc(3 × 0.5) + 2 + 1
    EXPECT_EQ(bladeSegments(field.settings, 5, false), 3);
    EXPECT_EQ(ribbonSegments(field.settings, 25), 2);  // trunc(2 × 0.5) + 1
    field.setPolygons2D5(-4);  // from a hand-edited file
    EXPECT_EQ(ribbonSegments(field.settings, 10), 0);
}
