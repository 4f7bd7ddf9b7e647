// The TGA reader on files written by ImageMagick and by hand.
#include "oglui/tga_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string tmpPath(const char* name) { return std::string(::testing::TempDir()) + name; }

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

const uint8_t* pixel(const OGLPicture& p, int x, int y) { return &p.rgba[(size_t(y) * p.width + x) * 4]; }

} // namespace

TEST(Tga, readsImageMagickPicturesRawAndRunLengthInGlRowOrder)
{
    // 2 x 2: top row red, green; bottom row blue, white. GL rows go bottom up.
    const std::string source = tmpPath("src.ppm");
    FILE* f = std::fopen(source.c_str(), "wb");
    ASSERT_TRUE(f);
    const unsigned char px[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    std::fprintf(f, "P6\n2 2\n255\n");
    std::fwrite(px, 1, sizeof px, f);
    std::fclose(f);
    for (const char* compress : {"None", "RLE"}) {
        const std::string tga = tmpPath("pic.tga");
        // This ImageMagick writes top-down rows with a bottom-up origin unless told the orientation.
        ASSERT_TRUE(run("convert " + source + " -orient TopLeft -compress " + compress + " " + tga));
        OGLPicture p;
        ASSERT_TRUE(readTga(tga, p)) << compress;
        ASSERT_EQ(2, p.width);
        ASSERT_EQ(2, p.height);
        EXPECT_EQ(0, pixel(p, 0, 0)[0]);   // bottom left: blue
        EXPECT_EQ(255, pixel(p, 0, 0)[2]);
        EXPECT_EQ(255, pixel(p, 0, 1)[0]); // top left: red
        EXPECT_EQ(0, pixel(p, 0, 1)[1]);
        EXPECT_EQ(255, pixel(p, 1, 1)[1]); // top right: green
        EXPECT_EQ(255, pixel(p, 1, 0)[3]);
    }
}

TEST(Tga, readsBottomUpRowsAsStored)
{
    // Written by hand: 1 x 2, origin bottom left, first stored row (bottom) blue.
    const unsigned char file[] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2, 0, 24, 0,
                                  255, 0, 0, 0, 0, 255};
    const std::string tga = tmpPath("bottomup.tga");
    FILE* f = std::fopen(tga.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(file, 1, sizeof file, f);
    std::fclose(f);
    OGLPicture p;
    ASSERT_TRUE(readTga(tga, p));
    EXPECT_EQ(255, pixel(p, 0, 0)[2]);
    EXPECT_EQ(255, pixel(p, 0, 1)[0]);
}

TEST(Tga, keepsAlphaOf32BitPictures)
{
    const std::string tga = tmpPath("alpha.tga");
    ASSERT_TRUE(run("convert -size 3x2 xc:'rgba(10,20,30,0.5)' -depth 8 " + tga));
    OGLPicture p;
    ASSERT_TRUE(readTga(tga, p));
    EXPECT_EQ(10, pixel(p, 2, 1)[0]);
    EXPECT_EQ(30, pixel(p, 2, 1)[2]);
    EXPECT_NEAR(128, pixel(p, 2, 1)[3], 1);
}

TEST(Tga, refusesMissingTruncatedAndOversizedFilesWithoutTrustingTheHeader)
{
    OGLPicture p;
    std::string why;
    EXPECT_FALSE(readTga(tmpPath("none.tga"), p, &why));
    EXPECT_FALSE(why.empty());

    // A header that claims 60000 x 60000 pixels and then ends.
    unsigned char header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x60, 0xEA, 0x60, 0xEA, 24, 0};
    const std::string big = tmpPath("big.tga");
    FILE* f = std::fopen(big.c_str(), "wb");
    std::fwrite(header, 1, 18, f);
    std::fclose(f);
    EXPECT_FALSE(readTga(big, p, &why));

    // A 4 x 4 header with only half its pixels, raw and run-length.
    header[12] = 4; header[13] = 0; header[14] = 4; header[15] = 0;
    for (unsigned char type : {2, 10}) {
        header[2] = type;
        const std::string cut = tmpPath("cut.tga");
        f = std::fopen(cut.c_str(), "wb");
        std::fwrite(header, 1, 18, f);
        const unsigned char half[24] = {0x87};  // for RLE: one raw packet of 8 pixels
        std::fwrite(half, 1, sizeof half, f);
        std::fclose(f);
        EXPECT_FALSE(readTga(cut, p, &why)) << int(type);
        EXPECT_TRUE(p.rgba.empty());
    }

    // A run-length packet that would write past the last pixel.
    header[2] = 10; header[12] = 1; header[14] = 1;
    const std::string over = tmpPath("over.tga");
    f = std::fopen(over.c_str(), "wb");
    std::fwrite(header, 1, 18, f);
    const unsigned char packet[4] = {0xFF, 1, 2, 3};  // 128 copies into a 1-pixel picture
    std::fwrite(packet, 1, 4, f);
    std::fclose(f);
    EXPECT_FALSE(readTga(over, p, &why));
}
