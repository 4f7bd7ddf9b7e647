// The widgets drawn offscreen with the committed styles and read back; the
// pictures they use come from the shared texture manager.
#include "oglui/resource.h"
#include "oglui/texture_manager.h"
#include "oglui/widget.h"

#include "support/offscreen_gl.h"

#include <gtest/gtest.h>
#include <GL/gl.h>

#include <algorithm>
#include <utility>

TEST(WidgetsGl, windowDrawnInItsStylesWithSharedPicturesAndStateRestored)
{
    constexpr int W = 400, H = 200;
    OffscreenGl gl(W, H);

    testing::internal::CaptureStdout();
    ASSERT_TRUE(oglLoadWidgetResources("ForestInterfaceData/ui.cfg"));
    EXPECT_EQ("", testing::internal::GetCapturedStdout()) << "the committed styles and declarations are sound";

    OGLInterface ui;
    ui.setViewport(W, H);
    auto* window = ui.addWindow(std::make_unique<OGLWindow>("Tools", 0.1f, 0.1f, 0.6f, 0.8f));
    window->add<OGLLabel>("Poly 12345", 0.02f, 0.1f, 0.4f, 0.1f);  // pixels 48..208 × 40..60
    window->add<OGLValueControl>(17, 0.5f, 0.4f, 0.04f, 0.3f);      // pixels 240..256 × 100..160
    ui.addWindow(std::make_unique<OGLWindow>("hidden", 0.75f, 0.1f, 0.2f, 0.8f))->setShown(false);

    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glScalef(2, 2, 2);
    glMatrixMode(GL_MODELVIEW);
    ui.draw();
    const QImage picture = gl.picture();
    // (x, y) from the top-left corner, as the widgets place things.
    const auto at = [&](int x, int y) { return picture.constScanLine(y) + x * 4; };
    // Pixels of the box (x0, y0)..(x1, y1) whose red, green and blue add up to more than `level`.
    const auto litIn = [&](int x0, int y0, int x1, int y1, int level) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += at(x, y)[0] + at(x, y)[1] + at(x, y)[2] > level;
        return n;
    };
    EXPECT_EQ(255, at(200, 170)[3]) << "the view stays opaque under a translucent window";
    EXPECT_GT(litIn(48, 40, 208, 60, 540), 40) << "label text";
    EXPECT_GT(at(248, 130)[1], std::max<int>(80, at(248, 130)[0])) << "the handle's green picture";
    EXPECT_EQ(0, litIn(0, 0, 10, 10, 0) + litIn(310, 30, 370, 170, 0)) << "outside the windows, the hidden one included";

    // The caller's state is back.
    GLint mode = 0;
    GLfloat projection[16];
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(std::pair(projection[0], projection[5]), std::pair(2.0f, 2.0f));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    // The handle's picture was made once and is found by its name.
    const std::string key = "ForestInterfaceData/Buttons/key.tga";
    // Found before loading again: the order in which the two sides of a
    // comparison are evaluated is not fixed.
    const unsigned int made = oglTextureFind(key);
    EXPECT_TRUE(glIsTexture(made));
    EXPECT_EQ(made, oglTextureLoad(key));
}
