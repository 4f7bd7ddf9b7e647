// Draws the forest into an offscreen framebuffer and reads the pixels back.
// Also leaves snapshots in the run folder: forest_start.png (start camera),
// forest_close.png (beside a tree) and forest_gust.png (a gust crossing).
#include "forest/forest.h"
#include "ground/ground.h"
#include "util/random.h"
#include "wind/wind.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>

#include <GL/gl.h>
#include <GL/glu.h>

#include <memory>

namespace {

constexpr int W = 780, H = 580;

struct GlScene {
    std::unique_ptr<QGuiApplication> app;
    std::unique_ptr<QOffscreenSurface> surface;
    std::unique_ptr<QOpenGLContext> context;
    std::unique_ptr<QOpenGLFramebufferObject> fbo;
};

GlScene& scene()
{
    // Never destroyed: at exit Qt's own globals are gone before ours, and
    // tearing a context down then crashes.
    static GlScene& s = *new GlScene;
    if (!s.app) {
        static int argc = 1;
        static char name[] = "forest_gl_tests";
        static char* argv[] = {name, nullptr};
        s.app = std::make_unique<QGuiApplication>(argc, argv);
        QSurfaceFormat format;
        format.setProfile(QSurfaceFormat::CompatibilityProfile);
        format.setVersion(2, 1);
        format.setDepthBufferSize(24);
        s.context = std::make_unique<QOpenGLContext>();
        s.context->setFormat(format);
        s.context->create();
        s.surface = std::make_unique<QOffscreenSurface>();
        s.surface->setFormat(s.context->format());
        s.surface->create();
        s.context->makeCurrent(s.surface.get());
        s.fbo = std::make_unique<QOpenGLFramebufferObject>(W, H, QOpenGLFramebufferObject::Depth);
    }
    s.context->makeCurrent(s.surface.get());
    s.fbo->bind();
    return s;
}

/// The scene as the driver builds it: ground, wind, ten trees of "arb03".
void buildScene()
{
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
}

/// One frame from `eye` looking at `target`; returns the picture.
QImage drawFrame(const float eye[3], const float target[3], bool withGround, const float* light = nullptr)
{
    GlScene& s = scene();
    glViewport(0, 0, W, H);
    glClearColor(0.55f, 0.70f, 0.95f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(W) / H, 0.2, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], 0, 0, 1);
    // A sun from the upper left, as the viewer's light.
    const GLfloat sun[4] = {light ? light[0] : -0.4f, light ? light[1] : -0.5f, light ? light[2] : 0.8f, 0.0f};
    const GLfloat white[4] = {0.85f, 0.85f, 0.8f, 1.0f};
    const GLfloat ambient[4] = {0.35f, 0.35f, 0.4f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, sun);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    if (withGround) drawGround();
    float dir[3] = {target[0] - eye[0], target[1] - eye[1], target[2] - eye[2]};
    drawForest(eye, dir);
    glFinish();
    return s.fbo->toImage();
}

struct PixelCounts {
    int leaf = 0;
    int bark = 0;
    int other = 0;
};

/// Greens are leaves; dull browns and greys are bark; the sky colour is nothing.
PixelCounts classify(const QImage& image)
{
    PixelCounts c;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            const int r = p.red(), g = p.green(), b = p.blue();
            if (std::abs(r - 140) < 3 && std::abs(g - 179) < 3 && std::abs(b - 242) < 3) continue;
            if (g > r + 8 && g > b + 8) ++c.leaf;
            else if (r >= b && std::abs(r - g) < 40 && b < 170) ++c.bark;
            else ++c.other;
        }
    return c;
}

const float kStartEye[3] = {15.0f, 0.0f, 10.0f};
const float kStartTarget[3] = {15.0f, 50.0f, 0.0f};

} // namespace

TEST(ForestGl, TreesDrawWithBarkAndLeaves)
{
    scene();
    buildScene();
    const Vec3 foot = forestTreePosition(0);
    const float eye[3] = {foot.x - 16.0f, foot.y - 14.0f, foot.z + 6.0f};
    const float target[3] = {foot.x, foot.y, foot.z + 6.0f};
    QImage image;
    for (int i = 0; i < 20; ++i) image = drawFrame(eye, target, false);
    const PixelCounts c = classify(image);
    EXPECT_GT(c.leaf, W * H / 50) << "leaf pixels";
    EXPECT_GT(c.bark, 200) << "bark pixels";
    EXPECT_GT(forestPolygonCount(), 0);

    // Without leaves the same view shows bark only.
    treeParameters().leaveMode = 0;
    const PixelCounts bare = classify(drawFrame(eye, target, false));
    EXPECT_LT(bare.leaf, c.leaf / 10);
    EXPECT_GT(bare.bark, c.bark);

    // Bark faces outwards: lit from the camera's side it is brighter than lit
    // from behind the tree.
    auto barkLight = [&](float sign) {
        const float light[3] = {sign * (eye[0] - target[0]), sign * (eye[1] - target[1]), 0.0f};
        const QImage picture = drawFrame(eye, target, false, light);
        double sum = 0.0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const QColor p = picture.pixelColor(x, y);
                if (p.blue() < 200) sum += p.red() + p.green() + p.blue();
            }
        return sum;
    };
    EXPECT_GT(barkLight(1.0f), 1.3 * barkLight(-1.0f));
}

TEST(ForestGl, PolygonCountFollowsTheBudget)
{
    scene();
    buildScene();
    auto settle = [](int budget) {
        setForestPolygonBudget(budget);
        for (int i = 0; i < 80; ++i) drawFrame(kStartEye, kStartTarget, false);
        return forestPolygonCount();
    };
    const int low = settle(5000);
    const int high = settle(50000);
    const int lowAgain = settle(5000);
    EXPECT_EQ(forestPolygonBudget(), 5000);
    // The budget trims the tubes only, down to four sides: it raises the
    // count when there is room and brings it back when there is not.
    EXPECT_GT(high, low * 11 / 10);
    EXPECT_LT(lowAgain, high * 10 / 11);
    std::printf("polygons: budget 5000 -> %d, 50000 -> %d, 5000 again -> %d\n", low, high, lowAgain);
}

TEST(ForestGl, Snapshots)
{
    scene();
    buildScene();
    QImage start;
    for (int i = 0; i < 60; ++i) start = drawFrame(kStartEye, kStartTarget, true);
    EXPECT_TRUE(start.save(VELMORA_RUN_DIR "/forest_start.png"));
    const Vec3 foot = forestTreePosition(3);
    const float eye[3] = {foot.x - 9.0f, foot.y - 7.0f, foot.z + 3.0f};
    const float target[3] = {foot.x, foot.y, foot.z + 5.0f};
    QImage close;
    for (int i = 0; i < 60; ++i) close = drawFrame(eye, target, true);
    EXPECT_TRUE(close.save(VELMORA_RUN_DIR "/forest_close.png"));

    windAddGust(30.0f, 20.0f);
    windSetGustPower(600.0f);
    QImage calm = close, gust;
    int changed = 0;
    for (int i = 0; i < 200; ++i) {
        windUpdate(0.05f);
        gust = drawFrame(eye, target, true);
    }
    for (int y = 0; y < H; y += 2)
        for (int x = 0; x < W; x += 2) changed += calm.pixel(x, y) != gust.pixel(x, y);
    EXPECT_GT(changed, 100);
    EXPECT_TRUE(gust.save(VELMORA_RUN_DIR "/forest_gust.png"));
}
