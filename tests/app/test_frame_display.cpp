#include "app/overlay_state.h"
#include "app/sky.h"
#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(Overlay, FunctionKeysShowOneOverlayAtATime)
{
    OverlayState o;
    EXPECT_TRUE(o.togglePolygons()) << "F5 shows the frame rate";
    EXPECT_FALSE(o.togglePolygons());
    EXPECT_EQ(std::tuple(o.overlayShown, o.showPolygons), std::tuple(false, false));

    o.togglePolygons();
    EXPECT_FALSE(o.toggleKeys()) << "F1 over F5 switches the frame rate off";
    EXPECT_EQ(std::tuple(o.overlayShown, o.showKeys, o.showPolygons), std::tuple(true, true, false));
    o.toggleCost();
    EXPECT_EQ(std::tuple(o.overlayShown, o.showCost, o.showKeys), std::tuple(true, true, false));
    o.toggleCost();
    EXPECT_FALSE(o.overlayShown);
}

} // namespace

TEST(Sky, FanFromHighAboveTheCentreToARimRoundTheGroundJustBelowIt)
{
    // An 80 x 60 ground of height 5: the top 100 above its highest point,
    // the rim 100 m out from every edge, 1 below zero, closed on its start.
    const auto fan = skyFan(80, 60, 5);
    EXPECT_EQ(std::tuple(fan[0].x, fan[0].y, fan[0].z), std::tuple(40.0f, 30.0f, 105.0f));
    EXPECT_GT(fan[0].b, fan[0].r) << "blue above";
    for (int k = 1; k < 6; ++k) {
        EXPECT_TRUE(fan[k].x == -100 || fan[k].x == 180) << k << " x " << fan[k].x;
        EXPECT_TRUE(fan[k].y == -100 || fan[k].y == 160) << k << " y " << fan[k].y;
        EXPECT_EQ(fan[k].z, -1) << k;
        EXPECT_EQ(fan[k].g, SKY_HORIZON[1]) << k;
    }
    EXPECT_EQ(std::pair(fan[5].x, fan[5].y), std::pair(fan[1].x, fan[1].y));
}
