// The program's own pictures after a fixed number of frames, compared with the
// ones its drawing made before it was made faster: speed-ups must not show.
// ImageMagick counts the pixels that differ by more than 8 %.
#include <gtest/gtest.h>
#include <cstdio>
#include <string>

namespace {

/// Pixels of `picture` that differ from `reference`; -1 when compare failed.
long differingPixels(const std::string& reference, const std::string& picture)
{
    const std::string command = "compare -metric AE -fuzz 8% '" + reference + "' '" + picture + "' null: 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    char text[256] = {};
    const bool read = std::fgets(text, sizeof text, pipe) != nullptr;
    const int status = pclose(pipe);
    // compare exits with 1 when the pictures differ at all, 2 on an error.
    long pixels = -1;
    if (!read || status == -1 || WEXITSTATUS(status) > 1 || std::sscanf(text, "%ld", &pixels) != 1) return -1;
    return pixels;
}

TEST(Picture, DefaultSceneStillAndOrbitingMatchTheirReferences)
{
    struct Case {
        const char* arguments;
        const char* reference;
    };
    const Case cases[] = {
        {"--frames 60", "default_60_frames.png"},
        {"--frames 60 --orbit", "orbit_60_frames.png"},
    };
    const long limit = 780 * 580 / 100;
    for (const Case& c : cases) {
        const std::string picture = testing::TempDir() + "velmora_picture.png";
        std::remove(picture.c_str());
        const std::string run = std::string("'") + VELMORA_PROGRAM + "' " + c.arguments + " --snapshot '" + picture
                              + "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(run.c_str()), 0) << run;
        const long pixels = differingPixels(std::string(VELMORA_SOURCE_DIR) + "/tests/app/pictures/" + c.reference, picture);
        EXPECT_GE(pixels, 0) << c.arguments;
        EXPECT_LT(pixels, limit) << c.arguments;
        std::remove(picture.c_str());
    }
}

} // namespace
