#include "app/options.h"
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

bool parse(std::vector<const char*> args, Options& options, std::string& error)
{
    args.insert(args.begin(), "velmora");
    return parseOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(Options, ReadOrRefusedWithAReason)
{
    Options o;
    std::string error;
    ASSERT_TRUE(parse({}, o, error));
    EXPECT_FALSE(o.look);
    ASSERT_TRUE(parse({"--benchmark", "--frames", "300", "--snapshot", "out/Shot.PNG", "--scene", "a.xml", "--video",
                       "clip.MP4", "--record", "frames", "--orbit", "--look", "--samples", "4", "--jitter", "0.5,-0.25"}, o, error))
        << error;
    EXPECT_EQ(std::tuple(o.video, o.record, o.scene, o.snapshot),
              std::tuple("clip.MP4", "frames", "a.xml", "out/Shot.PNG"));
    EXPECT_EQ(std::tuple(o.frames, o.benchmark, o.orbit, o.look, o.walk, o.samples),
              std::tuple(300, true, true, true, false, 4));
    EXPECT_EQ(std::pair(o.jitter[0], o.jitter[1]), std::pair(0.5f, -0.25f));
    Options walking;
    ASSERT_TRUE(parse({"--walk"}, walking, error)) << error;
    EXPECT_TRUE(walking.walk);

    const std::vector<std::vector<const char*>> bad = {
        {"--frames"}, {"--frames", "0"}, {"--frames", "12x"}, {"--frames", "99999999999999999999"},
        {"--frames", "10", "--snapshot", "shot.jpg"}, {"--frames", "10", "--snapshot"}, {"--scene"}, {"--fast"},
        {"scene.xml"}, {"--frames", "10", "--video", "clip.avi"}, {"--frames", "10", "--record"},
        // Nothing to end the run on.
        {"--snapshot", "shot.png"}, {"--orbit"}, {"--video", "clip.mp4"}, {"--record", "frames"},
        {"--frames", "10", "--orbit", "--walk"}, {"--samples", "0"}, {"--samples", "17"}, {"--samples"},
        {"--jitter", "0.5"}, {"--jitter", "0.5,2"}, {"--jitter", "0.5,0.5x"},
    };
    for (const auto& args : bad) {
        Options fresh;
        error.clear();
        EXPECT_FALSE(parse(args, fresh, error)) << args[0];
        EXPECT_NE(error, "") << args[0];
    }
}

} // namespace
