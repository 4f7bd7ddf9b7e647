#include "app/driver.h"
#include "app/rock.h"
#include "app/scene_state.h"
#include "app/viewer.h"
#include "forest/forest.h"
#include "grass/grass_field.h"
#include "util/random.h"
#include "wind/director.h"
#include "wind/wind.h"
#include "tests/app/picture_folder.h"
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cmath>

namespace {

const float alongX[3] = {1, 0, 0};

// Three frames of the built-in scene: the run folder's pictures, but not its
// scene files, so that the scene is the one initScene builds.
TEST(Viewer, DrawsTheSkyOverTheLitTexturedGround)
{
    BuiltInScene built;
    Viewer& viewer = built.viewer;
    const PictureFolder& folder = built.folder;
    scene::draw_sky = true;
    rock::setDirect(false); // start-up forces direct mode, whatever came before
    viewer.stopAfterFrames(3, folder.filePath("frame.png"));
    viewer.resize(780, 580);
    viewer.show();
    QApplication::exec();
    const QImage picture(folder.filePath("frame.png"));
    ASSERT_EQ(picture.size(), QSize(780, 580));

    // The built-in scene: rock at the centre with Down pending, wind over the
    // ground, ten trees, the grass's density.
    const rock::RockState& r = rock::state();
    EXPECT_TRUE(r.direct && r.keyBackward && r.rockPosition[0] == 50 && r.rockPosition[1] == 50);
    EXPECT_TRUE(windArea().x_max == 100 && windArea().y_max == 100);
    EXPECT_EQ(forestTreeCount(), 10);
    EXPECT_EQ(scene::grassField().getBladesPerSquareMetre(), 10);

    // W and B launch a gust of half-length b and half-width a, a = (0.5 + 0.5·r1)·s
    // and b = (0.5 + 0.5·r2)·s with s = (sizeX + sizeY)/2, and a blast of
    // radius (0.5 + 0.5·r)·s/4.
    auto key = [&](int k) {
        QKeyEvent event(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(&viewer, &event);
    };
    auto launched = [] {
        const god_of_gusts& d = windDirector();
        for (auto* list : {&d.not_born(), &d.alive()})
            if (!list->empty()) return list->front().get();
        return static_cast<wind_primitive*>(nullptr);
    };
    const float area[4] = {0, 0, 100, 100};
    for (int k : {Qt::Key_W, Qt::Key_B}) {
        windInit(area, 5);
        util::randomSeed(17);
        key(k);
        util::randomSeed(17);
        const float r1 = util::randomUnit(), r2 = util::randomUnit();
        ASSERT_NE(launched(), nullptr) << k;
        const auto* gust = dynamic_cast<const rectangle*>(launched()->shape.get());
        const auto* blast = dynamic_cast<const circle*>(launched()->shape.get());
        if (k == Qt::Key_W) {
            ASSERT_NE(gust, nullptr);
            EXPECT_FLOAT_EQ(gust->half_width(), (0.5f + 0.5f * r1) * 100);
            EXPECT_FLOAT_EQ(gust->half_length(), (0.5f + 0.5f * r2) * 100);
        } else {
            ASSERT_NE(blast, nullptr);
            EXPECT_FLOAT_EQ(blast->radius(), (0.5f + 0.5f * r1) * 25);
        }
    }
    // Arrow keys wait for the next animated frame; F9 shows the 2.5D texture, F10 the 2D one.
    rock::stepRock(alongX, 0); // consumes the pending keys
    key(Qt::Key_Up);
    EXPECT_TRUE(r.keyForward && !r.keyBackward);
    key(Qt::Key_F9);
    viewer.grabFramebuffer();
    EXPECT_TRUE(scene::showGrassTexture2D5 && !scene::showGrassTexture2D);
    key(Qt::Key_F9);
    key(Qt::Key_F10);
    viewer.grabFramebuffer();
    EXPECT_TRUE(!scene::showGrassTexture2D5 && scene::showGrassTexture2D);
    key(Qt::Key_F10);

    // Stopped, the grass is not crushed: the segment's start stays behind.
    scene::draw_grass = true;
    float ahead[3] = {60, 50, 0};
    moveRockRecord(rock::record(), ahead, true);
    viewer.grabFramebuffer();
    EXPECT_FLOAT_EQ(rock::record().previousPosition[0], 50);
    scene::animation = true;
    viewer.grabFramebuffer();
    EXPECT_FLOAT_EQ(rock::record().previousPosition[0], rock::record().currentPosition[0]);
    scene::animation = scene::draw_grass = false;

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
