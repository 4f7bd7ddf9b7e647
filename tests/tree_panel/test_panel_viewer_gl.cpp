// The panel inside the program's viewer: mouse routing between the panel and
// the camera, and the panel drawn over the built-in scene.
#include "forest/forest.h"
#include "forest/tree_panel.h"
#include "tests/app/built_in_scene.h"
#include "tests/support/frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>

namespace {

// Runs the viewer until `done` holds, for at most a minute.
bool waitFor(const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 60000) QApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// A left-button drag from (x0, y0) to (x1, y1) in ten moves, in view fractions.
void drag(float x0, float y0, float x1, float y1)
{
    for (int i = -1; i <= 11; ++i) {
        const QEvent::Type type = i < 0 ? QEvent::MouseButtonPress : i > 10 ? QEvent::MouseButtonRelease : QEvent::MouseMove;
        const float t = std::clamp(i, 0, 10) / 10.0f;
        QMouseEvent event(type, QPointF(int(780 * (x0 + (x1 - x0) * t)), int(580 * (y0 + (y1 - y0) * t))),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(theViewer, &event);
    }
}

} // namespace

TEST(PanelViewerGl, panelTakesItsClicksAndTheCameraTheOthers)
{
    BuiltInScene built; // the viewer's state file in a folder of its own
    QFile::link(VELMORA_RUN_DIR "/Scene", built.filePath("Scene")); // the default scene file
    theViewer->resize(780, 580);
    theViewer->show();
    drawFrames(*theViewer, 1);  // the first frame builds the scene and the panel
    ASSERT_NE(nullptr, treePanel());
    theDriver->showTreesInterface(true);
    treePanel()->handle(TreePanel::SKELETON_TOOLS, 1);
    treePanel()->handle(TreePanel::MESH_TOOLS, 1);

    // Nothing of the scene is drawn over the panel: the gap between the two
    // columns of "Mesh Tools" stays the dark window body, grass or not.
    const QImage picture = theViewer->grabFramebuffer();
    const OGLRect mesh = treePanel()->meshTools()->rect();
    int bright = 0;
    for (int y = int(580 * (mesh.y + 0.31f)); y < int(580 * (mesh.y + mesh.h)) - 4; ++y)
        for (int x = int(780 * (mesh.x + 0.222f)); x < int(780 * (mesh.x + 0.238f)); ++x)
            bright += qRed(picture.pixel(x, y)) + qGreen(picture.pixel(x, y)) + qBlue(picture.pixel(x, y)) > 200;
    EXPECT_EQ(0, bright);

    // The far ends of both "Branch count" bounds dragged to the top: read
    // back within a second, and the drags on the panel leave the camera.
    const qglviewer::Vec start = theViewer->camera()->viewDirection();
    const OGLRect curve = treePanel()->curveEditor(0)->rect();
    for (int b = 0; b < 2; ++b) {
        const float y = curve.y + (1 - treePanel()->curveEditor(0)->polyline(b)[3].y) * curve.h;
        drag(curve.x + curve.w, y, curve.x + curve.w, curve.y - 0.03f);
    }
    EXPECT_TRUE(waitFor([] { return treeParameters().branchCount.boundB(1.0f) == 10.0f; }))
        << treeParameters().branchCount.boundB(1.0f);
    EXPECT_LT((start - theViewer->camera()->viewDirection()).norm(), 1e-6);

    // Once the panel is hidden, a drag over its place turns the camera.
    theDriver->showTreesInterface(false);
    drag(curve.x + curve.w / 2, curve.y + curve.h / 2, curve.x + curve.w / 2 + 0.12f, curve.y + curve.h / 2 + 0.05f);
    EXPECT_GT((start - theViewer->camera()->viewDirection()).norm(), 1e-4);
}
