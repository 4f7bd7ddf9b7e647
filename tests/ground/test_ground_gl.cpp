// The ground drawn offscreen, straight down on the field, and read back.
#include "ground/ground.h"
#include "ground/ground_state.h"
#include "pictures.h"

#include "support/offscreen_gl.h"

#include <gtest/gtest.h>
#include <GL/gl.h>

#include <vector>

TEST(GroundGl, TexturedGroundIsRightWayUpAndRebuiltAfterChanges)
{
    OffscreenGl gl(64, 64);
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, 100, 0, 100, -10, 10);
    glColor3f(1, 1, 1);
    // The drawn colour at pixel (x, y) in sixteenths, which absorbs texture filtering.
    const auto drawnPixel = [](int x, int y) {
        glClear(GL_COLOR_BUFFER_BIT);
        drawGround();
        unsigned char p[4];
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return std::vector<int>{p[0] / 16, p[1] / 16, p[2] / 16};
    };

    // colours.bmp: bottom row red, green; top row blue, white (a 2x2 picture
    // has 6-byte rows, which the upload must not take as 8).
    const float field[4] = {0, 0, 100, 100};
    createGround(field, 5, 16, nullptr, picture("colours.bmp").c_str(), 1);
    EXPECT_EQ(drawnPixel(16, 16), (std::vector<int>{15, 0, 0}));
    EXPECT_EQ(drawnPixel(48, 16), (std::vector<int>{0, 15, 0}));
    EXPECT_EQ(drawnPixel(16, 48), (std::vector<int>{0, 0, 15}));
    GLint bound = -1, alignment = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_TRUE(bound == 0 && alignment == 4 && !glIsEnabled(GL_TEXTURE_2D)) << "the caller's state comes back";

    // Made again without a texture: the old one goes and the current colour shows.
    glColor3f(0, 0, 1);
    createGround(field, 5, 16, nullptr, nullptr, 1);
    EXPECT_EQ(drawnPixel(32, 32), (std::vector<int>{0, 0, 15}));
    EXPECT_EQ(groundState().image.texName, 0u);
    releaseGround();
}
