// Outlines of gusts and blasts, read back from an offscreen framebuffer.
#include "wind/director.h"
#include "wind/wind.h"

#include "tests/support/offscreen_gl.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int SIZE = 200;  // pixels over the 100 m field, seen from above

void advanceTo(const wind_primitive* p, double fraction)
{
    while (date::horloge < p->date_of_birth + fraction * (p->date_of_death - p->date_of_birth)) windUpdate(0.05f);
}

// Draws the wind on black; returns how many pixels `main` dominates and their centroid in metres.
struct Coverage {
    int count = 0;
    float x = 0, y = 0;
};
Coverage drawnIn(int main)
{
    glClear(GL_COLOR_BUFFER_BIT);
    windDraw();
    std::vector<unsigned char> pixels(SIZE * SIZE * 4);
    glReadPixels(0, 0, SIZE, SIZE, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    Coverage c;
    for (int i = 0; i < SIZE * SIZE; ++i) {
        const unsigned char* p = &pixels[i * 4];
        if (p[main] < 20 || p[main] < 2 * p[(main + 1) % 3] || p[main] < 2 * p[(main + 2) % 3]) continue;
        ++c.count, c.x += (i % SIZE) * 0.5f, c.y += (i / SIZE) * 0.5f;
    }
    if (c.count) c.x /= c.count, c.y /= c.count;
    return c;
}

} // namespace

TEST(WindDrawGl, GustsAreBlueAndBlastsRedOutlinesAndTheStateIsKept)
{
    OffscreenGl gl(SIZE, SIZE);
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, 100, 0, 100, -50, 50);
    glMatrixMode(GL_MODELVIEW);
    const float area[4] = {0, 0, 100, 100};
    windInit(area, 2.0f);

    windAddGust(6.0f, 4.0f);
    const wind_primitive* gust = windDirector().not_born().front().get();
    EXPECT_EQ(drawnIn(2).count, 0);  // not born: not drawn
    advanceTo(gust, 0.5);
    const Coverage blue = drawnIn(2);
    EXPECT_GT(blue.count, 40);
    EXPECT_NEAR(blue.x, gust->shape->get_pose().position.x, 3.0f);
    EXPECT_NEAR(blue.y, gust->shape->get_pose().position.y, 3.0f);

    windAddBlast(6.0f);
    const wind_primitive* blast = windDirector().not_born().front().get();
    advanceTo(blast, 0.5);
    glEnable(GL_LIGHTING);
    glColor4f(0.0f, 1.0f, 0.0f, 1.0f);
    const Coverage red = drawnIn(0);
    EXPECT_GT(red.count, 60);
    EXPECT_NEAR(red.x, blast->shape->get_pose().position.x, 3.0f);
    EXPECT_NEAR(red.y, blast->shape->get_pose().position.y, 3.0f);
    // Drawing leaves the state as it found it.
    GLint polygon_mode[2], depth;
    GLfloat colour[4];
    glGetIntegerv(GL_POLYGON_MODE, polygon_mode);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(polygon_mode[0], GL_FILL);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
