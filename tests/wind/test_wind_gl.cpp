// Outlines of gusts and blasts, read back from an offscreen framebuffer.
#include "wind/director.h"
#include "wind/wind.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int SIZE = 200;  // pixels over the 100 m field: 2 per metre

class WindDrawGl : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "wind_gl_tests";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
    }

    void SetUp() override
    {
        QSurfaceFormat format;
        format.setProfile(QSurfaceFormat::CompatibilityProfile);
        format.setVersion(2, 1);
        context.setFormat(format);
        surface.setFormat(format);
        surface.create();
        ASSERT_TRUE(context.create() && context.makeCurrent(&surface));
        fbo = std::make_unique<QOpenGLFramebufferObject>(SIZE, SIZE);
        fbo->bind();
        glViewport(0, 0, SIZE, SIZE);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 100, 0, 100, -50, 50);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();

        const float area[4] = {0, 0, 100, 100};
        windInit(area, 2.0f);
    }

    void TearDown() override
    {
        fbo.reset();
        context.doneCurrent();
        const float area[4] = {0, 0, 1, 1};
        windInit(area, 0.0f);
    }

    // Advances the wind until `fraction` of the only primitive's life has passed.
    static const wind_primitive& advanceTo(double fraction)
    {
        const wind_primitive* p = windDirector().not_born().empty() ? windDirector().alive().front().get()
                                                                     : windDirector().not_born().front().get();
        const double date = p->date_of_birth + fraction * (p->date_of_death - p->date_of_birth);
        while (date::horloge < date) windUpdate(0.05f);
        return *p;
    }

    // Draws the wind on black and returns the RGBA pixels.
    static std::vector<unsigned char> drawn()
    {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        windDraw();
        glFinish();
        std::vector<unsigned char> pixels(SIZE * SIZE * 4);
        glReadPixels(0, 0, SIZE, SIZE, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    struct Coverage {
        int count = 0;
        int brightest = 0;
        float x = 0, y = 0;  // centroid, metres
    };

    // Pixels whose `main` channel clearly dominates the other two.
    static Coverage coverage(const std::vector<unsigned char>& pixels, int main)
    {
        Coverage c;
        for (int row = 0; row < SIZE; ++row)
            for (int col = 0; col < SIZE; ++col) {
                const unsigned char* p = &pixels[(row * SIZE + col) * 4];
                if (p[main] < 20 || p[main] < 2 * p[(main + 1) % 3] || p[main] < 2 * p[(main + 2) % 3])
                    continue;
                ++c.count;
                c.brightest = std::max<int>(c.brightest, p[main]);
                c.x += col * 0.5f;
                c.y += row * 0.5f;
            }
        if (c.count) {
            c.x /= c.count;
            c.y /= c.count;
        }
        return c;
    }

    QOpenGLContext context;
    QOffscreenSurface surface;
    std::unique_ptr<QOpenGLFramebufferObject> fbo;
};

} // namespace

TEST_F(WindDrawGl, GustIsABlueOutlineWhereItBlowsAndFades)
{
    windAddGust(6.0f, 4.0f);
    const Coverage early = coverage(drawn(), 2);
    EXPECT_EQ(early.count, 0);  // not born: not drawn

    const wind_primitive& gust = advanceTo(0.05);
    const Coverage fading_in = coverage(drawn(), 2);
    advanceTo(0.5);
    const auto pixels = drawn();
    const Coverage middle = coverage(pixels, 2);
    EXPECT_GT(middle.count, 40);
    EXPECT_EQ(coverage(pixels, 0).count, 0);  // no red
    EXPECT_LT(fading_in.brightest, middle.brightest);
    const point2d at = gust.shape->get_pose().position;
    EXPECT_NEAR(middle.x, at.x, 3.0f);
    EXPECT_NEAR(middle.y, at.y, 3.0f);
}

TEST_F(WindDrawGl, BlastIsARedDiscOutline)
{
    windAddBlast(6.0f);
    const wind_primitive& blast = advanceTo(0.5);
    const auto pixels = drawn();
    const Coverage red = coverage(pixels, 0);
    EXPECT_GT(red.count, 60);
    EXPECT_EQ(coverage(pixels, 2).count, 0);
    const point2d at = blast.shape->get_pose().position;
    EXPECT_NEAR(red.x, at.x, 3.0f);
    EXPECT_NEAR(red.y, at.y, 3.0f);
}

TEST_F(WindDrawGl, DrawingLeavesTheStateAsItFoundIt)
{
    windAddGust(6.0f, 4.0f);
    windAddBlast(6.0f);
    advanceTo(0.5);
    ASSERT_EQ(windDirector().alive().size(), 2u);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor4f(0.0f, 1.0f, 0.0f, 1.0f);
    drawn();
    GLint polygon_mode[2];
    glGetIntegerv(GL_POLYGON_MODE, polygon_mode);
    GLfloat line_width, colour[4];
    GLint depth, matrix_mode;
    glGetFloatv(GL_LINE_WIDTH, &line_width);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    glGetIntegerv(GL_MATRIX_MODE, &matrix_mode);
    EXPECT_EQ(polygon_mode[0], GL_FILL);
    EXPECT_EQ(line_width, 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(matrix_mode, GL_MODELVIEW);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
}
