// Texture synthesis and draw passes in an offscreen context, read back.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include <GL/gl.h>

#include <memory>
#include <vector>

#include "grass/grass_animation.h"
#include "grass/grass_texture.h"
#include "grass/grass_view.h"
#include "util/random.h"

namespace {

/// One GL context for the whole program, drawing into a 128 × 128
/// framebuffer object as the viewer draws into its own.
class GrassGl : public ::testing::Test {
protected:
    static inline std::unique_ptr<QGuiApplication> app;
    static inline std::unique_ptr<QOffscreenSurface> surface;
    static inline std::unique_ptr<QOpenGLContext> context;
    static inline std::unique_ptr<QOpenGLFramebufferObject> target;

    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "grass_draw_gl_tests";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
        QSurfaceFormat format;
        format.setProfile(QSurfaceFormat::CompatibilityProfile);
        format.setVersion(2, 1);
        format.setDepthBufferSize(24);
        surface = std::make_unique<QOffscreenSurface>();
        surface->setFormat(format);
        surface->create();
        context = std::make_unique<QOpenGLContext>();
        context->setFormat(format);
        ASSERT_TRUE(context->create() && context->makeCurrent(surface.get()));
        target = std::make_unique<QOpenGLFramebufferObject>(128, 128, QOpenGLFramebufferObject::Depth);
    }
    static void TearDownTestSuite()
    {
        target.reset();
        context.reset();
        surface.reset();
        app.reset();
    }

    GrassField field;

    void SetUp() override
    {
        ASSERT_TRUE(target->bind());
        glViewport(0, 0, 128, 128);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        util::randomSeed(7);
        const float area[4] = {0, 0, 4, 4};
        field.initField(area, 4, 4, nullptr);
        field.setBladesPerSquareMetre(400);  // 40 blades per 1 m patch
        field.setHeight(1);
        field.setWidth(0.04f);
    }
    void TearDown() override { releaseGrassTextures(field); }

    /// Level 0 of a texture object as RGBA bytes, with its size.
    static std::vector<unsigned char> textureImage(unsigned name, int& width, int& height)
    {
        glBindTexture(GL_TEXTURE_2D, name);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        std::vector<unsigned char> pixels(size_t(width) * height * 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    /// Pixels with alpha above `threshold` in each quarter of the width.
    static std::vector<int> bandCoverage(const std::vector<unsigned char>& rgba, int width, int height,
                                         int threshold = 0)
    {
        std::vector<int> bands(4, 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bands[size_t(x / (width / 4))] += rgba[(size_t(y) * width + x) * 4 + 3] > threshold;
        return bands;
    }

    /// Every patch at `lod`, `distance` from the camera, with straight blades.
    void placeAll(int16_t lod, float distance)
    {
        for (GrassNode& n : field.nodes) bendSkeleton(n.skeleton, n.height, 0, 0);
        for (GrassPatch& p : field.patches) {
            p.lod = lod;
            p.distance = distance;
        }
        field.view.sideX = 1;
        field.view.sideY = 0;
    }

    /// Looks straight down on the field, the 4 m square filling the frame, lit from above.
    static void topView()
    {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 4, 0, 4, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        const GLfloat fromAbove[4] = {0, 0, 1, 0};
        glLightfv(GL_LIGHT0, GL_POSITION, fromAbove);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    static int greenPixels()
    {
        std::vector<unsigned char> p(128 * 128 * 4);
        glReadPixels(0, 0, 128, 128, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        int green = 0;
        for (size_t i = 0; i < p.size(); i += 4) green += p[i + 1] > 20 && p[i + 1] > p[i] && p[i + 1] > p[i + 2];
        return green;
    }
};

} // namespace

TEST_F(GrassGl, SynthesisedTexturesHaveTheirSizesAndDenserBandsCoverMore)
{
    // The viewer's frame must survive a texture build in the middle of it.
    glClearColor(0.2f, 0.4f, 0.6f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    prepareGrassTextures(field);
    EXPECT_TRUE(field.texturesReady);
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(GLuint(bound), target->handle());
    unsigned char pixel[4];
    glReadPixels(64, 64, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_NEAR(pixel[0], 51, 2);
    EXPECT_NEAR(pixel[2], 153, 2);

    int width = 0, height = 0;
    ASSERT_NE(field.picture2D.texName, 0u);
    std::vector<unsigned char> flat = textureImage(field.picture2D.texName, width, height);
    EXPECT_EQ(width, 128);
    EXPECT_EQ(height, 32);
    std::vector<int> bands = bandCoverage(flat, width, height);
    EXPECT_GT(bands[0], 0);
    EXPECT_GT(bands[3], bands[0]);
    EXPECT_EQ(field.picture2D.pixels, nullptr);  // released after the upload

    ASSERT_NE(field.picture2D5.texName, 0u);
    std::vector<unsigned char> side = textureImage(field.picture2D5.texName, width, height);
    EXPECT_EQ(width, 512);
    EXPECT_EQ(height, 64);
    bands = bandCoverage(side, width, height);
    EXPECT_GT(bands[0], 0);
    EXPECT_GT(bands[3], bands[1]);

    // A width that is not a multiple of 4 loses the remainder; only the 2.5D texture is rebuilt.
    const unsigned flatName = field.picture2D.texName;
    setSizeTexture2D5(field, 258, 32);
    prepareGrassTextures(field);
    textureImage(field.picture2D5.texName, width, height);
    EXPECT_EQ(width, 256);
    EXPECT_EQ(height, 32);
    EXPECT_EQ(field.picture2D.texName, flatName);
}

TEST_F(GrassGl, SideTextureAlphaFollowsBrightnessAndBadSizesAreRefused)
{
    Texture side;
    ASSERT_TRUE(renderGrassTexture2D5(field, side, 66, 32, 8, 0.7f));
    EXPECT_EQ(side.width, 64);
    for (int i = 0; i < side.width * side.height * 4; i += 4)
        ASSERT_EQ(side.pixels[i + 3], std::min(255, 2 * (side.pixels[i] + side.pixels[i + 1] + side.pixels[i + 2])));

    testing::internal::CaptureStdout();
    EXPECT_FALSE(renderGrassTexture2D5(field, side, 3, 32, 8, 0.7f));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error:Texture: erreur dans la construction de la texture 2D5\n");
    EXPECT_EQ(side.pixels, nullptr);
    EXPECT_EQ(side.width, 0);
}

TEST_F(GrassGl, EachPassRunsOnlyWhenItsLevelHasARange)
{
    field.setPolygons3D(4);
    field.setPolygons2D5(1);
    topView();

    placeAll(LOD_2D, 8);
    field.setDistance2D5(5);
    field.setDistance2D(10);
    drawField(field);
    EXPECT_EQ(field.polygonCount, 2u * 16);
    field.setDistance2D(5);
    drawField(field);
    EXPECT_EQ(field.polygonCount, 0u);

    placeAll(LOD_2D5, 3);
    field.setDistance3D(2);
    drawField(field);
    EXPECT_EQ(field.polygonCount, 16u * 4);  // trunc((1 − 1/5)·1) + 1 = 1 segment, 4 triangles
    field.setDistance3D(5);
    drawField(field);
    EXPECT_EQ(field.polygonCount, 0u);

    placeAll(LOD_3D_FAR, 1);
    field.setDistance3D(0);
    drawField(field);
    EXPECT_EQ(field.polygonCount, 0u);
    field.setDistance3D(2);  // far patches: trunc(3·0.5) + 1 + 1 = 3 segments, 40 blades
    drawField(field);
    EXPECT_EQ(field.polygonCount, 16u * 2 * 3 * 40);
    drawLodColours(field);   // the level colouring leaves 3D far patches out
    EXPECT_EQ(field.polygonCount, 0u);
    EXPECT_EQ(field.lodColours, 0);
}

TEST_F(GrassGl, BladesShowFromAboveAndTheStateIsRestored)
{
    field.setPolygons3D(3);
    field.setPolygons2D5(1);
    field.setDistance3D(10);
    topView();
    placeAll(LOD_NONE, 1);
    drawField(field);
    EXPECT_EQ(greenPixels(), 0);

    // Blades bent sideways so that they show from above.
    placeAll(LOD_3D, 1);
    for (GrassNode& n : field.nodes) bendSkeleton(n.skeleton, n.height, 0.8f, 0.3f);
    drawField(field);
    const int blades = greenPixels();
    EXPECT_GT(blades, 200);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    // The flat level covers the ground with the synthesised texture.
    topView();
    placeAll(LOD_2D, 20);
    field.setDistance2D5(15);
    field.setDistance2D(30);
    drawField(field);
    EXPECT_GT(greenPixels(), 128 * 128 / 4);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GrassGl, BladePictureFadesItsSidesAndSurvivesAFailedLoad)
{
    testing::internal::CaptureStdout();
    setTexture3D(field, true);
    setTexture3DFile(field, "GrassData/grassBlade.tga");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    prepareGrassTextures(field);
    const unsigned blade = field.picture3D.texName;
    ASSERT_NE(blade, 0u);
    int width = 0, height = 0;
    std::vector<unsigned char> rgba = textureImage(blade, width, height);
    ASSERT_GT(width, 8);
    const size_t row = size_t(height / 2) * width * 4;
    EXPECT_EQ(rgba[row + 3], 0);                       // left edge
    EXPECT_EQ(rgba[row + (width / 2) * 4 + 3], 255);   // centre
    EXPECT_LT(rgba[row + (width / 8) * 4 + 3], 200);   // fading over a quarter of the width

    testing::internal::CaptureStdout();
    setTexture3DFile(field, "GrassData/missing.tga");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Warning:Texture: unable to load map GrassData/missing.tga;\n");
    prepareGrassTextures(field);
    EXPECT_EQ(field.picture3D.texName, blade);
    EXPECT_TRUE(glIsTexture(blade));
    EXPECT_STREQ(field.texture3DFile, "GrassData/missing.tga");
}

TEST_F(GrassGl, TexturesBuiltInWireModeAreFilled)
{
    field.setWidth(0.3f);  // blades wide enough for their outlines to differ from them
    int width = 0, height = 0;
    prepareGrassTextures(field);
    std::vector<unsigned char> rgba = textureImage(field.picture2D5.texName, width, height);
    const int filled = bandCoverage(rgba, width, height, 200)[0];

    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    setSeed2D5(field, 3);
    prepareGrassTextures(field);
    rgba = textureImage(field.picture2D5.texName, width, height);
    const int wired = bandCoverage(rgba, width, height, 200)[0];
    GLint mode[2];
    glGetIntegerv(GL_POLYGON_MODE, mode);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    EXPECT_EQ(mode[0], GL_LINE);
    EXPECT_GT(wired, filled * 3 / 4);
}
