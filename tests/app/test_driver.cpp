#include "app/driver.h"
#include "app/frame_cost.h"
#include "app/rock.h"
#include "app/scene_state.h"
#include "forest/forest.h"
#include "grass/grass_field.h"
#include "ground/ground.h"
#include "wind/director.h"
#include "wind/horloge.h"
#include "wind/wind.h"
#include <gtest/gtest.h>

namespace {

const float alongX[3] = {1, 0, 0};

class DriverTest : public testing::Test {
protected:
    void SetUp() override
    {
        scene::resetSceneState();
        rock::resetRock();
        const float area[4] = {0, 0, 100, 100};
        createGround(area, 5.0f, 400, nullptr, nullptr, 8.0f);
        rock::placeRock(50, 50);
    }
    MyVelmoraQTDriver driver;
};

TEST_F(DriverTest, AdvancesByTheFixedStepOnlyWhileAnimating)
{
    // An arrow key pressed while the animation is off waits for it.
    rock::pressKey(rock::Key::Forward);
    driver.stepScene(alongX);
    EXPECT_FLOAT_EQ(rock::state().rockPosition[0], 50) << "animation off: nothing moves";

    windSetGustSpeed(1);
    driver.setAnim(true);
    for (int i = 0; i < 4; ++i) driver.stepScene(alongX);
    EXPECT_FLOAT_EQ(rock::state().rockPosition[0], 50.2f);

    // The step is animation_dt scaled by the rock's speed.
    driver.setAnimDT(100);
    driver.setRockSpeed(50);
    const double before = date::horloge;
    driver.stepScene(alongX);
    EXPECT_FLOAT_EQ(rock::state().rockPosition[0], 50.25f);
    EXPECT_NEAR(date::horloge - before, 0.1, 1e-6) << "the wind takes the animation step, not the rock's";
    EXPECT_EQ(driver.scenePolygonCount(), 500) << "grass and trees hidden";
}

TEST_F(DriverTest, FreezingTheGrassViewAllowsExactlyOneMoreUpdate)
{
    EXPECT_TRUE(scene::takeGrassViewUpdate());
    driver.setUpdateGrassDrawing(false);
    EXPECT_TRUE(scene::takeGrassViewUpdate());
    EXPECT_FALSE(scene::takeGrassViewUpdate());
    driver.setUpdateGrassDrawing(true);
    EXPECT_TRUE(scene::takeGrassViewUpdate());
}

TEST(FrameCost, ShareOfTheFramePeriod)
{
    const util::FrameStamp previous{100, 500000}, frame{101, 0}, grass{101, 125000};
    EXPECT_EQ(formatCostText(true, previous, frame, grass), "COST: UpdateGrass:0.25 ; DrawGrassesAndTrees:0.75");
    EXPECT_EQ(formatCostText(false, previous, frame, grass), "COST: UpdateGrass:0.00 ; DrawGrassesAndTrees:1.00");
    // Two frames within one clock tick: no period to divide by.
    EXPECT_EQ(formatCostText(true, frame, frame, grass), "COST: UpdateGrass:0.00 ; DrawGrassesAndTrees:1.00");
}

// A value set through a slot comes back unchanged through loadQTInterface,
// or the dialogs, connected both ways, would drift it.
TEST_F(DriverTest, DialogValuesComeBackUnchanged)
{
    using D = MyVelmoraQTDriver;
    using Int = void (D::*)(int);
    const std::pair<Int, Int> slotAndSignal[] = {
        {&D::setBreezeSpeed, &D::setQTBreezeSpeed}, {&D::setBreezePower, &D::setQTBreezePower},
        {&D::setGustSpeed, &D::setQTGustSpeed}, {&D::setBlastParam, &D::setQTBlastParam},
        {&D::setGrassWidth, &D::setQTGrassWidth}, {&D::setGrassHeight, &D::setQTGrassHeight},
        {&D::setGrassNoisePositions, &D::setQTGrassNoisePositions},
        {&D::setGrassNoiseNormals, &D::setQTGrassNoiseNormals},
        {&D::setGrassCrushingDamping, &D::setQTGrassCrushingDamping}, {&D::setAnimDT, &D::setQTAnimDT},
        {&D::setRockSpeed, &D::setQTRockSpeed}, {&D::setRockSize, &D::setQTRockSize},
        {&D::setRockCrushingPower, &D::setQTRockCrushingPower},
        {&D::setRockCrushingPowerExp, &D::setQTRockCrushingPowerExp},
        {&D::setRockCrushingMysteryParameter, &D::setQTRockCrushingMysteryParameter},
        {&D::setRockCrushingPropagation, &D::setQTRockCrushingPropagation},
        {&D::setGroundHeight, &D::setQTGroundHeight},
    };
    std::vector<int> sent(std::size(slotAndSignal), -1);
    for (size_t k = 0; k < sent.size(); ++k)
        QObject::connect(&driver, slotAndSignal[k].second, [&sent, k](int v) { sent[k] = v; });
    for (int v = 0; v <= 1000; ++v) {
        for (const auto& pair : slotAndSignal) (driver.*pair.first)(v);
        driver.loadQTInterface();
        for (size_t k = 0; k < sent.size(); ++k) ASSERT_EQ(sent[k], v) << "pair " << k;
    }
}

TEST_F(DriverTest, GrassTextureSizeIndexComesBackAndOutOfRangeOnesAreIgnored)
{
    int shown = -1;
    driver.showGrassTextureSize = [&](int index) { shown = index; };
    for (int index = 0; index <= 9; ++index) {
        driver.setGrassSizeTexture2D5(index);
        driver.setGrassSizeTexture2D5(-1);
        driver.loadQTInterface();
        EXPECT_EQ(shown, std::min(index, 8)) << index;
    }
}

TEST_F(DriverTest, TreeCountKeepsTheFirstTrees)
{
    initForest();
    driver.setTreesNumber(5);
    const std::vector<TreeRecord> before = getTrees();
    driver.setTreesNumber(3);
    driver.setTreesNumber(7);
    const std::vector<TreeRecord> after = getTrees();
    ASSERT_EQ(after.size(), 7u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(after[k].seed, before[k].seed) << k;
        EXPECT_EQ(after[k].position2d[0], before[k].position2d[0]) << k;
    }
    for (int k = 3; k < 7; ++k) EXPECT_TRUE(isOnGround(after[k].position2d[0], after[k].position2d[1])) << k;

    driver.resetTreesPositions();
    EXPECT_NE(getTrees()[0].position2d[0], after[0].position2d[0]);

    int sent = -1;
    QObject::connect(&driver, &VelmoraQTDriver::setQTTreesNumber, [&](int v) { sent = v; });
    driver.setTreesNumber(-4);
    driver.loadQTInterface();
    EXPECT_EQ(sent, 0);
}

TEST_F(DriverTest, GroundChangesRebuildWindGrassAndTreeHeightsAndLeaveTheRock)
{
    const float area[4] = {0, 0, 100, 100};
    createGround(area, 5.0f, 400, "GroundData/heightMap1.bmp", nullptr, 8.0f);
    initForest();
    driver.setTreesNumber(4);
    driver.setGroundHeight(40); // 1 m instead of 5: the trees stand lower
    for (int k = 0; k < 4; ++k) {
        const Vec3 foot = forestTreePosition(k);
        EXPECT_FLOAT_EQ(foot.z, groundHeight(foot.x, foot.y)) << k;
    }
    driver.setGroundSize(240);
    EXPECT_FLOAT_EQ(rock::state().rockPosition[0], 50);
    float grassArea[4];
    scene::grassField().getArea(grassArea);
    EXPECT_FLOAT_EQ(grassArea[2], 60) << "the grass follows the ground";
    EXPECT_FLOAT_EQ(windArea().x_max, 60) << "and the wind";
}

} // namespace
