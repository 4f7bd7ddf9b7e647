// The widgets drawn into an offscreen picture with the committed styles, read back.
#include "gl_context.h"
#include "oglui/resource.h"
#include "oglui/texture_manager.h"
#include "oglui/widget.h"

#include <gtest/gtest.h>
#include <GL/gl.h>

#include <vector>

namespace {

constexpr int W = 400, H = 200;

struct Pixels {
    std::vector<unsigned char> rgba = std::vector<unsigned char>(W * H * 4);
    // (x, y) from the top-left corner, as the widgets place things.
    const unsigned char* at(int x, int y) const { return &rgba[((H - 1 - y) * W + x) * 4]; }
    int brightIn(int x0, int y0, int x1, int y1) const
    {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += at(x, y)[0] > 180 && at(x, y)[1] > 180 && at(x, y)[2] > 180;
        return n;
    }
};

} // namespace

TEST(WidgetsGl, windowWithLabelAndHandleDrawnInTheirStylesAndStateRestored)
{
    TestGlContext gl(W, H);
    ASSERT_TRUE(gl.ready());
    testing::internal::CaptureStdout();
    ASSERT_TRUE(oglLoadWidgetResources("ForestInterfaceData/ui.cfg"));
    EXPECT_EQ("", testing::internal::GetCapturedStdout());

    OGLInterface ui;
    ui.setViewport(W, H);
    auto* window = ui.addWindow(std::make_unique<OGLWindow>("Tools", 0.1f, 0.1f, 0.6f, 0.8f));
    window->add<OGLLabel>("Poly 12345", 0.02f, 0.1f, 0.4f, 0.1f);   // pixels 48..208 × 40..60
    window->add<OGLValueControl>(17, 0.5f, 0.4f, 0.04f, 0.3f);       // pixels 240..256 × 100..160
    auto* hidden = ui.addWindow(std::make_unique<OGLWindow>("hidden", 0.75f, 0.1f, 0.2f, 0.8f));
    hidden->setShown(false);

    glViewport(0, 0, W, H);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScalef(2, 2, 2);
    glMatrixMode(GL_MODELVIEW);
    ui.draw();

    Pixels p;
    glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, p.rgba.data());
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());

    // The title bar in its colour (52 82 60), away from the title's letters.
    const unsigned char* bar = p.at(250, 25);
    EXPECT_NEAR(52, bar[0], 6);
    EXPECT_NEAR(82, bar[1], 6);
    EXPECT_NEAR(60, bar[2], 6);
    EXPECT_GT(p.brightIn(40, 20, 120, 26), 5) << "title text";
    // The body: dark, and not the black background.
    const unsigned char* body = p.at(200, 170);
    EXPECT_LT(body[0] + body[1] + body[2], 150);
    EXPECT_GT(body[0] + body[1] + body[2], 20);
    EXPECT_EQ(255, body[3]) << "the view stays opaque under a translucent window";
    // The label's letters, and nothing bright below them.
    EXPECT_GT(p.brightIn(48, 40, 208, 60), 40);
    EXPECT_EQ(0, p.brightIn(48, 70, 208, 90));
    // The handle's picture: green body.
    const unsigned char* key = p.at(248, 130);
    EXPECT_GT(key[1], key[0]);
    EXPECT_GT(key[1], 80);
    // Outside the windows, the hidden one included: untouched.
    EXPECT_EQ(0, p.at(5, 5)[0] + p.at(5, 5)[1] + p.at(5, 5)[2]);
    EXPECT_EQ(0, p.at(340, 100)[0] + p.at(340, 100)[1] + p.at(340, 100)[2]);

    // The caller's state is back.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(GL_MODELVIEW, mode);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_FLOAT_EQ(2, projection[0]);
    oglTextureReleaseAll();
}
