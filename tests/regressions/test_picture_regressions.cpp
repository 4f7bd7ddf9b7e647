// Pictures that once broke the readers. Run them in the sanitizer build too:
// some faults (signed overflow) only show there.
#include "ground/image.h"
#include "regression_input.h"

#include <gtest/gtest.h>

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

// A header number whose first byte is not a digit starts negative; a long run
// of digits after it used to overflow instead of being capped.
TEST(PictureRegressions, NegativeHeaderNumberWithLongDigitRunLoadsNothing)
{
    const std::string name = regressionInput("ppm_negative_digit_run.ppm");
    CaptureStdout();
    Image image;
    EXPECT_FALSE(image.loadMap(name.c_str()));
    Texture texture;
    EXPECT_FALSE(texture.loadMap(name.c_str()));
    const std::string printed = GetCapturedStdout();
    EXPECT_NE(printed.find("read error"), std::string::npos);
    EXPECT_NE(printed.find("Warning:Texture: unable to load map"), std::string::npos);
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(texture.width, 0);
}

} // namespace
