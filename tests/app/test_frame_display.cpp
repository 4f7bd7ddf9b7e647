#include "app/frame_profile.h"
#include "app/frame_stats.h"
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

TEST(FrameStats, LeavesOutTheWarmUpFrames)
{
    FrameStats stats;
    for (int i = 0; i < FrameStats::WARM_UP_FRAMES; ++i) stats.addFrame(1000, 1000000);
    EXPECT_NE(stats.summary().find("too few"), std::string::npos);
    // 20 counted frames of 1..20 ms: median 10.5, nearest-rank p95 the 19th value.
    for (int i = 20; i >= 1; --i) stats.addFrame(i, 500 + 2 * (i % 2));
    // Untimed frames (measured part by part) count as drawn only.
    stats.addFrame(900, 0, false);
    EXPECT_EQ(stats.summary(), "benchmark: frames 31, median 10.50 ms, p95 19.00 ms, mean polygons 501");
}

TEST(FrameProfile, PartsAreMeansPerMeasuredFrame)
{
    FrameProfile profile;
    EXPECT_EQ(profile.summary(100), "benchmark: no frame measured part by part");
    // Two frames: the ground sends 300 and 100 triangles, the grass 50 twice;
    // 400 fragments in all: two screens of 100 pixels per frame.
    profile.add(FramePart::Ground, 2.0, 3.0, 300, 150);
    profile.add(FramePart::GrassDrawing, 1.0, 1.5, 50, 100);
    profile.endFrame();
    profile.add(FramePart::Ground, 4.0, 5.0, 100, 50);
    profile.add(FramePart::GrassDrawing, 1.0, 0.5, 50, 100);
    profile.add(FramePart::ForestDrawing, 0.5, 0.25);
    profile.endFrame();
    EXPECT_DOUBLE_EQ(profile.triangles(), 250.0);
    EXPECT_DOUBLE_EQ(profile.screens(100), 2.0);
    const std::string text = profile.summary(100);
    EXPECT_EQ(text.rfind("benchmark: triangles 250, screens 2.00, over 2 frames measured part by part\n", 0), 0u) << text;
    EXPECT_NE(text.find("benchmark:   ground             3.00    4.00      200\n"), std::string::npos) << text;
    EXPECT_NE(text.find("benchmark:   forest drawing     0.25    0.12        0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("benchmark:   grass drawing      1.00    1.00       50\n"), std::string::npos) << text;
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
