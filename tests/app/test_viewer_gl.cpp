#include "app/rock.h"
#include "forest/forest.h"
#include "grass/grass_field.h"
#include "util/random.h"
#include "wind/director.h"
#include "wind/wind.h"
#include "tests/app/built_in_scene.h"
#include <QApplication>
#include <GL/gl.h>
#include <QKeyEvent>
#include <QKeySequence>
#include <QTest>
#include <gtest/gtest.h>
#include <utility>

namespace {

// Three frames of the built-in scene, then its keys.
TEST(Viewer, BuiltInSceneStartsAsSetUpAndAnswersItsKeys)
{
    BuiltInScene built;
    Viewer& viewer = built.viewer;
    rock::setDirect(false); // start-up forces direct mode, whatever came before
    built.driver.startLook = true;  // as --look asks
    viewer.stopAfterFrames(3, QString());
    viewer.resize(780, 580);
    viewer.show();
    QApplication::exec();

    // The built-in scene: rock at the centre with Down pending, wind over the
    // ground, ten trees, the grass's density.
    const rock::RockState& r = rock::state();
    EXPECT_EQ(std::pair(r.direct, r.keyBackward), std::pair(true, true));
    EXPECT_EQ(std::pair(r.rockPosition[0], r.rockPosition[1]), std::pair(50.0f, 50.0f));
    EXPECT_EQ(std::pair(windArea().x_max, windArea().y_max), std::pair(100.0f, 100.0f));
    EXPECT_EQ(forestTreeCount(), 10);
    EXPECT_EQ(scene::grassField().getBladesPerSquareMetre(), 10);

    // W and B launch what the ground's size s = (sizeX + sizeY)/2 = 100 allows:
    // a gust of half-sizes between s/2 and s, a blast of radius between s/8 and s/4.
    const auto key = [&](int k) { QTest::keyClick(&viewer, Qt::Key(k)); };
    const auto launch = [&](int k) -> const figure2d* {
        const float area[4] = {0, 0, 100, 100};
        windInit(area, 5);
        key(k);
        const god_of_gusts& d = windDirector();
        const auto& list = d.not_born().empty() ? d.alive() : d.not_born();
        return list.empty() ? nullptr : list.front()->shape.get();
    };
    for (const unsigned seed : {17u, 18u}) {
        util::randomSeed(seed);
        const auto* gust = dynamic_cast<const rectangle*>(launch(Qt::Key_W));
        ASSERT_NE(gust, nullptr);
        const float sizes[2] = {gust->half_length(), gust->half_width()};  // before the next launch ends it
        const auto* blast = dynamic_cast<const circle*>(launch(Qt::Key_B));
        ASSERT_NE(blast, nullptr);
        for (const float size : {sizes[0], sizes[1], 4 * blast->radius()}) {
            EXPECT_GE(size, 50.0f) << seed;
            EXPECT_LE(size, 100.0f) << seed;
        }
    }

    // Arrow keys wait for the next animated frame; F9 shows the 2.5D texture, F10 the 2D one.
    const float alongX[3] = {1, 0, 0};
    rock::stepRock(alongX, 0); // consumes the pending keys
    key(Qt::Key_Up);
    EXPECT_EQ(std::pair(r.keyForward, r.keyBackward), std::pair(true, false));
    key(Qt::Key_F9);
    viewer.grabFramebuffer();
    EXPECT_EQ(std::pair(scene::switches().showGrassTexture2D5, scene::switches().showGrassTexture2D), std::pair(true, false));
    key(Qt::Key_F9);
    key(Qt::Key_F10);
    viewer.grabFramebuffer();
    EXPECT_EQ(std::pair(scene::switches().showGrassTexture2D5, scene::switches().showGrassTexture2D), std::pair(false, true));
    key(Qt::Key_F10);
    // The look, on as --look asked, goes with L. With it the ground fades into the
    // sky's rim (0.8, 0.85, 1): linear fog from 10 to 140 m leaves the far edge, some
    // 100 m away, at most a third of its own colour, the bottom row (15 m) almost all.
    viewer.grabFramebuffer();  // the frame that takes the overlay away
    const QImage fogged = viewer.grabFramebuffer();
    key(Qt::Key_L);
    EXPECT_FALSE(scene::switches().look);
    const QImage plain = viewer.grabFramebuffer();
    const int x = plain.width() * 3 / 4;
    int edge = 0;  // the first row of ground from the top, under the clear colour
    while (edge + 1 < plain.height() && qBlue(plain.pixel(x, edge)) > 200) ++edge;
    const auto offHorizon = [](QRgb p) {
        return std::abs(qRed(p) - 204) + std::abs(qGreen(p) - 217) + std::abs(qBlue(p) - 255);
    };
    const QRgb far = plain.pixel(x, edge + 1), farFogged = fogged.pixel(x, edge + 1);
    EXPECT_LT(offHorizon(farFogged), offHorizon(far) / 2) << edge << " " << std::hex << far << " " << farFogged;
    const QRgb near = plain.pixel(x, plain.height() - 1), nearFogged = fogged.pixel(x, plain.height() - 1);
    EXPECT_GT(offHorizon(nearFogged), offHorizon(near) * 8 / 10) << std::hex << near << " " << nearFogged;

    // Stopped, the grass is not crushed: the segment's start stays behind.
    scene::setSwitch(&scene::Switches::draw_grass, true);
    float ahead[3] = {60, 50, 0};
    moveRockRecord(rock::record(), ahead, true);
    viewer.grabFramebuffer();
    EXPECT_FLOAT_EQ(rock::record().previousPosition[0], 50);
    scene::setSwitch(&scene::Switches::animation, true);
    viewer.grabFramebuffer();
    EXPECT_FLOAT_EQ(rock::record().previousPosition[0], rock::record().currentPosition[0]);
    scene::setSwitch(&scene::Switches::animation, false);
    scene::setSwitch(&scene::Switches::draw_grass, false);

    // The help's Keyboard tab has a line for every key the viewer answers.
    for (int k : {Qt::Key_W, Qt::Key_B, Qt::Key_R, Qt::Key_Return, Qt::Key_Left, Qt::Key_Up, Qt::Key_Right,
                  Qt::Key_Down, Qt::Key_F1, Qt::Key_F5, Qt::Key_F6, Qt::Key_F9, Qt::Key_F10, Qt::Key_D, Qt::Key_L})
        EXPECT_TRUE(viewer.keyboardString().contains("<td><b>" + QKeySequence(k).toString() + "</b></td>"))
            << QKeySequence(k).toString().toStdString();
}

// Asked for more samples than the renderer offers (16; the software one has
// 4), the viewer draws the scene at twice the size, 4 samples each, and
// averages it into the window under the text (F1's key list). Against the
// same viewer's frame without samples, where the ground's far edge is a hard
// step down each column from the clear colour (0.3, 0.5, 0.9): the picture
// is in place two rows off the edge, and on it a pixel holds the ground's
// share of the samples, in sixteenths rather than the quarters of 4 samples.
TEST(Viewer, SupersampledSceneIsResolvedUnderTheText)
{
    BuiltInScene built;
    Viewer& viewer = built.viewer;
    viewer.setSamples(16);
    const QString shot = built.filePath("shot.png");
    viewer.stopAfterFrames(3, shot);
    viewer.resize(780, 580);
    QKeyEvent keyList(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(&viewer, &keyList);
    viewer.show();
    QApplication::exec();
    const QImage smooth = QImage(shot).convertToFormat(QImage::Format_RGB32);
    viewer.setSamples(0);
    const QImage plain = viewer.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(smooth.size(), plain.size());
    int columns = 0, inPlace = 0, sixteenths = 0;
    for (int x = 0; x < plain.width(); x += 5, ++columns) {
        int edge = 0;
        while (edge + 2 < plain.height() && plain.pixel(x, edge) == plain.pixel(0, 0)) ++edge;
        inPlace += smooth.pixel(x, edge - 2) == plain.pixel(0, 0)
                && std::abs(qBlue(smooth.pixel(x, edge + 2)) - qBlue(plain.pixel(x, edge + 2))) <= 4;
        const float clear = qBlue(plain.pixel(0, 0)), ground = qBlue(plain.pixel(x, edge));
        for (int y : {edge - 1, edge}) {
            const float share = (clear - qBlue(smooth.pixel(x, y))) / (clear - ground);
            sixteenths += share > 0.03f && share < 0.97f && std::abs(share * 4 - std::round(share * 4)) > 0.2f;
        }
    }
    EXPECT_GT(inPlace, columns * 9 / 10);
    EXPECT_GT(sixteenths, 20);
    // Pictures a level coarser, as the window takes them: each pixel averages
    // 2 × 2 samples of the window's level, softer than without samples (0.90
    // of the ground's change from pixel to pixel; the finer level gives 1.10).
    const auto change = [](const QImage& image, long sum = 0) {
        for (int y = 440; y < image.height(); ++y)
            for (int x = 1; x < image.width(); ++x) sum += std::abs(qGreen(image.pixel(x, y)) - qGreen(image.pixel(x - 1, y)));
        return sum;
    };
    EXPECT_LT(change(smooth), change(plain) * 19 / 20);
    // F10's 3D picture, drawn after the scene, spans 0.1 to 0.6 of the width
    // as without samples, not 0.2 to 1.2: x = 117 lies on it.
    QKeyEvent pictures(QEvent::KeyPress, Qt::Key_F10, Qt::NoModifier);
    QApplication::sendEvent(&viewer, &pictures);
    viewer.grabFramebuffer();  // the frame that takes the key
    const QRgb shown = viewer.grabFramebuffer().pixel(117, 435);
    viewer.setSamples(16);
    EXPECT_EQ(viewer.grabFramebuffer().pixel(117, 435), shown);
}

} // namespace
