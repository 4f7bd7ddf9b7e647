#include "app/rock.h"
#include "ground/ground.h"
#include <gtest/gtest.h>
#include <cmath>
#include <utility>

namespace {

const float alongX[3] = {1, 0, 0};  // camera looking along +x: forward (1, 0), right (0, -1)

// A flat 100 × 100 ground and a rock at rest at its centre.
class RockTest : public testing::Test {
protected:
    void SetUp() override
    {
        const float area[4] = {0, 0, 100, 100};
        createGround(area, 5.0f, 400, nullptr, nullptr, 8.0f);
        rock::resetRock();
        rock::placeRock(50, 50);
    }
    static const float* velocity() { return rock::state().rockVelocity; }
    static const float* position() { return rock::state().rockPosition; }
};

TEST_F(RockTest, ArrowKeysAddTheirDirectionAndSaturate)
{
    for (int i = 0; i < 2; ++i) {
        rock::pressKey(rock::Key::Forward);
        rock::stepRock(alongX, 0);
    }
    EXPECT_FLOAT_EQ(velocity()[0], 1);

    // (1, 0) − S = (1, 1); x exceeds |S.x| = 0 and drops to 0.
    rock::pressKey(rock::Key::Left);
    rock::stepRock(alongX, 0);
    EXPECT_EQ(std::pair(velocity()[0], velocity()[1]), std::pair(0.0f, 1.0f));

    rock::pressKey(rock::Key::Right);
    rock::stepRock(alongX, 0);
    rock::stepRock(alongX, 0);
    EXPECT_FLOAT_EQ(velocity()[1], 0) << "a key acts once";

    // Back from rest: −1, then −2, which saturates at −1 with the key's sign.
    for (int i = 0; i < 2; ++i) {
        rock::pressKey(rock::Key::Backward);
        rock::stepRock(alongX, 0);
    }
    EXPECT_FLOAT_EQ(velocity()[0], -1);
}

TEST_F(RockTest, MovesByVelocityTimesStepAndRolls)
{
    // A slow component stops in the dead zone.
    rock::setVelocity(0.04f, -1);
    rock::stepRock(alongX, 0.05f);
    EXPECT_EQ(velocity()[0], 0);
    EXPECT_FLOAT_EQ(position()[1], 49.95f);
    // The grass moves the segment's start; the rock only its end.
    EXPECT_FLOAT_EQ(rock::record().previousPosition[1], 50);
    EXPECT_FLOAT_EQ(rock::record().currentPosition[1], 49.95f);
    const float rolled = rock::state().rollAngle;
    rock::setSize(2);
    rock::stepRock(alongX, 0.05f);
    EXPECT_NEAR(rock::state().rollAngle - rolled, 0.05f * 57.3f / 2, 1e-4) << "a rock of radius 2 rolls half as much";

    // A zero radius must not leave an infinite angle behind.
    rock::setSize(0);
    rock::stepRock(alongX, 0.05f);
    EXPECT_TRUE(std::isfinite(rock::state().rollAngle));
}

TEST_F(RockTest, ReflectsAtTheEdgesAndReturnsToASmallerGround)
{
    rock::placeRock(99.99f, 0.01f);
    rock::setVelocity(1, -1);
    rock::stepRock(alongX, 0.05f);
    EXPECT_FLOAT_EQ(position()[0], 99.99f);
    EXPECT_FLOAT_EQ(position()[1], 0.01f);
    rock::stepRock(alongX, 0.05f);
    EXPECT_FLOAT_EQ(position()[0], 99.94f) << "and comes back";

    const float area[4] = {10, 20, 30, 60};
    createGround(area, 0, 4, nullptr, nullptr, 1);
    rock::stepRock(alongX, 0.05f);
    EXPECT_EQ(std::pair(position()[0], position()[1]), std::pair(20.0f, 40.0f));
    // The first two bounds test (x, 0) and (0, y): off this ground, so the
    // rock is sent back on both axes although it stays inside.
    rock::setVelocity(1, 1);
    rock::stepRock(alongX, 0.05f);
    EXPECT_EQ(std::pair(position()[0], position()[1]), std::pair(20.0f, 40.0f));
    EXPECT_EQ(std::pair(velocity()[0], velocity()[1]), std::pair(-1.0f, -1.0f));
}

TEST_F(RockTest, BouncesFromTheGroundWithUnitSpeed)
{
    rock::setBound(true);
    rock::setCrushingPowerExp(0.5f);
    rock::stepRock(alongX, 0.05f);
    // From rest on flat ground it touches at once and is launched.
    EXPECT_FLOAT_EQ(rock::state().verticalSpeed, 1);
    rock::stepRock(alongX, 0.05f);
    EXPECT_FLOAT_EQ(position()[2], 1);
    EXPECT_FLOAT_EQ(rock::record().currentPosition[2], 1.5f) << "raised by the crushing exponent";
    EXPECT_FLOAT_EQ(rock::state().verticalSpeed, 1 - 0.0375f);

    // It rises, falls back and is launched again, never ending below the ground.
    int landings = 0;
    for (int i = 0; i < 200; ++i) {
        rock::stepRock(alongX, 0.05f);
        ASSERT_GE(position()[2], 0);
        landings += position()[2] == 0;
    }
    EXPECT_GE(landings, 1);
}

TEST_F(RockTest, AutomaticCourseKeepsKeysPending)
{
    rock::setDirect(false);
    rock::pressKey(rock::Key::Backward);
    rock::stepRock(alongX, 0.05f);
    // t = 0.05: both components of the course are close to +1.
    EXPECT_NEAR(velocity()[0] + velocity()[1], 2, 1e-5);
    rock::setVelocity(-1, 1);
    rock::stepRock(alongX, 0.05f);
    EXPECT_LT(velocity()[0], 0) << "a negative component keeps its sign";
    // At t = 100.1: x = −(0.5·cos 1.001 + 0.5·cos 3.003) = −(0.2697 − 0.4952) = 0.2255, its sign from the
    // negative x velocity; y = 0.5·cos 1.5015 + 0.5·cos 2.002 = 0.0346 − 0.2090 = −0.1744.
    rock::stepRock(alongX, 100);
    EXPECT_NEAR(velocity()[0], 0.2255, 1e-4);
    EXPECT_NEAR(velocity()[1], -0.1744, 1e-4);

    rock::setDirect(true);
    rock::setVelocity(0, 0);
    rock::stepRock(alongX, 0);
    EXPECT_FLOAT_EQ(velocity()[0], -1) << "the key pressed in automatic mode acts now";
}

} // namespace
