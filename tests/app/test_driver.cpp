#include "app/driver.h"
#include "app/frame_cost.h"
#include "app/rock.h"
#include "app/scene_state.h"
#include "app/sky.h"
#include "forest/forest.h"
#include "grass/grass_field.h"
#include "ground/ground.h"
#include "wind/horloge.h"
#include "wind/wind.h"
#include <QMetaMethod>
#include <gtest/gtest.h>
#include <functional>
#include <map>

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
    rock::setVelocity(1, 0);
    driver.stepScene(alongX);
    EXPECT_FLOAT_EQ(rock::state().rockPosition[0], 50) << "animation off: nothing moves";

    windSetGustSpeed(1);
    const double date = date::horloge;
    driver.setAnim(true);
    for (int i = 0; i < 4; ++i) driver.stepScene(alongX);
    EXPECT_FLOAT_EQ(rock::state().rockPosition[0], 50.2f);
    EXPECT_NEAR(date::horloge - date, 0.2, 1e-6) << "the wind advances by the same step";

    // The step is animation_dt scaled by the rock's speed.
    driver.setAnimDT(100);
    driver.setRockSpeed(50);
    driver.stepScene(alongX);
    EXPECT_FLOAT_EQ(rock::state().rockPosition[0], 50.25f);
}

TEST_F(DriverTest, FreezingTheGrassViewAllowsExactlyOneMoreUpdate)
{
    EXPECT_TRUE(scene::takeGrassViewUpdate());
    EXPECT_TRUE(scene::takeGrassViewUpdate());

    driver.setUpdateGrassDrawing(false);
    EXPECT_TRUE(scene::takeGrassViewUpdate());
    EXPECT_FALSE(scene::takeGrassViewUpdate());
    EXPECT_FALSE(scene::takeGrassViewUpdate());

    driver.setUpdateGrassDrawing(true);
    EXPECT_TRUE(scene::takeGrassViewUpdate());
    EXPECT_TRUE(scene::takeGrassViewUpdate());
}

TEST_F(DriverTest, CostAndPolygonsWithEverythingHidden)
{
    EXPECT_EQ(driver.costText(), "COST: UpdateGrass:0.00 ; DrawGrassesAndTrees:1.00");
    EXPECT_EQ(driver.scenePolygonCount(), 500);
}

TEST(FrameCost, ShareOfTheFramePeriod)
{
    const util::FrameStamp previous{100, 500000}, frame{101, 0}, grass{101, 125000};
    EXPECT_EQ(formatCostText(true, previous, frame, grass), "COST: UpdateGrass:0.25 ; DrawGrassesAndTrees:0.75");
    EXPECT_EQ(formatCostText(false, previous, frame, grass), "COST: UpdateGrass:0.00 ; DrawGrassesAndTrees:1.00");
    // Two frames within one clock tick: no period to divide by.
    EXPECT_EQ(formatCostText(true, frame, frame, grass), "COST: UpdateGrass:0.00 ; DrawGrassesAndTrees:1.00");
}

TEST(Sky, FanFromAboveTheCentreToARimBelowTheGround)
{
    const auto fan = skyFan(40, 60, 5);
    EXPECT_FLOAT_EQ(fan[0].x, 20);
    EXPECT_FLOAT_EQ(fan[0].y, 30);
    EXPECT_FLOAT_EQ(fan[0].z, 105);
    EXPECT_FLOAT_EQ(fan[0].b, 0.9f);
    const float rim[5][2] = {{-100, -100}, {140, -100}, {140, 160}, {-100, 160}, {-100, -100}};
    for (int k = 0; k < 5; ++k) {
        EXPECT_FLOAT_EQ(fan[k + 1].x, rim[k][0]) << k;
        EXPECT_FLOAT_EQ(fan[k + 1].y, rim[k][1]) << k;
        EXPECT_FLOAT_EQ(fan[k + 1].z, -1) << k;
        EXPECT_FLOAT_EQ(fan[k + 1].r, 0.8f) << k;
    }
}

// The dialogs connect each control to setX and setQTX back to it: every
// signal needs its slot, with the same argument.
TEST_F(DriverTest, EverySignalHasItsSlot)
{
    const QMetaObject* meta = driver.metaObject();
    int signalCount = 0;
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod m = meta->method(i);
        const QByteArray name = m.methodSignature();
        if (m.methodType() != QMetaMethod::Signal || !name.startsWith("setQT")) continue;
        ++signalCount;
        const QByteArray slot = "set" + name.mid(5);
        const int index = meta->indexOfSlot(slot);
        EXPECT_GE(index, 0) << "no slot " << slot.constData();
    }
    EXPECT_EQ(signalCount, 47);
}

// A value set through a slot comes back unchanged through loadQTInterface,
// or the dialogs, connected both ways, would drift it.
TEST_F(DriverTest, DialogValuesComeBackUnchanged)
{
    std::map<std::string, int> sent;
    auto record = [&sent](const char* name) { return [&sent, name](int v) { sent[name] = v; }; };
    QObject::connect(&driver, &MyVelmoraQTDriver::setQTAnimDT, record("animDT"));
    QObject::connect(&driver, &MyVelmoraQTDriver::setQTRockSpeed, record("rockSpeed"));
    QObject::connect(&driver, &MyVelmoraQTDriver::setQTRockSize, record("rockSize"));
    QObject::connect(&driver, &MyVelmoraQTDriver::setQTRockCrushingPower, record("power"));
    QObject::connect(&driver, &MyVelmoraQTDriver::setQTRockCrushingPowerExp, record("powerExp"));
    QObject::connect(&driver, &MyVelmoraQTDriver::setQTRockCrushingMysteryParameter, record("mystery"));
    QObject::connect(&driver, &MyVelmoraQTDriver::setQTRockCrushingPropagation, record("propagation"));
    QObject::connect(&driver, &VelmoraQTDriver::setQTBreezeSpeed, record("breezeSpeed"));
    QObject::connect(&driver, &VelmoraQTDriver::setQTBreezePower, record("breezePower"));
    QObject::connect(&driver, &VelmoraQTDriver::setQTGustSpeed, record("gustSpeed"));
    QObject::connect(&driver, &VelmoraQTDriver::setQTBlastParam, record("blastParam"));
    QObject::connect(&driver, &VelmoraQTDriver::setQTGrassWidth, record("grassWidth"));
    QObject::connect(&driver, &VelmoraQTDriver::setQTGrassHeight, record("grassHeight"));
    QObject::connect(&driver, &VelmoraQTDriver::setQTGrassNoisePositions, record("noisePositions"));
    QObject::connect(&driver, &VelmoraQTDriver::setQTGrassNoiseNormals, record("noiseNormals"));
    QObject::connect(&driver, &VelmoraQTDriver::setQTGrassCrushingDamping, record("damping"));
    const std::map<std::string, void (MyVelmoraQTDriver::*)(int)> setters = {
        {"breezeSpeed", &MyVelmoraQTDriver::setBreezeSpeed},
        {"breezePower", &MyVelmoraQTDriver::setBreezePower},
        {"gustSpeed", &MyVelmoraQTDriver::setGustSpeed},
        {"blastParam", &MyVelmoraQTDriver::setBlastParam},
        {"grassWidth", &MyVelmoraQTDriver::setGrassWidth},
        {"grassHeight", &MyVelmoraQTDriver::setGrassHeight},
        {"noisePositions", &MyVelmoraQTDriver::setGrassNoisePositions},
        {"noiseNormals", &MyVelmoraQTDriver::setGrassNoiseNormals},
        {"damping", &MyVelmoraQTDriver::setGrassCrushingDamping},
        {"animDT", &MyVelmoraQTDriver::setAnimDT},
        {"rockSpeed", &MyVelmoraQTDriver::setRockSpeed},
        {"rockSize", &MyVelmoraQTDriver::setRockSize},
        {"power", &MyVelmoraQTDriver::setRockCrushingPower},
        {"powerExp", &MyVelmoraQTDriver::setRockCrushingPowerExp},
        {"mystery", &MyVelmoraQTDriver::setRockCrushingMysteryParameter},
        {"propagation", &MyVelmoraQTDriver::setRockCrushingPropagation},
    };
    for (int v = 0; v <= 1000; ++v) {
        for (const auto& [name, slot] : setters) (driver.*slot)(v);
        driver.loadQTInterface();
        for (const auto& [name, slot] : setters) ASSERT_EQ(sent[name], v) << name;
    }
}

TEST_F(DriverTest, GrassTextureSizeIndex)
{
    int shown = -1;
    driver.showGrassTextureSize = [&](int index) { shown = index; };
    for (int index = 0; index <= 8; ++index) {
        driver.setGrassSizeTexture2D5(index);
        driver.loadQTInterface();
        EXPECT_EQ(shown, index);
    }
    driver.setGrassSizeTexture2D5(4);
    driver.setGrassSizeTexture2D5(9);
    driver.setGrassSizeTexture2D5(-1);
    EXPECT_EQ(scene::grassField().getSizeX2D5(), 512);
    EXPECT_EQ(scene::grassField().getSizeY2D5(), 64);
}

TEST_F(DriverTest, PolygonsOfTheShownGrass)
{
    scene::grassField().polygonCount = 1234;
    EXPECT_EQ(driver.scenePolygonCount(), 500);
    driver.setGrassDraw(true);
    EXPECT_EQ(driver.scenePolygonCount(), 1734);
}

TEST_F(DriverTest, TreeCountKeepsTheFirstTrees)
{
    initForest();
    std::vector<TreeRecord> start(5);
    for (int k = 0; k < 5; ++k) start[k].position2d[0] = start[k].position2d[1] = 10.0f * (k + 1);
    setTrees(5, start.data());
    randomizeTrees();
    const std::vector<TreeRecord> before = getTrees();

    driver.setTreesNumber(3);
    ASSERT_EQ(forestTreeCount(), 3);
    driver.setTreesNumber(7);
    ASSERT_EQ(forestTreeCount(), 7);
    const std::vector<TreeRecord> after = getTrees();
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(after[k].seed, before[k].seed) << k;
        EXPECT_FLOAT_EQ(after[k].position2d[0], before[k].position2d[0]) << k;
        EXPECT_FLOAT_EQ(after[k].relativeLength, before[k].relativeLength) << k;
    }
    for (int k = 3; k < 7; ++k) {
        EXPECT_TRUE(isOnGround(after[k].position2d[0], after[k].position2d[1])) << k;
        EXPECT_NE(after[k].position2d[0], before[k < 5 ? k : 0].position2d[0]) << "placed anew";
    }

    int sent = -1;
    QObject::connect(&driver, &VelmoraQTDriver::setQTTreesNumber, [&](int v) { sent = v; });
    driver.setTreesNumber(-4);
    EXPECT_EQ(forestTreeCount(), 0);
    driver.loadQTInterface();
    EXPECT_EQ(sent, 0);
}

TEST_F(DriverTest, GroundSlotsRebuildTheGroundAndLeaveTheRock)
{
    int height = -1, size = -1;
    QObject::connect(&driver, &VelmoraQTDriver::setQTGroundHeight, [&](int v) { height = v; });
    QObject::connect(&driver, &VelmoraQTDriver::setQTGroundSize, [&](int v) { size = v; });
    for (int v : {1, 7, 199, 200, 201, 333, 400}) {
        driver.setGroundHeight(v);
        driver.loadQTInterface();
        EXPECT_EQ(height, v);
    }
    driver.setGroundSize(240);
    EXPECT_FLOAT_EQ(groundX1(), 60);
    EXPECT_FLOAT_EQ(groundY1(), 60);
    EXPECT_EQ(groundQuadsNumber(), 400);
    driver.loadQTInterface();
    EXPECT_EQ(size, 240);
    EXPECT_FLOAT_EQ(rock::state().rockPosition[0], 50);
    float grassArea[4];
    scene::grassField().getArea(grassArea);
    EXPECT_FLOAT_EQ(grassArea[2], 60) << "the grass follows the ground";
}

} // namespace
