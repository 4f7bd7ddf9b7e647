// The ground drawn into an offscreen context and read back, and the texture
// uploads of both picture records.
#include "ground/ground.h"
#include "ground/image.h"
#include "pictures.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>
#include <memory>

namespace {

constexpr int SIDE = 64;
const float FIELD[4] = {0, 0, 100, 100};

class GroundGl : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "ground_gl_tests";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);
    }

    void SetUp() override
    {
        QSurfaceFormat format;
        format.setProfile(QSurfaceFormat::CompatibilityProfile);
        format.setVersion(2, 1);
        format.setDepthBufferSize(24);
        surface.setFormat(format);
        surface.create();
        context.setFormat(format);
        ASSERT_TRUE(context.create());
        ASSERT_TRUE(context.makeCurrent(&surface));
        fbo = std::make_unique<QOpenGLFramebufferObject>(SIDE, SIDE, QOpenGLFramebufferObject::Depth);
        fbo->bind();
        glViewport(0, 0, SIDE, SIDE);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 100, 0, 100, -200, 200);  // looking straight down on the field
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 1);
        releaseGround();
    }

    void TearDown() override
    {
        releaseGround();
        fbo.reset();
        context.doneCurrent();
    }

    /// Clears, draws the ground and returns the colour at pixel (x, y).
    std::array<int, 3> drawAndRead(int x, int y)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawGround();
        return pixel(x, y);
    }

    static std::array<int, 3> pixel(int x, int y)
    {
        unsigned char rgba[4];
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }

    QOffscreenSurface surface;
    QOpenGLContext context;
    std::unique_ptr<QOpenGLFramebufferObject> fbo;
};

void expectColour(const std::array<int, 3>& actual, const std::array<int, 3>& expected, int tolerance = 8)
{
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(actual[k], expected[k], tolerance) << "channel " << k;
}

} // namespace

TEST_F(GroundGl, TexturedGroundShowsThePictureTheRightWayUp)
{
    // colours.bmp: bottom row red, green; top row blue, white. Lighting is off,
    // so the modulated texture shows its own colours.
    glColor3f(1, 1, 1);
    createGround(FIELD, 5, 16, nullptr, picture("colours.bmp").c_str(), 1);
    expectColour(drawAndRead(16, 16), {255, 0, 0});
    expectColour(pixel(48, 16), {0, 255, 0});
    expectColour(pixel(16, 48), {0, 0, 255});
    expectColour(pixel(48, 48), {255, 255, 255});
    EXPECT_EQ(getGround().image.pixels, nullptr);  // uploaded, then released
    // The caller's state comes back.
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
}

TEST_F(GroundGl, NewGroundMadeBetweenFramesIsRebuiltAtTheNextDraw)
{
    glColor3f(1, 1, 1);
    createGround(FIELD, 5, 16, nullptr, picture("colours.bmp").c_str(), 1);
    drawAndRead(0, 0);
    const unsigned int oldList = getGround().displayList, oldTexture = getGround().image.texName;
    ASSERT_NE(oldList, 0u);
    ASSERT_TRUE(glIsList(oldList));

    createGround(FIELD, 5, 16, nullptr, picture("yellow.ppm").c_str(), 2);
    EXPECT_EQ(getGround().displayList, 0u);
    expectColour(drawAndRead(10, 50), {255, 255, 0});
    expectColour(pixel(60, 20), {255, 255, 0});
    EXPECT_NE(getGround().displayList, 0u);
    // Names may be reused; when they were not, the old objects are gone.
    if (getGround().displayList != oldList) {
        EXPECT_FALSE(glIsList(oldList));
    }
    if (getGround().image.texName != oldTexture) {
        EXPECT_FALSE(glIsTexture(oldTexture));
    }

    // Without a texture the old one goes, and the ground is drawn in the current colour.
    glColor3f(0, 0, 1);
    createGround(FIELD, 5, 16, nullptr, nullptr, 1);
    expectColour(drawAndRead(32, 32), {0, 0, 255});
    EXPECT_EQ(getGround().image.texName, 0u);
}

TEST_F(GroundGl, LightingFollowsTheNormals)
{
    const GLfloat fromAbove[] = {0, 0, 1, 0}, white[] = {1, 1, 1, 1}, black[] = {0, 0, 0, 1};
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, fromAbove);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);

    createGround(FIELD, 5, 16, nullptr, nullptr, 1);
    expectColour(drawAndRead(32, 32), {255, 255, 255}, 2);

    // ramp.bmp with a maximum height of 100: z = 0.8·x, so n·l = 1/√1.64.
    createGround(FIELD, 100, 16, picture("ramp.bmp").c_str(), nullptr, 1);
    const int lit = int(255 / std::sqrt(1.64));
    expectColour(drawAndRead(32, 32), {lit, lit, lit}, 3);
    glDisable(GL_LIGHTING);
}

TEST_F(GroundGl, UploadsKeepTheirPixelsAndParameters)
{
    Texture texture;
    ASSERT_TRUE(texture.loadMap(picture("id32.tga").c_str()));
    texture.makeTexture(GL_RGBA, false);
    ASSERT_NE(texture.texName, 0u);
    unsigned char back[8] = {};
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, back);
    EXPECT_EQ(std::vector<int>(back, back + 8), std::vector<int>(texture.pixels, texture.pixels + 8));
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP);
    const unsigned int name = texture.texName;
    texture.deleteTexture();
    EXPECT_EQ(texture.texName, 0u);
    EXPECT_FALSE(glIsTexture(name));

    // Rows of width 3 are not 4-byte aligned: the upload must not skew them.
    Image image;
    ASSERT_TRUE(image.loadMap(picture("padded.bmp").c_str()));
    image.makeTexture(true);
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_NEAREST_MIPMAP_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_REPEAT);
    // gluBuild2DMipmaps rescales 3x2 to a power of two; the unscaled upload keeps the bytes.
    image.makeTexture(false);
    unsigned char rgb[18] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    EXPECT_EQ(std::vector<int>(rgb, rgb + 18), std::vector<int>(image.pixels, image.pixels + 18));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);  // the caller's unpacking is restored
    image.deleteTexture();
}
