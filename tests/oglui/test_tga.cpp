// The TGA reader on files written by ImageMagick and by hand, and on hostile headers.
#include "oglui/tga_file.h"
#include "tests/support/test_path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

bool readBytes(const Bytes& bytes, OGLPicture& p)
{
    std::ofstream(testPath("picture.tga"), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return readTga(testPath("picture.tga"), p);
}

} // namespace

TEST(Tga, readsPicturesBottomRowFirstWithTheirAlpha)
{
    for (const char* compress : {"None", "RLE"}) {
        // Top row red, green; bottom row blue, half-transparent white (-orient: this ImageMagick mislabels rows otherwise).
        const std::string make = "convert -size 2x2 xc:none -fill red -draw 'point 0,0' -fill lime -draw 'point 1,0'"
                                 " -fill blue -draw 'point 0,1' -fill 'rgba(255,255,255,0.5)' -draw 'point 1,1'"
                                 " -depth 8 -orient TopLeft -compress " + std::string(compress) + " " + testPath("picture.tga");
        ASSERT_EQ(0, std::system(make.c_str()));
        OGLPicture p;
        ASSERT_TRUE(readTga(testPath("picture.tga"), p)) << compress;
        EXPECT_EQ(p.rgba, (Bytes{0, 0, 255, 255, 255, 255, 255, 128, 255, 0, 0, 255, 0, 255, 0, 255})) << compress;
    }
    // By hand: 1 x 2, 24 bits, origin bottom left, first stored row blue.
    OGLPicture p;
    ASSERT_TRUE(readBytes({0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2, 0, 24, 0, 255, 0, 0, 0, 0, 255}, p));
    EXPECT_EQ(p.rgba, (Bytes{0, 0, 255, 255, 255, 0, 0, 255}));
}

TEST(Tga, refusesMissingTruncatedAndOversizedFilesWithoutTrustingTheHeader)
{
    OGLPicture p;
    EXPECT_FALSE(readTga(testPath("picture.tga") + ".missing", p));
    // A header that claims 60000 x 60000 pixels and then ends.
    Bytes header = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x60, 0xEA, 0x60, 0xEA, 24, 0};
    EXPECT_FALSE(readBytes(header, p));
    // 4 x 4 with only half its pixels, raw and run-length (one raw packet of 8).
    header[12] = header[14] = 4, header[13] = header[15] = 0;
    for (uint8_t type : {2, 10}) {
        header[2] = type;
        Bytes cut = header;
        cut.push_back(0x87);
        cut.resize(cut.size() + 23, 0);
        EXPECT_FALSE(readBytes(cut, p)) << int(type);
        EXPECT_EQ(p.rgba.size(), 0u) << int(type);
    }
    // A run-length packet of 128 copies into a 1-pixel picture.
    header[12] = header[14] = 1;
    header.insert(header.end(), {0xFF, 1, 2, 3});
    EXPECT_FALSE(readBytes(header, p));
}
