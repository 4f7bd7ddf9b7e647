#include "app/rock.h"
#include "forest/forest.h"
#include "grass/grass_field.h"
#include "util/random.h"
#include "wind/director.h"
#include "wind/wind.h"
#include "tests/app/built_in_scene.h"
#include <QApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

namespace {

// Three frames of the built-in scene, then its keys.
TEST(Viewer, BuiltInSceneStartsAsSetUpAndAnswersItsKeys)
{
    BuiltInScene built;
    Viewer& viewer = built.viewer;
    rock::setDirect(false); // start-up forces direct mode, whatever came before
    viewer.stopAfterFrames(3, QString());
    viewer.resize(780, 580);
    viewer.show();
    QApplication::exec();

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
    const auto key = [&](int k) {
        QKeyEvent event(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(&viewer, &event);
    };
    // What key `k` launches after seed 17, which is set again for the test's own draws.
    const auto launch = [&](int k) -> const figure2d* {
        const float area[4] = {0, 0, 100, 100};
        windInit(area, 5);
        util::randomSeed(17);
        key(k);
        util::randomSeed(17);
        const god_of_gusts& d = windDirector();
        const auto& list = d.not_born().empty() ? d.alive() : d.not_born();
        return list.empty() ? nullptr : list.front()->shape.get();
    };
    const auto* gust = dynamic_cast<const rectangle*>(launch(Qt::Key_W));
    ASSERT_NE(gust, nullptr);
    const float r1 = util::randomUnit(), r2 = util::randomUnit();
    EXPECT_FLOAT_EQ(gust->half_width(), (0.5f + 0.5f * r1) * 100);
    EXPECT_FLOAT_EQ(gust->half_length(), (0.5f + 0.5f * r2) * 100);
    const auto* blast = dynamic_cast<const circle*>(launch(Qt::Key_B));
    ASSERT_NE(blast, nullptr);
    EXPECT_FLOAT_EQ(blast->radius(), (0.5f + 0.5f * util::randomUnit()) * 25);

    // Arrow keys wait for the next animated frame; F9 shows the 2.5D texture, F10 the 2D one.
    const float alongX[3] = {1, 0, 0};
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
    // L switches the look both ways and is listed in the help's Keyboard tab.
    key(Qt::Key_L);
    EXPECT_TRUE(scene::look);
    key(Qt::Key_L);
    EXPECT_FALSE(scene::look);
    EXPECT_TRUE(viewer.keyboardString().contains("enhanced look"));

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
}

} // namespace
