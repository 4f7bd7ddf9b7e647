// The ground drawn into an offscreen context and read back.
#include "ground/ground.h"
#include "pictures.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include <GL/gl.h>

namespace {

/// Whether the drawn pixel (x, y) has this colour, up to texture filtering.
testing::AssertionResult pixelIs(int x, int y, int r, int g, int b)
{
    unsigned char p[4];
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    if (std::abs(p[0] - r) > 8 || std::abs(p[1] - g) > 8 || std::abs(p[2] - b) > 8)
        return testing::AssertionFailure() << int(p[0]) << " " << int(p[1]) << " " << int(p[2]);
    return testing::AssertionSuccess();
}

void draw()
{
    glClear(GL_COLOR_BUFFER_BIT);
    drawGround();
}

} // namespace

TEST(GroundGl, TexturedGroundIsRightWayUpAndRebuiltAfterChanges)
{
    int argc = 1;
    char name[] = "ground_gl_tests", *argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    QSurfaceFormat format;
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    QOffscreenSurface surface;
    surface.setFormat(format);
    surface.create();
    QOpenGLContext context;
    context.setFormat(format);
    ASSERT_TRUE(context.create() && context.makeCurrent(&surface));
    QOpenGLFramebufferObject fbo(64, 64);
    fbo.bind();
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, 100, 0, 100, -10, 10);  // straight down on the field
    glColor3f(1, 1, 1);

    // colours.bmp: bottom row red, green; top row blue, white (a 2x2 picture
    // has 6-byte rows, which the upload must not take as 8).
    const float field[4] = {0, 0, 100, 100};
    createGround(field, 5, 16, nullptr, picture("colours.bmp").c_str(), 1);
    draw();
    EXPECT_TRUE(pixelIs(16, 16, 255, 0, 0));
    EXPECT_TRUE(pixelIs(48, 16, 0, 255, 0));
    EXPECT_TRUE(pixelIs(16, 48, 0, 0, 255));
    EXPECT_TRUE(pixelIs(48, 48, 255, 255, 255));
    EXPECT_EQ(getGround().image.pixels, nullptr);  // uploaded, then released
    GLint bound = -1, alignment = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(bound, 0);  // the caller's state comes back
    EXPECT_EQ(alignment, 4);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    // Made between frames: the next draw replaces list and texture.
    const unsigned int oldList = getGround().displayList;
    createGround(field, 5, 16, nullptr, picture("yellow.ppm").c_str(), 2);
    draw();
    EXPECT_TRUE(pixelIs(10, 50, 255, 255, 0));
    EXPECT_TRUE(getGround().displayList == oldList || !glIsList(oldList));

    // Without a texture the old one goes and the current colour shows.
    glColor3f(0, 0, 1);
    createGround(field, 5, 16, nullptr, nullptr, 1);
    draw();
    EXPECT_TRUE(pixelIs(32, 32, 0, 0, 255));
    EXPECT_EQ(getGround().image.texName, 0u);
    releaseGround();
}
