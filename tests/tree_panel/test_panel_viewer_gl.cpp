// The panel inside the program's viewer: mouse routing between the panel and
// the camera, the panel over the default scene, and the trees following a
// curve dragged on it. Leaves tree_panel_viewer.png and
// tree_panel_viewer_changed.png in the run folder.
#include "app/driver.h"
#include "app/rock.h"
#include "app/scene_state.h"
#include "app/viewer.h"
#include "forest/forest.h"
#include "forest/tree_panel.h"

#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>

namespace {

void spin(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

void mouse(QEvent::Type type, int x, int y)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(x, y), button, held, Qt::NoModifier);
    QApplication::sendEvent(theViewer, &event);
}

// A left-button drag from (x0, y0) to (x1, y1) in small steps.
void drag(int x0, int y0, int x1, int y1)
{
    mouse(QEvent::MouseButtonPress, x0, y0);
    for (int i = 1; i <= 10; ++i) mouse(QEvent::MouseMove, x0 + (x1 - x0) * i / 10, y0 + (y1 - y0) * i / 10);
    mouse(QEvent::MouseButtonRelease, x1, y1);
}

// Branches made for a tree, grown or not.
int branches(const Branch& b)
{
    int n = 1;
    for (int i = 0; i < b.childCount; ++i) n += branches(b.children[i]);
    return n;
}

bool sameCamera(const qglviewer::Quaternion& a, const qglviewer::Quaternion& b)
{
    for (int i = 0; i < 4; ++i)
        if (std::abs(a[i] - b[i]) > 1e-6) return false;
    return true;
}

} // namespace

TEST(PanelViewerGl, panelTakesItsClicksAndTheCameraTheOthers)
{
    // The run folder's data, but the viewer's state file in a folder of its own.
    QTemporaryDir folder;
    for (const char* data : {"GroundData", "GrassData", "ForestData", "ForestInterfaceData", "Scene"})
        QFile::link(QDir::current().absoluteFilePath(data), folder.filePath(data));
    const QString runFolder = QDir::currentPath();
    QDir::setCurrent(folder.path());

    scene::resetSceneState();
    rock::resetRock();
    theViewer = new Viewer();
    theDriver = new MyVelmoraQTDriver();
    theViewer->resize(780, 580);
    theViewer->show();
    spin(1500);
    ASSERT_NE(nullptr, treePanel());
    theDriver->showTreesInterface(true);
    treePanel()->handle(TreePanel::SKELETON_TOOLS, 1);
    treePanel()->handle(TreePanel::MESH_TOOLS, 1);
    spin(1200);

    // A drag that starts on the "Tools" window moves the window, not the camera.
    const qglviewer::Quaternion start = theViewer->camera()->orientation();
    const OGLRect tools = treePanel()->tools()->rect();
    drag(int(780 * (tools.x + 0.1f)), int(580 * tools.y) + 6, 300, 300);
    spin(100);
    EXPECT_TRUE(sameCamera(start, theViewer->camera()->orientation()));
    EXPECT_NEAR(300.0f / 780 - 0.1f, treePanel()->tools()->rect().x, 0.01f);
    drag(300, 300, int(780 * (tools.x + 0.1f)), int(580 * tools.y) + 6);  // back

    // A click on "Skeleton Tools" through the viewer's events hides that window.
    const OGLRect button = treePanel()->tools()->children()[1]->rect();
    drag(int(780 * (button.x + button.w / 2)), int(580 * (button.y + button.h / 2)),
         int(780 * (button.x + button.w / 2)), int(580 * (button.y + button.h / 2)));
    EXPECT_FALSE(treePanel()->skeletonTools()->isShown());
    treePanel()->handle(TreePanel::SKELETON_TOOLS, 1);
    EXPECT_TRUE(sameCamera(start, theViewer->camera()->orientation()));
    spin(300);

    const QImage picture = theViewer->grabFramebuffer();
    picture.save(runFolder + "/tree_panel_viewer.png");
    const QRgb bar = picture.pixel(int(780 * (tools.x + tools.w * 0.8f)), int(580 * tools.y) + 4);
    EXPECT_NEAR(52, qRed(bar), 8);
    EXPECT_NEAR(82, qGreen(bar), 8);
    // Nothing of the scene is drawn over the panel: the gap between the two
    // columns of "Mesh Tools" stays the dark window body, grass or not.
    const OGLRect mesh = treePanel()->meshTools()->rect();
    int bright = 0;
    for (int y = int(580 * (mesh.y + 0.31f)); y < int(580 * (mesh.y + mesh.h)) - 4; ++y)
        for (int x = int(780 * (mesh.x + 0.222f)); x < int(780 * (mesh.x + 0.238f)); ++x)
            bright += qRed(picture.pixel(x, y)) + qGreen(picture.pixel(x, y)) + qBlue(picture.pixel(x, y)) > 200;
    EXPECT_EQ(0, bright);

    // The far ends of both "Branch count" bounds dragged to the top, and one
    // step of "Max Angle": the trees regrow bushier within a second.
    const int before = branches(*growForestTree(0, 0.0).trunk);
    const OGLRect curve = treePanel()->curveEditor(0)->rect();
    for (int b = 0; b < 2; ++b) {
        const OGLCurvePoint end = treePanel()->curveEditor(0)->polyline(b)[3];
        const int y = int(580 * (curve.y + (1 - end.y) * curve.h));
        drag(int(780 * (curve.x + curve.w)), y, int(780 * (curve.x + curve.w)), int(580 * curve.y) - 20);
    }
    EXPECT_FLOAT_EQ(1.0f, treePanel()->curveEditor(0)->polyline(0)[3].y);
    EXPECT_FLOAT_EQ(1.0f, treePanel()->curveEditor(0)->polyline(1)[3].y);
    treePanel()->handle(TreePanel::MAX_ANGLE, 1);
    spin(1500);
    EXPECT_FLOAT_EQ(10.0f, treeParameters().branchCount.boundA(1.0f));
    EXPECT_GT(branches(*growForestTree(0, 0.0).trunk), before);
    theViewer->grabFramebuffer().save(runFolder + "/tree_panel_viewer_changed.png");

    // The same drag in the open view turns the camera.
    drag(300, 450, 400, 480);
    spin(100);
    EXPECT_FALSE(sameCamera(start, theViewer->camera()->orientation()));

    theDriver->showTreesInterface(false);
    delete theDriver;
    theDriver = nullptr;
    delete theViewer;
    theViewer = nullptr;
    QDir::setCurrent(runFolder);
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests happens at build time, where there may be no display.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    glutInit(&argc, argv);
    setDefaultGLFormat();
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
