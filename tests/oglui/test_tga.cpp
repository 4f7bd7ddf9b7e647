// The TGA reader on files written by ImageMagick and by hand.
#include "oglui/tga_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string tmpPath(const char* name) { return std::string(::testing::TempDir()) + "oglui_" + name; }

void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

const uint8_t* pixel(const OGLPicture& p, int x, int y) { return &p.rgba[(size_t(y) * p.width + x) * 4]; }

} // namespace

TEST(Tga, readsPicturesInGlRowOrderWithTheirAlpha)
{
    // 2 x 2 with alpha: top row red, green; bottom row blue, half-transparent white.
    const std::string tga = tmpPath("pic.tga");
    for (const char* compress : {"None", "RLE"}) {
        // This ImageMagick writes top-down rows with a bottom-up origin unless told the orientation.
        const std::string make = "convert -size 2x2 xc:none -fill red -draw 'point 0,0' -fill lime -draw 'point 1,0'"
                                 " -fill blue -draw 'point 0,1' -fill 'rgba(255,255,255,0.5)' -draw 'point 1,1'"
                                 " -depth 8 -orient TopLeft -compress " + std::string(compress) + " " + tga;
        ASSERT_EQ(0, std::system(make.c_str()));
        OGLPicture p;
        ASSERT_TRUE(readTga(tga, p)) << compress;
        ASSERT_EQ(2, p.width);
        ASSERT_EQ(2, p.height);
        EXPECT_EQ(255, pixel(p, 0, 0)[2]) << "bottom left is blue";
        EXPECT_EQ(0, pixel(p, 0, 0)[0]);
        EXPECT_EQ(255, pixel(p, 0, 1)[0]) << "top left is red";
        EXPECT_EQ(255, pixel(p, 1, 1)[1]) << "top right is green";
        EXPECT_NEAR(128, pixel(p, 1, 0)[3], 1);
    }
    // Written by hand: 1 x 2, 24 bits, origin bottom left, first stored row (bottom) blue.
    writeBytes(tga, {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2, 0, 24, 0, 255, 0, 0, 0, 0, 255});
    OGLPicture p;
    ASSERT_TRUE(readTga(tga, p));
    EXPECT_EQ(255, pixel(p, 0, 0)[2]);
    EXPECT_EQ(255, pixel(p, 0, 1)[0]);
    EXPECT_EQ(255, pixel(p, 0, 1)[3]);
}

TEST(Tga, refusesMissingTruncatedAndOversizedFilesWithoutTrustingTheHeader)
{
    OGLPicture p;
    std::string why;
    EXPECT_FALSE(readTga(tmpPath("none.tga"), p, &why));
    EXPECT_FALSE(why.empty());

    // A header that claims 60000 x 60000 pixels and then ends.
    std::vector<unsigned char> header = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x60, 0xEA, 0x60, 0xEA, 24, 0};
    writeBytes(tmpPath("big.tga"), header);
    EXPECT_FALSE(readTga(tmpPath("big.tga"), p, &why));

    // A 4 x 4 header with only half its pixels, raw and run-length (one raw packet of 8).
    header[12] = 4; header[13] = 0; header[14] = 4; header[15] = 0;
    for (unsigned char type : {2, 10}) {
        header[2] = type;
        std::vector<unsigned char> cut = header;
        cut.push_back(0x87);
        cut.resize(cut.size() + 23, 0);
        writeBytes(tmpPath("cut.tga"), cut);
        EXPECT_FALSE(readTga(tmpPath("cut.tga"), p, &why)) << int(type);
        EXPECT_TRUE(p.rgba.empty());
    }

    // A run-length packet of 128 copies into a 1-pixel picture.
    header[2] = 10; header[12] = 1; header[14] = 1;
    std::vector<unsigned char> over = header;
    over.insert(over.end(), {0xFF, 1, 2, 3});
    writeBytes(tmpPath("over.tga"), over);
    EXPECT_FALSE(readTga(tmpPath("over.tga"), p, &why));
}
