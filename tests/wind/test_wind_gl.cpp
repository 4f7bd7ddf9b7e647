// Outlines of gusts and blasts, read back from an offscreen framebuffer.
#include "wind/director.h"
#include "wind/wind.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int SIZE = 200;  // pixels over the 100 m field, seen from above

class WindDrawGl : public ::testing::Test {
protected:
    // The application must exist before the fixture's surface is made.
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
        glOrtho(0, 100, 0, 100, -50, 50);
        glMatrixMode(GL_MODELVIEW);
        const float area[4] = {0, 0, 100, 100};
        windInit(area, 2.0f);
    }
    void TearDown() override
    {
        fbo.reset();  // needs the context current
        context.doneCurrent();
    }

    // Advances the wind until `fraction` of the life of `p` has passed.
    static void advanceTo(const wind_primitive* p, double fraction)
    {
        while (date::horloge < p->date_of_birth + fraction * (p->date_of_death - p->date_of_birth))
            windUpdate(0.05f);
    }

    // Draws the wind on black; count, brightest value and centroid (metres) of
    // the pixels where `main` dominates the other two channels.
    struct Coverage {
        int count = 0, brightest = 0;
        float x = 0, y = 0;
    };
    static Coverage drawnIn(int main)
    {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        windDraw();
        std::vector<unsigned char> pixels(SIZE * SIZE * 4);
        glReadPixels(0, 0, SIZE, SIZE, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        Coverage c;
        for (int i = 0; i < SIZE * SIZE; ++i) {
            const unsigned char* p = &pixels[i * 4];
            if (p[main] < 20 || p[main] < 2 * p[(main + 1) % 3] || p[main] < 2 * p[(main + 2) % 3]) continue;
            ++c.count;
            c.brightest = std::max<int>(c.brightest, p[main]);
            c.x += (i % SIZE) * 0.5f;
            c.y += (i / SIZE) * 0.5f;
        }
        if (c.count) c.x /= c.count, c.y /= c.count;
        return c;
    }

    QOpenGLContext context;
    QOffscreenSurface surface;
    std::unique_ptr<QOpenGLFramebufferObject> fbo;
};

} // namespace

TEST_F(WindDrawGl, GustsAreBlueAndBlastsRedOutlinesWhereTheyAreFading)
{
    windAddGust(6.0f, 4.0f);
    const wind_primitive* gust = windDirector().not_born().front().get();
    EXPECT_EQ(drawnIn(2).count, 0);  // not born: not drawn
    advanceTo(gust, 0.05);
    const Coverage fading_in = drawnIn(2);
    advanceTo(gust, 0.5);
    const Coverage blue = drawnIn(2);
    EXPECT_GT(blue.count, 40);
    EXPECT_LT(fading_in.brightest, blue.brightest);
    EXPECT_NEAR(blue.x, gust->shape->get_pose().position.x, 3.0f);
    EXPECT_NEAR(blue.y, gust->shape->get_pose().position.y, 3.0f);
    EXPECT_EQ(drawnIn(0).count, 0);

    windAddBlast(6.0f);
    const wind_primitive* blast = windDirector().not_born().front().get();
    advanceTo(blast, 0.5);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor4f(0.0f, 1.0f, 0.0f, 1.0f);
    const Coverage red = drawnIn(0);
    // Drawing leaves the state as it found it.
    GLint polygon_mode[2], depth;
    GLfloat line_width, colour[4];
    glGetIntegerv(GL_POLYGON_MODE, polygon_mode);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    glGetFloatv(GL_LINE_WIDTH, &line_width);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(polygon_mode[0], GL_FILL);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(line_width, 1.0f);
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING) && glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_GT(red.count, 60);
    EXPECT_NEAR(red.x, blast->shape->get_pose().position.x, 3.0f);
    EXPECT_NEAR(red.y, blast->shape->get_pose().position.y, 3.0f);
}
