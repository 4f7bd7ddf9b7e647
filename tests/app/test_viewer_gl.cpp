#include "app/driver.h"
#include "app/scene_state.h"
#include "app/viewer.h"
#include "tests/app/picture_folder.h"
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cmath>

namespace {

// Three frames of the built-in scene: the run folder's pictures, but not its
// scene files, so that the scene is the one initScene builds.
TEST(Viewer, DrawsTheSkyOverTheLitTexturedGround)
{
    // The program's viewer and driver, as start-up makes them.
    scene::resetSceneState();
    Viewer viewer;
    MyVelmoraQTDriver driver;
    theViewer = &viewer;
    theDriver = &driver;
    const PictureFolder folder;
    scene::draw_sky = true;
    viewer.stopAfterFrames(3, folder.filePath("frame.png"));
    viewer.resize(780, 580);
    viewer.show();
    QApplication::exec();
    const QImage picture(folder.filePath("frame.png"));
    ASSERT_EQ(picture.size(), QSize(780, 580));

    // The fan's colours run from (0.3, 0.35, 0.9) at its top to (0.8, 0.85, 1) at its rim.
    const QRgb top = picture.pixel(390, 5), low = picture.pixel(390, 250);
    EXPECT_GT(qBlue(top), qRed(top) + 60);
    EXPECT_NE(qGreen(top), 128) << "not the clear colour (0.3, 0.5, 0.9)";
    EXPECT_GT(qRed(low), qRed(top)) << "paler towards the horizon";

    double sum = 0, sumSquares = 0;
    int skyColoured = 0, pixels = 0;
    for (int y = 470; y < 580; ++y)
        for (int x = 0; x < picture.width(); ++x, ++pixels) {
            const QRgb c = picture.pixel(x, y);
            skyColoured += qBlue(c) > 200;
            sum += qGray(c);
            sumSquares += qGray(c) * qGray(c);
        }
    const double mean = sum / pixels;
    EXPECT_EQ(skyColoured, 0) << "the ground covers the lower part";
    EXPECT_GT(mean, 40) << "lit";
    EXPECT_GT(std::sqrt(sumSquares / pixels - mean * mean), 4) << "textured, not a flat colour";
}

} // namespace
