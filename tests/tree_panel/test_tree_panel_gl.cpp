// The panel over the default scene, drawn offscreen: its windows in their
// styles, and the trees following a curve and a value changed on the panel.
// Leaves tree_panel_open.png and tree_panel_changed.png in the run folder.
#include "../oglui/gl_context.h"
#include "forest/forest.h"
#include "forest/tree_panel.h"
#include "ground/ground.h"
#include "util/random.h"
#include "wind/wind.h"

#include <gtest/gtest.h>

#include <QImage>
#include <GL/gl.h>
#include <GL/glu.h>

namespace {

constexpr int W = 780, H = 580;

QImage drawFrame()
{
    const float eye[3] = {15, 0, 10}, target[3] = {15, 50, 0};
    glViewport(0, 0, W, H);
    glClearColor(0.55f, 0.70f, 0.95f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(W) / H, 0.2, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], 0, 0, 1);
    const GLfloat sun[4] = {-0.4f, -0.5f, 0.8f, 0}, white[4] = {0.85f, 0.85f, 0.8f, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, sun);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    drawGround();
    const float dir[3] = {target[0] - eye[0], target[1] - eye[1], target[2] - eye[2]};
    drawForest(eye, dir);
    drawForestEditor();
    glFinish();
    QImage image(W, H, QImage::Format_RGBA8888);
    glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    return image.mirrored();
}

int near(const QImage& image, const QRect& area, QColor colour, int tolerance)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            n += std::abs(p.red() - colour.red()) <= tolerance && std::abs(p.green() - colour.green()) <= tolerance
              && std::abs(p.blue() - colour.blue()) <= tolerance;
        }
    return n;
}

// Pixels of the open view (left of the tool windows, below "Tools") that changed.
int changedInView(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = int(0.4 * H); y < H; ++y)
        for (int x = 0; x < int(0.55 * W); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

} // namespace

TEST(TreePanelGl, panelOverTheSceneAndTheTreesFollowItsEdits)
{
    TestGlContext gl(W, H);
    ASSERT_TRUE(gl.ready());
    const float area[4] = {0, 0, 100, 100};
    createGround(area, 5.0f, 400, "GroundData/heightMap1.bmp", "GroundData/ground3.bmp", 8.0f);
    windInit(area, 5.0f);
    util::randomSeed(2024);
    initForest();
    loadTreeTextures("ForestData/");
    loadArb("ForestData/arb03.arb");
    TreeRecord records[10];
    for (TreeRecord& r : records) {
        r.position2d[0] = 100.0f * util::randomUnit();
        r.position2d[1] = 100.0f * util::randomUnit();
    }
    setTrees(10, records);
    randomizeTrees();

    TreePanel* panel = treePanel();
    ASSERT_NE(nullptr, panel);
    setForestEditorViewport(W, H);
    showForestEditor(true);
    panel->handle(TreePanel::SKELETON_TOOLS, 1);
    panel->handle(TreePanel::MESH_TOOLS, 1);
    drawFrame();  // textures load at the first frame
    const QImage open = drawFrame();
    open.save("tree_panel_open.png");

    // Title bars in their colour (52 82 60) at the top of each window.
    for (const OGLWindow* w : {panel->tools(), panel->skeletonTools(), panel->meshTools()}) {
        const OGLRect r = w->rect();
        const QRect bar(int(W * (r.x + r.w * 0.7f)), int(H * r.y) + 3, 20, 6);
        EXPECT_GT(near(open, bar, QColor(52, 82, 60), 8), 100) << w->title();
    }
    // The curve editors' two polylines and the labels' letters.
    const OGLRect skeleton = panel->skeletonTools()->rect();
    const QRect skeletonArea(int(W * skeleton.x), int(H * skeleton.y), int(W * skeleton.w), int(H * skeleton.h));
    EXPECT_GT(near(open, skeletonArea, QColor(110, 200, 255), 30), 100);
    EXPECT_GT(near(open, skeletonArea, QColor(255, 150, 80), 30), 100);
    EXPECT_GT(near(open, skeletonArea, QColor(235, 235, 225), 20), 300);

    // More branches, opened wider: the trees change once the second turns.
    OGLCurveEditor* branchCount = panel->curveEditor(0);
    for (int b = 0; b < 2; ++b) {
        auto line = branchCount->polyline(b);
        for (auto& point : line) point.y = 1;
        branchCount->setPolyline(b, line);
    }
    panel->handle(TreePanel::MAX_ANGLE, 5);
    panel->update(0, 0, 0);  // a second that differs from the last one: read the curves back
    EXPECT_FLOAT_EQ(10.0f, treeParameters().branchCount.boundA(0.5f));
    const QImage changed = drawFrame();
    changed.save("tree_panel_changed.png");
    EXPECT_GT(changedInView(open, changed), 2000);
    EXPECT_EQ("Max Angle 1.250000", panel->labelOf(TreePanel::MAX_ANGLE));

    // Hidden, the panel leaves the view alone.
    showForestEditor(false);
    const QImage hidden = drawFrame();
    const OGLRect tools = panel->tools()->rect();
    EXPECT_EQ(0, near(hidden, QRect(int(W * (tools.x + 0.1f)), int(H * tools.y) + 3, 20, 6), QColor(52, 82, 60), 8));
}
