// The picture readers on files written by Python and ImageMagick, and on hostile headers.
#include "ground/image.h"
#include "pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

using namespace testing::internal;

namespace {

std::vector<int> bytes(const unsigned char* p, int count) { return p ? std::vector<int>(p, p + count) : std::vector<int>(); }

// grid.ppm, top row first; its first sample is '#'.
const std::vector<int> GRID = {35, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 250, 251, 252};
// The same picture as a BMP keeps its bottom row first.
const std::vector<int> GRID_BMP = {9, 10, 11, 12, 13, 14, 250, 251, 252, 35, 1, 2, 3, 4, 5, 6, 7, 8};

} // namespace

TEST(ImageReaders, FilesFromOtherWritersLoadExactly)
{
    const struct { const char* name; std::vector<int> pixels; } cases[] = {
        {"grid.ppm", GRID},           // comment lines between the numbers
        {"padded.bmp", GRID_BMP},     // rows padded to 12 bytes
        {"padded_v5.bmp", GRID_BMP},  // long header, data offset 138
        {"zero_offset.bmp", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}},
        {"no_last_pad.bmp", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}},
    };
    for (const auto& c : cases) {
        Image image;
        CaptureStdout();
        EXPECT_EQ(std::tuple(image.loadMap(picture(c.name).c_str()), image.width, image.height), std::tuple(true, 3, 2)) << c.name;
        EXPECT_EQ(GetCapturedStdout(), "") << c.name;
        EXPECT_EQ(bytes(image.pixels, 18), c.pixels) << c.name;
    }
}

TEST(ImageReaders, BadFilesPrintTheirMessageAndDropThePictureHeld)
{
    const struct { const char* name; const char* output; } cases[] = {
        {"missing.bmp", "  error chargement BMP code 1\n"}, {"short.bmp", "  error chargement BMP code 2\n"},
        {"not_bm.bmp", "  error chargement BMP code 3\n"},
        {"rle8.bmp", "  error chargement BMP code 4\n"},  // compression is checked before depth
        {"palette.bmp", "  error chargement BMP (not 24bits)  -8bits\n"},
        {"huge.bmp", "  error chargement BMP (memory)\n"}, {"overflow.bmp", "  error chargement BMP (memory)\n"},
        {"big.bmp", "  error chargement BMP (memory)\n"},
        {"top_down.bmp", "  error chargement BMP (memory)\n"}, {"zero_width.bmp", "  error chargement BMP (memory)\n"},
        {"claims.bmp", "  error chargement BMP (read)\n"},
        {"huge.ppm", "read error\n"}, {"overflow.ppm", "read error\n"},
        {"negative.ppm", "read errorread error\n"}, {"deep.ppm", "read error\n"}, {"text.ppm", ""}, {"missing.ppm", ""},
    };
    for (const auto& c : cases) {
        Image image;
        ASSERT_TRUE(image.loadMap(picture("grid.ppm").c_str()));
        CaptureStdout();
        EXPECT_FALSE(image.loadMap(picture(c.name).c_str())) << c.name;
        EXPECT_EQ(GetCapturedStdout(), c.output) << c.name;
        EXPECT_EQ(std::tuple(image.pixels, image.width, image.height), std::tuple(nullptr, 0, 0)) << c.name;
    }
    // Extensions are case-sensitive.
    Image image;
    CaptureStderr();
    EXPECT_FALSE(image.loadMap(picture("GRID.BMP").c_str()));
    EXPECT_EQ(GetCapturedStderr(), "Image::loadMap: wrong filename " + picture("GRID.BMP") + "\n");
}

TEST(ImageReaders, ShortPpmRasterLoadsPaddedWithWhite)
{
    Image image;
    CaptureStdout();
    const bool loaded = image.loadMap(picture("truncated.ppm").c_str());
    EXPECT_EQ(GetCapturedStdout(), "read errorread errorread error\n");
    ASSERT_EQ(std::tuple(loaded, image.width, image.height), std::tuple(true, 2, 2));
    EXPECT_EQ(bytes(image.pixels, 12), std::vector<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 255, 255, 255}));

    // Cut deep, one line counts the missing bytes.
    Texture texture;
    CaptureStdout();
    const bool cut = texture.loadMap(picture("cut.ppm").c_str());
    EXPECT_EQ(GetCapturedStdout(), "read error: 100 bytes missing\n");
    ASSERT_EQ(std::tuple(cut, texture.width, texture.height), std::tuple(true, 8, 8));
    const std::vector<int> samples = bytes(texture.pixels, 192);
    EXPECT_EQ(std::vector<int>(samples.begin(), samples.begin() + 3), std::vector<int>({10, 20, 30}));
    EXPECT_EQ(std::vector<int>(samples.begin() + 89, samples.begin() + 93), std::vector<int>({30, 10, 20, 255}));
    EXPECT_EQ(std::count(samples.begin(), samples.end(), 255), 100);
}

TEST(TextureReaders, Tga32KeepsItsAlphaOthersResetItAndFailuresOnlyWarn)
{
    Texture texture;
    ASSERT_TRUE(texture.loadMap(picture("id32.tga").c_str()) && texture.hasAlpha && texture.width == 2);
    EXPECT_EQ(bytes(texture.pixels, 8), std::vector<int>({10, 20, 30, 40, 50, 60, 70, 80}));
    for (const char* name : {"grid.tga", "padded.bmp", "grid.ppm"})
        EXPECT_TRUE(texture.loadMap(picture("id32.tga").c_str()) && texture.loadMap(picture(name).c_str()) && !texture.hasAlpha)
            << name;
    EXPECT_EQ(bytes(texture.pixels, 18), GRID);
    // Failures print only the warning.
    for (const char* name : {"rle.tga", "huge.tga", "claims.tga", "palette.bmp", "claims.bmp", "GRID.TGA", "missing.tga"}) {
        CaptureStdout();
        EXPECT_FALSE(texture.loadMap(picture(name).c_str())) << name;
        EXPECT_EQ(texture.pixels, nullptr) << name;
        EXPECT_EQ(GetCapturedStdout(), "Warning:Texture: unable to load map " + picture(name) + ";\n");
    }
}
