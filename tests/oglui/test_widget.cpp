// Mouse routing, dragging, keys and the messages of the widgets, without GL.
#include "tests/support/test_path.h"
#include "oglui/file_dialog.h"
#include "oglui/widget.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

namespace {

using Messages = std::vector<std::pair<int, int>>;

// A 1000 x 500 pixel view: pixel (x, y) is the view fraction (x / 1000, y / 500).
struct Widgets : testing::Test, IMessageRecipient {
    OGLInterface ui;
    Messages messages;
    Widgets()
    {
        ui.setViewport(1000, 500);
        ui.setRecipient(this);
    }
    void handleMessage(int control, int amount) override { messages.emplace_back(control, amount); }
    void drag(int x0, int y0, int x1, int y1)
    {
        ui.mousePress(x0, y0);
        ui.mouseMove(x1, y1);
        ui.mouseRelease(x1, y1);
    }
};

} // namespace

TEST_F(Widgets, pressesGoToTheTopmostShownWidgetAndTitleBarsDragTheirWindows)
{
    OGLWindow* back = ui.addWindow(std::make_unique<OGLWindow>("w", 0.1f, 0.1f, 0.4f, 0.4f));
    OGLWindow* front = ui.addWindow(std::make_unique<OGLWindow>("w", 0.3f, 0.3f, 0.4f, 0.4f));
    ui.addWindow(std::make_unique<OGLWindow>("w", 0.0f, 0.8f, 0.2f, 0.2f))->setShown(false);
    back->add<OGLButton>("b", 5, 0.25f, 0.25f, 0.1f, 0.05f);   // view 0.35..0.45 × 0.35..0.40
    front->add<OGLButton>("f", 6, 0.05f, 0.05f, 0.1f, 0.05f);  // the same place, on top

    // Outside every window or over the hidden one: the camera's.
    EXPECT_FALSE(ui.mousePress(900, 50));
    EXPECT_FALSE(ui.mouseMove(910, 60));
    EXPECT_FALSE(ui.mouseRelease(910, 60));
    EXPECT_FALSE(ui.mousePress(50, 450));
    drag(400, 185, 400, 185);              // the front button
    drag(150, 100, 150, 100);              // a part of the back window only: it comes to the front
    drag(400, 185, 400, 185);              // now the back button
    // A press taken keeps its moves and release, even outside; off the button it is no click.
    EXPECT_TRUE(ui.mousePress(400, 185));
    EXPECT_TRUE(ui.mouseMove(990, 490));
    EXPECT_TRUE(ui.mouseRelease(990, 490));

    drag(150, 70, 250, 120);  // below the title bar the window stays
    EXPECT_FLOAT_EQ(back->rect().x, 0.1f);
    drag(150, 55, 250, 105);  // the back window by its title bar, y 0.10..0.13: its button follows
    drag(500, 237, 500, 237);
    EXPECT_EQ(messages, (Messages{{6, 1}, {5, 1}, {5, 1}}));
    drag(250, 105, -5000, -5000);  // a piece of the title bar stays in the view
    EXPECT_NEAR(back->rect().x, -0.35f, 1e-5f);
    EXPECT_NEAR(back->rect().y, 0, 1e-5f);
}

TEST_F(Widgets, valueControlSendsSignedStepsAndKeepsTheRemainder)
{
    OGLWindow* w = ui.addWindow(std::make_unique<OGLWindow>("w", 0, 0, 0.5f, 0.5f));
    w->add<OGLValueControl>(17, 0.1f, 0.1f, 0.02f, 0.04f);  // pixels y 50..70, 5 per step
    drag(105, 55, 105, 55);  // upper half
    drag(105, 65, 105, 65);  // lower half
    ui.mousePress(105, 55);
    ui.mouseMove(105, 43);  // 2.4 steps up
    ui.mouseMove(105, 40);  // the remainder adds up to a third step
    ui.mouseMove(105, 65);  // 5 steps down from there
    EXPECT_EQ(messages, (Messages{{17, 1}, {17, -1}, {17, 1}, {17, 2}, {17, 1}, {17, -5}}));
}

TEST_F(Widgets, curveEditorDragsTheNearestPointWithinItsLimits)
{
    // View 0.1..0.3 × 0.1..0.2: pixels 100..300 × 50..100.
    OGLWindow* w = ui.addWindow(std::make_unique<OGLWindow>("w", 0, 0, 0.5f, 0.5f));
    auto* curve = w->add<OGLCurveEditor>("Branch count", 0.1f, 0.1f, 0.2f, 0.1f);
    curve->setPolyline(0, {{{0.3f, 0.5f}, {0.3f, 0.5f}, {0.6f, 0.5f}, {0.7f, 1.0f}}});
    curve->setPolyline(1, {{{0, 0}, {0.4f, 0.2f}, {0.5f, 0.2f}, {1, 0}}});

    drag(161, 76, 400, 0);  // point 1 of bound 0, at (160, 75)
    EXPECT_EQ(curve->polyline(0)[1].x, 0.6f) << "x1 stops at x2";
    EXPECT_EQ(curve->polyline(0)[1].y, 1.0f);
    drag(200, 90, 900, 90);  // point 2 of bound 1, past the right end
    EXPECT_FLOAT_EQ(0.99f, curve->polyline(1)[2].x);
}

TEST_F(Widgets, fileDialogListsChoosesScrollsAndReportsTheChosenName)
{
    namespace fs = std::filesystem;
    const fs::path root = testPath("dialog");
    for (const char* folder : {"sub", "Another"}) fs::create_directories(root / folder);
    for (const char* name : {"b.arb", "a.ARB", "notes.txt", ".hidden.arb", "sub/inner.arb"}) std::ofstream(root / name) << "x";
    for (int i = 100; i < 140; ++i) std::ofstream(root / ("t" + std::to_string(i) + ".arb")) << "x";

    auto* dialog = static_cast<OGLFileDialog*>(ui.addWindow(std::make_unique<OGLFileDialog>("Load", 102, "arb", 0, 0)));
    dialog->open(root.string());
    ASSERT_EQ(45u, dialog->entries().size());
    std::string names;
    for (size_t i = 0; i < 6; ++i) names += dialog->entries()[i].name + " ";
    EXPECT_EQ(".. Another sub a.ARB b.arb t100.arb ", names) << "folders first";

    // A click chooses the row under it, counted from the first row shown.
    const OGLRect list = dialog->children()[1]->rect();
    const int x = int(1000 * (list.x + 0.05f)), y = int(500 * (list.y + 2.5f * OGLFileDialog::ROW_HEIGHT));
    dialog->scroll(10);
    drag(x, y, x, y);
    EXPECT_EQ("t107.arb", dialog->fileName());
    dialog->scroll(1000);
    EXPECT_EQ(45u - dialog->visibleRows(), dialog->firstShown());

    dialog->choose(2);  // into "sub", and back up
    dialog->choose(0);
    EXPECT_EQ(root.string(), dialog->folder());

    // Keys go to the shown dialog: Return is OK, Escape cancels; OK without a name does nothing.
    dialog->setFileName("");
    for (char c : std::string("new.arx\bb")) ui.keyPress(c);
    EXPECT_EQ((root / "new.arb").string(), dialog->chosenPath());
    EXPECT_TRUE(ui.keyPress('\r'));
    EXPECT_FALSE(dialog->isShown());
    EXPECT_FALSE(ui.keyPress('x'));
    dialog->open(root.string());
    dialog->setFileName("");
    dialog->finish(OGL_DIALOG_OK);
    ui.keyPress(27);
    EXPECT_EQ(messages, (Messages{{102, OGL_DIALOG_OK}, {102, OGL_DIALOG_CANCEL}}));

    dialog->open((root / "missing").string());
    EXPECT_EQ(1u, dialog->entries().size()) << "a folder that cannot be read lists only the way up";
}
