// Outlines of gusts and blasts, read back from an offscreen framebuffer.
#include "wind/director.h"
#include "wind/wind.h"

#include "support/offscreen_gl.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

constexpr int SIZE = 200;  // pixels over the 100 m field, seen from above

// Runs `p` to half its life, draws the wind on black and checks that the
// pixels `main` dominates, between `least` and `most` of them, outline it around its position.
void expectOutlined(const wind_primitive* p, int main, int least, int most)
{
    while (date::horloge < (p->date_of_birth + p->date_of_death) / 2) windUpdate(0.05f);
    glClear(GL_COLOR_BUFFER_BIT);
    windDraw();
    std::vector<unsigned char> pixels(SIZE * SIZE * 4);
    glReadPixels(0, 0, SIZE, SIZE, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int count = 0;
    float x = 0, y = 0;
    for (int i = 0; i < SIZE * SIZE; ++i) {
        const unsigned char* c = &pixels[i * 4];
        if (c[main] < 20 || c[main] < 2 * c[(main + 1) % 3] || c[main] < 2 * c[(main + 2) % 3]) continue;
        ++count, x += (i % SIZE) * 0.5f, y += (i / SIZE) * 0.5f;
    }
    ASSERT_TRUE(count > least && count < most) << count;
    EXPECT_NEAR(x / count, p->shape->get_pose().position.x, 3.0f);
    EXPECT_NEAR(y / count, p->shape->get_pose().position.y, 3.0f);
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
    expectOutlined(windDirector().not_born().front().get(), 2, 40, 1000);
    // A blast of 12 pixels at the centre: an outline, not a filled disc of 450 pixels.
    const double now = date::horloge;
    auto* blast = new blast_of_air(new circle({50, 50}, 6), new birth<blast_of_air>(nullptr, now, now + 1.5),
                                   new death<blast_of_air>(nullptr, now + 5, now + 6.5));
    windDirector().add_primitive(blast);
    glEnable(GL_LIGHTING);
    glColor4f(0.0f, 1.0f, 0.0f, 1.0f);
    expectOutlined(blast, 0, 60, 330);
    GLint polygon_mode[2], depth;
    GLfloat colour[4];
    glGetIntegerv(GL_POLYGON_MODE, polygon_mode);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(std::tuple(polygon_mode[0], depth, colour[1], glIsEnabled(GL_LIGHTING), glGetError()),
              std::tuple(GLint(GL_FILL), 1, 1.0f, GLboolean(GL_TRUE), GLenum(GL_NO_ERROR)));
}
