#include "app/driver.h"
#include "app/rock.h"
#include "app/scene_state.h"
#include "app/viewer.h"
#include "ground/ground.h"
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cmath>

namespace {

// The program's viewer and driver, as start-up makes them.
class ViewerTest : public testing::Test {
protected:
    void SetUp() override
    {
        scene::resetSceneState();
        rock::resetRock();
        theViewer = new Viewer();
        theDriver = new MyVelmoraQTDriver();
    }
    void TearDown() override
    {
        delete theDriver;
        theDriver = nullptr;
        delete theViewer;
        theViewer = nullptr;
    }
    static void press(int key)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(theViewer, &event);
    }
};

struct Region {
    int pixels = 0, clearColour = 0;
    double sum = 0, sumSquares = 0;  // of the luminance
    double mean() const { return sum / pixels; }
    double deviation() const { return std::sqrt(sumSquares / pixels - mean() * mean()); }
};

Region measure(const QImage& picture, int top, int bottom)
{
    Region r;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb c = picture.pixel(x, y);
            // Clear colour (0.3, 0.5, 0.9).
            if (std::abs(qRed(c) - 77) <= 2 && std::abs(qGreen(c) - 128) <= 2 && std::abs(qBlue(c) - 230) <= 2)
                ++r.clearColour;
            const double l = qGray(c);
            ++r.pixels;
            r.sum += l;
            r.sumSquares += l * l;
        }
    return r;
}

// Draws three frames of the built-in scene and returns the last. The run
// folder's pictures are used, but not its scene files, so that the scene is
// the one initScene builds before any file changes it.
QImage drawBuiltInScene()
{
    QTemporaryDir folder;
    for (const char* data : {"GroundData", "GrassData", "ForestData", "ForestInterfaceData"})
        QFile::link(QDir::current().absoluteFilePath(data), folder.filePath(data));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    const QString file = folder.filePath("frame.png");
    theViewer->stopAfterFrames(3, file);
    theViewer->resize(780, 580);
    theViewer->show();
    QApplication::exec();
    QDir::setCurrent(previous);
    EXPECT_TRUE(theViewer->snapshotSaved());
    return QImage(file);
}

TEST_F(ViewerTest, DrawsTheLitTexturedGroundUnderTheClearColour)
{
    const QImage picture = drawBuiltInScene();
    ASSERT_EQ(picture.size(), QSize(780, 580));
    const Region above = measure(picture, 0, 100);
    const Region ground = measure(picture, 470, 580);
    EXPECT_GT(above.clearColour, above.pixels * 0.95);
    EXPECT_EQ(ground.clearColour, 0) << "the ground covers the lower part";
    EXPECT_GT(ground.mean(), 40) << "lit";
    EXPECT_GT(ground.deviation(), 4) << "textured, not a flat colour";
    EXPECT_TRUE(rock::state().direct);
}

TEST_F(ViewerTest, SkyReplacesTheClearColourAboveTheGround)
{
    scene::draw_sky = true;
    const QImage picture = drawBuiltInScene();
    ASSERT_FALSE(picture.isNull());
    const Region above = measure(picture, 0, 100);
    EXPECT_EQ(above.clearColour, 0);
    // The fan's colours run from (0.3, 0.35, 0.9) at its top to (0.8, 0.85, 1) at its rim.
    const QRgb top = picture.pixel(390, 5), low = picture.pixel(390, 250);
    EXPECT_GT(qBlue(top), qRed(top) + 60);
    EXPECT_GT(qRed(low), qRed(top)) << "paler towards the horizon";
    EXPECT_GT(qBlue(low), 200);
}

TEST_F(ViewerTest, ReturnTogglesTheAnimationAndTheStartButton)
{
    std::vector<bool> sent;
    QObject::connect(theDriver, &MyVelmoraQTDriver::setQTAnim, [&](bool on) { sent.push_back(on); });
    press(Qt::Key_Return);
    EXPECT_TRUE(scene::animation);
    press(Qt::Key_Return);
    EXPECT_FALSE(scene::animation);
    EXPECT_EQ(sent, (std::vector<bool>{true, false}));
}

TEST_F(ViewerTest, ArrowKeyWaitsForTheAnimation)
{
    const float area[4] = {0, 0, 100, 100};
    createGround(area, 0, 400, nullptr, nullptr, 1);
    rock::placeRock(50, 50);
    const float alongX[3] = {1, 0, 0};

    press(Qt::Key_Up);
    theDriver->stepScene(alongX);
    theDriver->stepScene(alongX);
    EXPECT_FLOAT_EQ(rock::state().rockPosition[0], 50);

    press(Qt::Key_Return);
    theDriver->stepScene(alongX);
    EXPECT_FLOAT_EQ(rock::state().rockPosition[0], 50.05f) << "moves in the first animated frame";
}

} // namespace
