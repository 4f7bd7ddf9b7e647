// Draws the forest into an offscreen framebuffer and reads the pixels back.
#include "forest/forest_draw.h"
#include "forest/tree_panel.h"
#include "tests/support/forest_scene.h"

#include "support/offscreen_gl.h"

#include <gtest/gtest.h>
#include <GL/glu.h>

namespace {

constexpr int W = 780, H = 580;

/// One frame from `eye` looking at `target` under a sun from `light`.
QImage drawFrame(OffscreenGl& gl, const float eye[3], const float target[3], const GLfloat light[4])
{
    glClearColor(0.55f, 0.70f, 0.95f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(W) / H, 0.2, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], 0, 0, 1);
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    const float dir[3] = {target[0] - eye[0], target[1] - eye[1], target[2] - eye[2]};
    drawForest(eye, dir);
    return gl.picture();
}

struct Pixels {
    int leaf = 0;            // green pixels of leaves
    double brightness = 0.0; // of everything but the sky
};

Pixels classify(const QImage& image)
{
    Pixels c;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const QColor p = image.pixelColor(x, y);
            c.leaf += p.green() > p.red() + 8 && p.green() > p.blue() + 8;
            if (p.blue() < 200) c.brightness += p.red() + p.green() + p.blue();
        }
    return c;
}

} // namespace

TEST(ForestGl, TreesDrawWithLeavesAndBarkFacingOutwards)
{
    OffscreenGl gl(W, H);
    test_support::forestScene(2024, "ForestData/arb03.arb");
    loadTreeTextures("ForestData/");
    TreeRecord tree{{60.0f, 60.0f}};
    setTrees(1, &tree);
    const Vec3 foot = forestTreePosition(0);
    const float eye[3] = {foot.x - 16.0f, foot.y - 14.0f, foot.z + 6.0f};
    const float target[3] = {foot.x, foot.y, foot.z + 6.0f};
    const GLfloat front[4] = {-16.0f, -14.0f, 0.0f, 0.0f}, back[4] = {16.0f, 14.0f, 0.0f, 0.0f};
    for (int i = 0; i < 19; ++i) drawFrame(gl, eye, target, front); // the detail settles
    const Pixels leafy = classify(drawFrame(gl, eye, target, front));
    EXPECT_GT(leafy.leaf, W * H / 50);
    // The panel shows the frame's counts.
    ASSERT_GT(forestPolygonCount(), 0);
    EXPECT_EQ(treePanel()->counterText(0), "Poly " + std::to_string(forestPolygonCount()));
    EXPECT_EQ(treePanel()->counterText(1), "Branch " + std::to_string(treeCounters().branches));

    // Without leaves, bark shows; lit from behind the tree it is darker.
    treeParameters().leaveMode = 0;
    const Pixels bare = classify(drawFrame(gl, eye, target, front));
    EXPECT_LT(bare.leaf, leafy.leaf / 10);
    EXPECT_GT(bare.brightness, 1.3 * classify(drawFrame(gl, eye, target, back)).brightness);

    releaseForest();
    EXPECT_EQ(forestTreeCount(), 0);
    EXPECT_EQ(treePanel(), nullptr);
}
