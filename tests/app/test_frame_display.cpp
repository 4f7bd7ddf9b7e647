#include "app/frame_stats.h"
#include "app/overlay_state.h"
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

TEST(FrameStats, LeavesOutTheWarmUpFrames)
{
    FrameStats stats;
    for (int i = 0; i < FrameStats::WARM_UP_FRAMES; ++i) stats.addFrame(1000, 1000000);
    EXPECT_NE(stats.summary().find("too few"), std::string::npos);
    // 20 counted frames of 1..20 ms: median 10.5, nearest-rank p95 the 19th value.
    for (int i = 20; i >= 1; --i) stats.addFrame(i, 500 + 2 * (i % 2));
    EXPECT_EQ(stats.summary(), "benchmark: frames 30, median 10.50 ms, p95 19.00 ms, mean polygons 501");
}

} // namespace
