// The picture readers on files written by other tools, and on hostile headers.
#include "ground/image.h"
#include "pictures.h"

#include <gtest/gtest.h>

#include <vector>

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

namespace {

std::vector<int> bytesOf(const unsigned char* p, int count) { return std::vector<int>(p, p + count); }

// The 3x2 raster of grid.ppm, top row first.
const std::vector<int> GRID = {35, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 250, 251, 252};

/// Output of loading `name` into a fresh Image, with the image kept in `image`.
std::string loadImage(Image& image, const std::string& name)
{
    CaptureStdout();
    image.loadMap(picture(name).c_str());
    return GetCapturedStdout();
}

} // namespace

TEST(ImageReaders, PpmWithCommentsAndHashSampleLoadsExactly)
{
    Image image;
    EXPECT_EQ(loadImage(image, "grid.ppm"), "");
    ASSERT_NE(image.pixels, nullptr);
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    // The first sample is '#': it is a colour, not the start of a comment.
    EXPECT_EQ(bytesOf(image.pixels, 18), GRID);
}

TEST(ImageReaders, PaddedBmpsFromImageMagickMatchThePpmUpsideDown)
{
    // Width 3 needs row padding; the second file has a large header and data offset.
    for (const char* name : {"padded.bmp", "padded_v5.bmp"}) {
        SCOPED_TRACE(name);
        Image image;
        EXPECT_EQ(loadImage(image, name), "");
        ASSERT_NE(image.pixels, nullptr);
        ASSERT_EQ(image.width, 3);
        ASSERT_EQ(image.height, 2);
        // A BMP keeps the bottom row first.
        std::vector<int> expected(GRID.begin() + 9, GRID.end());
        expected.insert(expected.end(), GRID.begin(), GRID.begin() + 9);
        EXPECT_EQ(bytesOf(image.pixels, 18), expected);
    }
}

TEST(ImageReaders, BmpWithZeroDataOffsetReadsFromByte54)
{
    Image image;
    EXPECT_EQ(loadImage(image, "zero_offset.bmp"), "");
    ASSERT_NE(image.pixels, nullptr);
    EXPECT_EQ(bytesOf(image.pixels, 18), std::vector<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
}

TEST(ImageReaders, BmpFailuresPrintTheirMessageAndLoadNothing)
{
    const struct {
        const char* name;
        const char* output;
    } cases[] = {
        {"missing.bmp", "  error chargement BMP code 1\n"},
        {"short.bmp", "  error chargement BMP code 2\n"},
        {"not_bm.bmp", "  error chargement BMP code 3\n"},
        // Compression is checked before depth: both compressed files give code 4.
        {"rle24.bmp", "  error chargement BMP code 4\n"},
        {"rle8.bmp", "  error chargement BMP code 4\n"},
        {"palette.bmp", "  error chargement BMP (not 24bits)  -8bits\n"},
        {"huge.bmp", "  error chargement BMP (memory)\n"},
        {"overflow.bmp", "  error chargement BMP (memory)\n"},
        {"top_down.bmp", "  error chargement BMP (memory)\n"},
        {"zero_width.bmp", "  error chargement BMP (memory)\n"},
        {"claims.bmp", "  error chargement BMP (read)\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Image image;
        ASSERT_TRUE(image.loadMap(picture("grid.ppm").c_str()));
        EXPECT_EQ(loadImage(image, c.name), c.output);
        EXPECT_EQ(image.pixels, nullptr);
        EXPECT_EQ(image.width, 0);
        EXPECT_EQ(image.height, 0);
    }
}

TEST(ImageReaders, BadPpmsLoadNothing)
{
    // A short raster is refused rather than padded with made-up samples.
    const struct {
        const char* name;
        const char* output;
    } cases[] = {
        {"truncated.ppm", "read error\n"}, {"text.ppm", ""},         {"missing.ppm", ""},
        {"huge.ppm", "read error\n"},      {"claims.ppm", "read error\n"}, {"overflow.ppm", "read error\n"},
        {"negative.ppm", "read error\n"},  {"deep.ppm", "read error\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Image image;
        const std::string output = loadImage(image, c.name);
        const std::string expected = c.output;
        EXPECT_TRUE(output.size() >= expected.size() && output.substr(output.size() - expected.size()) == expected)
            << output;
        EXPECT_EQ(image.pixels, nullptr);
    }
}

TEST(ImageReaders, ImageLoadMapChoosesByExactLowerCaseExtension)
{
    for (const char* name : {"GRID.BMP", "GRID.PPM", "grid.tga"}) {
        SCOPED_TRACE(name);
        Image image;
        CaptureStderr();
        EXPECT_FALSE(image.loadMap(picture(name).c_str()));
        EXPECT_EQ(GetCapturedStderr(), "Image::loadMap: wrong filename " + picture(name) + "\n");
        EXPECT_EQ(image.pixels, nullptr);
    }
}

TEST(TextureReaders, Tga32WithImageIdLoadsWithAlpha)
{
    Texture texture;
    CaptureStdout();
    EXPECT_TRUE(texture.loadMap(picture("id32.tga").c_str()));
    EXPECT_EQ(GetCapturedStdout(), "");
    ASSERT_NE(texture.pixels, nullptr);
    EXPECT_EQ(texture.hasAlpha, 1);
    EXPECT_EQ(texture.width, 2);
    EXPECT_EQ(texture.height, 1);
    EXPECT_EQ(bytesOf(texture.pixels, 8), std::vector<int>({10, 20, 30, 40, 50, 60, 70, 80}));
}

TEST(TextureReaders, ReadsAll3FormatsAsRgb)
{
    Texture texture;
    ASSERT_TRUE(texture.loadMap(picture("id32.tga").c_str()));
    // Loading over an RGBA picture resets the alpha flag.
    for (const char* name : {"grid.tga", "padded.bmp", "grid.ppm"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(texture.loadMap(picture(name).c_str()));
        EXPECT_EQ(texture.hasAlpha, 0);
        EXPECT_EQ(texture.width, 3);
        EXPECT_EQ(texture.height, 2);
    }
    EXPECT_EQ(bytesOf(texture.pixels, 18), GRID);
}

TEST(TextureReaders, FailuresPrintOnlyTheWarning)
{
    for (const char* name : {"rle.tga", "huge.tga", "claims.tga", "palette.bmp", "claims.bmp", "truncated.ppm",
                             "GRID.TGA", "GRID.BMP", "missing.tga"}) {
        SCOPED_TRACE(name);
        Texture texture;
        CaptureStdout();
        EXPECT_FALSE(texture.loadMap(picture(name).c_str()));
        const std::string output = GetCapturedStdout();
        const std::string warning = "Warning:Texture: unable to load map " + picture(name) + ";\n";
        // The PPM reader's own "read error" may precede the warning.
        ASSERT_NE(output.find("Warning"), std::string::npos) << output;
        EXPECT_EQ(output.substr(output.find("Warning")), warning);
        EXPECT_EQ(output.find("chargement"), std::string::npos);
        EXPECT_EQ(texture.pixels, nullptr);
    }
}
