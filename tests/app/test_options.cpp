#include "app/options.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

bool parse(std::vector<const char*> args, Options& options, std::string& error)
{
    args.insert(args.begin(), "velmora");
    return parseOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(Options, HeadlessRun)
{
    Options o;
    std::string error;
    ASSERT_TRUE(parse({}, o, error));
    ASSERT_TRUE(parse({"--benchmark", "--frames", "300", "--snapshot", "out/Shot.PNG", "--scene", "a.xml", "--video",
                       "clip.MP4", "--record", "frames", "--orbit"}, o, error))
        << error;
    EXPECT_EQ(o.video, "clip.MP4");
    EXPECT_EQ(o.record, "frames");
    EXPECT_EQ(o.scene, "a.xml");
    EXPECT_EQ(o.frames, 300);
    EXPECT_EQ(o.snapshot, "out/Shot.PNG");
    EXPECT_TRUE(o.benchmark);
    EXPECT_TRUE(o.orbit);
}

TEST(Options, BadArgumentsAreRefusedWithAReason)
{
    const std::vector<std::vector<const char*>> bad = {
        {"--frames"}, {"--frames", "0"}, {"--frames", "12x"}, {"--frames", "99999999999999999999"},
        {"--frames", "10", "--snapshot", "shot.jpg"}, {"--frames", "10", "--snapshot"},
        {"--snapshot", "shot.png"}, {"--orbit"},  // no frame count to end on
        {"--scene"}, {"--fast"}, {"scene.xml"},
        {"--frames", "10", "--video", "clip.avi"}, {"--video", "clip.mp4"}, {"--record", "frames"},  // nothing to end on
        {"--frames", "10", "--record"},
    };
    for (const auto& args : bad) {
        Options o;
        std::string error;
        EXPECT_FALSE(parse(args, o, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
