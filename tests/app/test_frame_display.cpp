#include "app/overlay_state.h"
#include "app/sky.h"
#include <gtest/gtest.h>

namespace {

TEST(Overlay, FunctionKeysShowOneOverlayAtATime)
{
    OverlayState o;
    EXPECT_TRUE(o.togglePolygons()) << "F5 shows the frame rate";
    EXPECT_FALSE(o.togglePolygons());
    EXPECT_FALSE(o.overlayShown || o.showPolygons);

    o.togglePolygons();
    EXPECT_FALSE(o.toggleKeys()) << "F1 over F5 switches the frame rate off";
    EXPECT_TRUE(o.overlayShown && o.showKeys && !o.showPolygons);
    o.toggleCost();
    EXPECT_TRUE(o.overlayShown && o.showCost && !o.showKeys);
    o.toggleCost();
    EXPECT_FALSE(o.overlayShown);
}

} // namespace

TEST(Sky, FanOverTheGroundExtendedBy100JustBelowZero)
{
    // Centre (sizeX/2, sizeY/2, 100 + maxHeight), then the rim round and back to its start.
    const float expected[6][3] = {{40, 30, 105}, {-100, -100, -1}, {180, -100, -1}, {180, 160, -1}, {-100, 160, -1}, {-100, -100, -1}};
    const auto fan = skyFan(80, 60, 5);
    for (int k = 0; k < 6; ++k)
        EXPECT_TRUE(fan[k].x == expected[k][0] && fan[k].y == expected[k][1] && fan[k].z == expected[k][2]) << k;
    EXPECT_TRUE(fan[0].b == 0.9f && fan[1].r == 0.8f);
}
