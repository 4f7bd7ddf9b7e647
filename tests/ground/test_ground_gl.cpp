// The ground drawn into an offscreen context and read back, and the texture uploads.
#include "ground/ground.h"
#include "ground/image.h"
#include "pictures.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include <GL/gl.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

const float FIELD[4] = {0, 0, 100, 100};

class GroundGl : public testing::Test {
protected:
    // The application must exist before the fixture's surface is constructed.
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "ground_gl_tests", *argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);
    }

    void SetUp() override
    {
        QSurfaceFormat format;
        format.setProfile(QSurfaceFormat::CompatibilityProfile);
        format.setVersion(2, 1);
        surface.setFormat(format);
        surface.create();
        context.setFormat(format);
        ASSERT_TRUE(context.create() && context.makeCurrent(&surface));
        fbo = std::make_unique<QOpenGLFramebufferObject>(64, 64);
        fbo->bind();
        glViewport(0, 0, 64, 64);
        glMatrixMode(GL_PROJECTION);
        glOrtho(0, 100, 0, 100, -200, 200);  // straight down on the field
        glColor3f(1, 1, 1);
        releaseGround();
    }

    void TearDown() override { releaseGround(); }

    /// Clears, draws the ground and returns the colour at pixel (x, y).
    static std::vector<int> drawAndRead(int x, int y)
    {
        glClear(GL_COLOR_BUFFER_BIT);
        drawGround();
        return pixel(x, y);
    }

    static std::vector<int> pixel(int x, int y)
    {
        unsigned char rgba[4];
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }

    QOffscreenSurface surface;
    QOpenGLContext context;
    std::unique_ptr<QOpenGLFramebufferObject> fbo;
};

/// Colours equal up to texture filtering and rounding.
testing::AssertionResult near(const std::vector<int>& actual, const std::vector<int>& expected)
{
    for (size_t k = 0; k < 3; ++k)
        if (std::abs(actual[k] - expected[k]) > 8)
            return testing::AssertionFailure() << actual[0] << " " << actual[1] << " " << actual[2];
    return testing::AssertionSuccess();
}

} // namespace

TEST_F(GroundGl, TexturedGroundIsRightWayUpAndRebuiltAfterChanges)
{
    // colours.bmp: bottom row red, green; top row blue, white.
    createGround(FIELD, 5, 16, nullptr, picture("colours.bmp").c_str(), 1);
    EXPECT_TRUE(near(drawAndRead(16, 16), {255, 0, 0}));
    EXPECT_TRUE(near(pixel(48, 16), {0, 255, 0}));
    EXPECT_TRUE(near(pixel(16, 48), {0, 0, 255}));
    EXPECT_TRUE(near(pixel(48, 48), {255, 255, 255}));
    EXPECT_EQ(getGround().image.pixels, nullptr);  // uploaded, then released
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);  // the caller's state comes back
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    // Made between frames: the next draw replaces list and texture.
    const unsigned int oldList = getGround().displayList;
    createGround(FIELD, 5, 16, nullptr, picture("yellow.ppm").c_str(), 2);
    EXPECT_TRUE(near(drawAndRead(10, 50), {255, 255, 0}));
    EXPECT_TRUE(getGround().displayList == oldList || !glIsList(oldList));

    // Without a texture the old one goes and the current colour shows.
    glColor3f(0, 0, 1);
    createGround(FIELD, 5, 16, nullptr, nullptr, 1);
    EXPECT_TRUE(near(drawAndRead(32, 32), {0, 0, 255}));
    EXPECT_EQ(getGround().image.texName, 0u);
}

TEST_F(GroundGl, LightingFollowsTheNormals)
{
    const GLfloat fromAbove[] = {0, 0, 1, 0}, black[] = {0, 0, 0, 1};
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, fromAbove);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    createGround(FIELD, 5, 16, nullptr, nullptr, 1);
    EXPECT_TRUE(near(drawAndRead(32, 32), {255, 255, 255}));
    // ramp.bmp with a maximum height of 100: z = 0.8·x, so n·l = 1/√1.64.
    createGround(FIELD, 100, 16, picture("ramp.bmp").c_str(), nullptr, 1);
    const int lit = int(255 / std::sqrt(1.64));
    EXPECT_TRUE(near(drawAndRead(32, 32), {lit, lit, lit}));
}

TEST_F(GroundGl, UploadsKeepPixelsAndParameters)
{
    Texture texture;
    ASSERT_TRUE(texture.loadMap(picture("id32.tga").c_str()));
    texture.makeTexture(GL_RGBA, false);
    unsigned char rgba[8] = {};
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    EXPECT_EQ(std::vector<int>(rgba, rgba + 8), std::vector<int>(texture.pixels, texture.pixels + 8));
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP);
    const unsigned int name = texture.texName;
    texture.deleteTexture();
    EXPECT_FALSE(glIsTexture(name));

    // Rows of 9 bytes are not 4-byte aligned: the upload must not skew them.
    Image image;
    ASSERT_TRUE(image.loadMap(picture("padded.bmp").c_str()));
    image.makeTexture(false);
    unsigned char rgb[18] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    EXPECT_EQ(std::vector<int>(rgb, rgb + 18), std::vector<int>(image.pixels, image.pixels + 18));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);  // restored for the caller
    image.makeTexture(true);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_REPEAT);
}
