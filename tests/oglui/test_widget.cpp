// Mouse routing, dragging and the messages of the widgets, without GL.
#include "oglui/file_dialog.h"
#include "oglui/widget.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

namespace {

struct Recorder : IMessageRecipient {
    std::vector<std::pair<int, int>> messages;
    void handleMessage(int control, int amount) override { messages.emplace_back(control, amount); }
};

// A 1000 x 500 pixel view: pixel (x, y) is the view fraction (x / 1000, y / 500).
struct Ui {
    OGLInterface ui;
    Recorder recorder;
    Ui()
    {
        ui.setViewport(1000, 500);
        ui.setRecipient(&recorder);
    }
    void click(int x, int y)
    {
        ui.mousePress(x, y);
        ui.mouseRelease(x, y);
    }
};

} // namespace

TEST(Widgets, pressesOnShownWindowsAreTakenAndGoToTheWidgetUnderneath)
{
    Ui t;
    auto* back = t.ui.addWindow(std::make_unique<OGLWindow>("back", 0.1f, 0.1f, 0.4f, 0.4f));
    auto* front = t.ui.addWindow(std::make_unique<OGLWindow>("front", 0.3f, 0.3f, 0.4f, 0.4f));
    auto* hidden = t.ui.addWindow(std::make_unique<OGLWindow>("hidden", 0.0f, 0.8f, 0.2f, 0.2f));
    hidden->setShown(false);
    back->add<OGLButton>("b", 5, 0.25f, 0.25f, 0.1f, 0.05f);   // view 0.35..0.45 × 0.35..0.40
    front->add<OGLButton>("f", 6, 0.05f, 0.05f, 0.1f, 0.05f);  // view 0.35..0.45 × 0.35..0.40, on top

    EXPECT_FALSE(t.ui.mousePress(900, 50));    // outside every window: the camera's
    EXPECT_FALSE(t.ui.mouseMove(910, 60));
    EXPECT_FALSE(t.ui.mouseRelease(910, 60));
    EXPECT_FALSE(t.ui.mousePress(50, 450));    // over the hidden window
    t.ui.mouseRelease(50, 450);

    t.click(400, 185);  // both buttons are here; the front one wins
    ASSERT_EQ(1u, t.recorder.messages.size());
    EXPECT_EQ(std::make_pair(6, 1), t.recorder.messages[0]);

    t.click(150, 100);  // a part of the back window only: it comes to the front
    t.click(400, 185);
    EXPECT_EQ(std::make_pair(5, 1), t.recorder.messages.back());

    // A press taken by the toolkit keeps its moves and release, even outside.
    EXPECT_TRUE(t.ui.mousePress(400, 185));
    EXPECT_TRUE(t.ui.mouseMove(990, 490));
    EXPECT_TRUE(t.ui.mouseRelease(990, 490));
    EXPECT_EQ(2u, t.recorder.messages.size()) << "a release off the button is no click";

    back->add<OGLButton>("hidden child", 9, 0.0f, 0.3f, 0.1f, 0.05f)->setShown(false);
    t.click(120, 220);
    EXPECT_EQ(2u, t.recorder.messages.size());
}

TEST(Widgets, titleBarDragsTheWindowWithItsChildrenAndKeepsItReachable)
{
    Ui t;
    auto* w = t.ui.addWindow(std::make_unique<OGLWindow>("w", 0.1f, 0.1f, 0.3f, 0.3f));
    auto* label = w->add<OGLLabel>("text", 0.02f, 0.05f, 0.1f, 0.03f);
    t.ui.mousePress(200, 55);  // title bar: y 0.10..0.13
    t.ui.mouseMove(300, 105);
    t.ui.mouseRelease(300, 105);
    EXPECT_NEAR(0.2f, w->rect().x, 1e-5);
    EXPECT_NEAR(0.2f, w->rect().y, 1e-5);
    EXPECT_NEAR(0.22f, label->rect().x, 1e-5);
    EXPECT_NEAR(0.25f, label->rect().y, 1e-5);

    t.ui.mousePress(250, 105);
    t.ui.mouseMove(-5000, -5000);
    t.ui.mouseRelease(-5000, -5000);
    EXPECT_NEAR(0.05f - 0.3f, w->rect().x, 1e-5);
    EXPECT_NEAR(0.0f, w->rect().y, 1e-5);

}

TEST(Widgets, valueControlSendsSignedSteps)
{
    Ui t;
    auto* w = t.ui.addWindow(std::make_unique<OGLWindow>("w", 0.0f, 0.0f, 0.5f, 0.5f));
    w->add<OGLValueControl>(17, 0.1f, 0.1f, 0.02f, 0.04f);  // view y 0.10..0.14, pixels 50..70
    t.click(105, 55);
    t.click(105, 65);
    t.ui.mousePress(105, 55);          // +1
    t.ui.mouseMove(105, 55 - 12);      // 2.4 steps up: +2
    t.ui.mouseMove(105, 55 - 15);      // remainder adds up to a third step
    t.ui.mouseMove(105, 55 + 10);      // 5 steps down from there
    t.ui.mouseRelease(105, 55 + 10);
    const std::vector<std::pair<int, int>> expected = {{17, 1}, {17, -1}, {17, 1}, {17, 2}, {17, 1}, {17, -5}};
    EXPECT_EQ(expected, t.recorder.messages);
}

TEST(Widgets, curveEditorDragsTheNearestPointWithinItsLimits)
{
    Ui t;
    auto* w = t.ui.addWindow(std::make_unique<OGLWindow>("w", 0.0f, 0.0f, 0.5f, 0.5f));
    // View 0.1..0.3 × 0.1..0.2, pixels 100..300 × 50..100.
    auto* curve = w->add<OGLCurveEditor>("Branch count", 0.1f, 0.1f, 0.2f, 0.1f);
    curve->setPolyline(0, {{{0.3f, 0.5f}, {0.3f, 0.5f}, {0.6f, 0.5f}, {0.7f, 1.0f}}});
    curve->setPolyline(1, {{{0, 0}, {0.4f, 0.2f}, {0.5f, 0.2f}, {1, 0}}});
    EXPECT_EQ(0.0f, curve->polyline(0)[0].x);
    EXPECT_EQ(1.0f, curve->polyline(0)[3].x);

    // Point 1 of bound 0 at pixel (160, 75): drag it far right and up.
    t.ui.mousePress(161, 76);
    t.ui.mouseMove(400, 0);
    t.ui.mouseRelease(400, 0);
    EXPECT_FLOAT_EQ(0.6f, curve->polyline(0)[1].x) << "x1 stops at x2";
    EXPECT_FLOAT_EQ(1.0f, curve->polyline(0)[1].y);

    // Point 0 of bound 1 at (100, 100), caught just outside the border: only its height moves.
    t.ui.mousePress(97, 102);
    t.ui.mouseMove(150, 90);
    t.ui.mouseRelease(150, 90);
    EXPECT_FLOAT_EQ(0.0f, curve->polyline(1)[0].x);
    EXPECT_NEAR(0.2f, curve->polyline(1)[0].y, 1e-5);

    // Point 2 of bound 1 dragged past the right end stays short of it.
    t.ui.mousePress(200, 90);
    t.ui.mouseMove(900, 90);
    t.ui.mouseRelease(900, 90);
    EXPECT_FLOAT_EQ(0.99f, curve->polyline(1)[2].x);

    // Nothing near: nothing moves.
    const auto before = curve->polyline(0);
    t.ui.mousePress(230, 60);
    t.ui.mouseMove(240, 90);
    t.ui.mouseRelease(240, 90);
    EXPECT_EQ(before[1].y, curve->polyline(0)[1].y);
    EXPECT_EQ(before[2].y, curve->polyline(0)[2].y);
}

TEST(FileDialog, listsTheFolderAndReportsTheChosenName)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::path(testing::TempDir()) / "oglui_dialog";
    fs::remove_all(root);
    fs::create_directories(root / "sub");
    fs::create_directories(root / "Another");
    for (const char* name : {"b.arb", "a.ARB", "notes.txt", ".hidden.arb"}) std::ofstream(root / name) << "x";
    std::ofstream(root / "sub" / "inner.arb") << "x";

    Ui t;
    auto* dialog = static_cast<OGLFileDialog*>(
        t.ui.addWindow(std::make_unique<OGLFileDialog>("Load Tree", 102, "arb", 0.1f, 0.1f)));
    EXPECT_FALSE(dialog->isShown());
    dialog->open(root.string());
    EXPECT_TRUE(dialog->isShown());
    std::vector<std::string> names;
    for (const auto& e : dialog->entries()) names.push_back(e.name + (e.isFolder ? "/" : ""));
    EXPECT_EQ((std::vector<std::string>{"../", "Another/", "sub/", "a.ARB", "b.arb"}), names);

    dialog->choose(2);  // into "sub"
    EXPECT_EQ((root / "sub").string(), dialog->folder());
    ASSERT_EQ(2u, dialog->entries().size());
    dialog->choose(1);
    EXPECT_EQ("inner.arb", dialog->fileName());
    dialog->choose(0);  // back up
    EXPECT_EQ(root.string(), dialog->folder());

    // Typing goes to the shown dialog; Return is OK.
    dialog->setFileName("");
    for (char c : std::string("new.arb")) EXPECT_TRUE(t.ui.keyPress(c));
    t.ui.keyPress(8);
    t.ui.keyPress('b');
    EXPECT_EQ((root / "new.arb").string(), dialog->chosenPath());
    EXPECT_TRUE(t.ui.keyPress('\r'));
    EXPECT_FALSE(dialog->isShown());
    EXPECT_EQ(std::make_pair(102, OGL_DIALOG_OK), t.recorder.messages.back());
    EXPECT_FALSE(t.ui.keyPress('x')) << "a hidden dialog takes no keys";

    // OK without a name does nothing; Escape cancels.
    dialog->open(root.string());
    dialog->setFileName("");
    dialog->finish(OGL_DIALOG_OK);
    EXPECT_TRUE(dialog->isShown());
    t.ui.keyPress(27);
    EXPECT_FALSE(dialog->isShown());
    EXPECT_EQ(std::make_pair(102, OGL_DIALOG_CANCEL), t.recorder.messages.back());
    EXPECT_EQ(2u, t.recorder.messages.size());

    // A folder that cannot be read lists only the way up.
    dialog->open((root / "missing").string());
    EXPECT_EQ(1u, dialog->entries().size());
}

TEST(FileDialog, clicksOnTheListChooseAndTheArrowsScroll)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::path(testing::TempDir()) / "oglui_many";
    fs::remove_all(root);
    fs::create_directories(root);
    for (int i = 0; i < 40; ++i) std::ofstream(root / ("t" + std::to_string(100 + i) + ".arb")) << "x";

    Ui t;
    auto* dialog = static_cast<OGLFileDialog*>(
        t.ui.addWindow(std::make_unique<OGLFileDialog>("Save Tree", 103, "arb", 0.0f, 0.0f)));
    dialog->open(root.string());
    ASSERT_EQ(41u, dialog->entries().size());
    const OGLRect list = dialog->children()[1]->rect();
    const int x = int(1000 * (list.x + 0.05f));
    const auto rowPixel = [&](int row) { return int(500 * (list.y + (row + 0.5f) * OGLFileDialog::ROW_HEIGHT)); };

    t.click(x, rowPixel(2));
    EXPECT_EQ("t101.arb", dialog->fileName());
    for (int i = 0; i < 10; ++i) dialog->scroll(1);
    EXPECT_EQ(10u, dialog->firstShown());
    t.click(x, rowPixel(0));
    EXPECT_EQ("t109.arb", dialog->fileName());
    dialog->scroll(1000);
    EXPECT_EQ(41u - dialog->visibleRows(), dialog->firstShown());
    dialog->scroll(-1000);
    EXPECT_EQ(0u, dialog->firstShown());
    EXPECT_TRUE(t.recorder.messages.empty());
}
