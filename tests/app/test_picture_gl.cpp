// The program's own pictures after a fixed number of frames, compared with the
// ones its drawing made before it was made faster: speed-ups must not show.
// ImageMagick counts the pixels that differ by more than 8 %.
#include <gtest/gtest.h>
#include <cstdio>
#include <string>

namespace {

TEST(Picture, DefaultSceneStillAndOrbitingAndTheDenseMeadowMatchTheirReferences)
{
    const std::string picture = testing::TempDir() + "velmora_picture.png";
    for (const auto& [arguments, reference] :
         {std::pair("--frames 60", "default_60_frames.png"), std::pair("--frames 60 --orbit", "orbit_60_frames.png"),
          std::pair("--frames 60 --scene Scene/denseMeadow.xml", "dense_60_frames.png")}) {
        std::remove(picture.c_str());
        const std::string run = std::string("'") + VELMORA_PROGRAM + "' " + arguments + " --snapshot '" + picture
                              + "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(run.c_str()), 0) << run;
        const std::string compare = std::string("compare -metric AE -fuzz 8% '") + VELMORA_SOURCE_DIR
                                  + "/tests/app/pictures/" + reference + "' '" + picture + "' null: 2>&1";
        FILE* pipe = popen(compare.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        long pixels = -1;
        const int read = std::fscanf(pipe, "%ld", &pixels);
        // compare exits with 1 when the pictures differ at all, 2 on an error.
        const int status = pclose(pipe);
        ASSERT_TRUE(read == 1 && status != -1 && WEXITSTATUS(status) <= 1) << arguments;
        EXPECT_LT(pixels, 780 * 580 / 100) << arguments;
    }
    std::remove(picture.c_str());
}

} // namespace
