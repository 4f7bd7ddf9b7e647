// Pixel operations of the grass textures, on small hand-made buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "grass/grass_texture.h"

namespace {

using Bytes = std::vector<unsigned char>;

void fill(Texture& t, int width, int height, bool alpha, const Bytes& bytes)
{
    t.freeData();
    t.width = width;
    t.height = height;
    t.hasAlpha = alpha ? 1 : 0;
    t.pixels = new unsigned char[bytes.size()];
    std::memcpy(t.pixels, bytes.data(), bytes.size());
}

} // namespace

TEST(TextureOps, AlphaFadesLinearlyOverWholeColumnsAtBothEdges)
{
    Texture t;
    Bytes row;
    for (int x = 0; x < 9; ++x) row.insert(row.end(), {9, 9, 9, 200});
    fill(t, 9, 1, true, row);
    ASSERT_TRUE(decreaseOpacity(t, 0.9f));  // n = trunc(0.9 × (9 div 2)) = 3
    const int odd[9] = {0, 66, 133, 200, 200, 200, 133, 66, 0};
    for (int x = 0; x < 9; ++x) EXPECT_EQ(t.pixels[x * 4 + 3], odd[x]) << "column " << x;
}

// 3 × 2 RGB, channel 0 holding 10..60. Neighbours are found by byte offset,
// so the end of a row sees the start of the next, and pixel 0 is never a
// neighbour (its offset is not above 0).
TEST(TextureOps, FilterNeighboursRunAcrossRowEnds)
{
    Texture t;
    fill(t, 3, 2, false, {10, 1, 2, 20, 1, 2, 30, 1, 2, 40, 1, 2, 50, 1, 2, 60, 1, 2});
    ASSERT_TRUE(filterChannel(t, 0, 2));
    EXPECT_EQ(t.pixels[0], (2 * 10 + 20 + 40 + 50 + 30) / 6);  // pixel 2 counts as below-left
    EXPECT_EQ(t.pixels[3], (2 * 20 + 30 + 50 + 60 + 40) / 6);  // pixel 0 left out
    EXPECT_EQ(t.pixels[6], (2 * 30 + 40 + 20 + 60 + 50) / 6);  // pixel 3 wraps in on the right
    EXPECT_EQ(t.pixels[12], (2 * 50 + 60 + 40 + 20 + 30) / 6);
    EXPECT_EQ(t.pixels[16], 1);  // other channels copied
}

TEST(TextureOps, ExtendColorFillsBlackNeighboursWithTheirBrightestChannels)
{
    // 3 × 3 RGBA, two coloured pixels: a black neighbour takes the largest of
    // each channel, alpha untouched, coloured pixels keep their colour.
    Bytes px(9 * 4, 0);
    px[4 * 4] = 100;
    px[5 * 4 + 1] = 80;
    Texture t;
    fill(t, 3, 3, true, px);
    ASSERT_TRUE(extendColor(t, 1));
    EXPECT_EQ(Bytes(t.pixels + 4, t.pixels + 8), (Bytes{100, 80, 0, 0}));
    EXPECT_EQ(t.pixels[4 * 4 + 1] + t.pixels[5 * 4], 0);
}

TEST(TextureSetters, TheBladePictureFadesByItsSofteningAndWaitsForTheRebuild)
{
    GrassField field;
    field.texturesBuilt();
    field.loadTexture3D(VELMORA_RUN_DIR "/GrassData/grassBlade.tga");  // 64 columns
    EXPECT_FALSE(field.getTexturesReady());
    ASSERT_NE(field.getBladePicture().pixels, nullptr);
    ASSERT_TRUE(field.getBladePicture().hasAlpha);
    // Softening 0.5 fades 16 columns on each side, 1 fades 32.
    EXPECT_EQ(field.getBladePicture().pixels[16 * 4 + 3], 255);
    EXPECT_EQ(field.getBladePicture().pixels[15 * 4 + 3], 15 * 255 / 16);
    field.setAntialiasing3D(1);
    EXPECT_EQ(field.getBladePicture().pixels[16 * 4 + 3], 127);
    // A quarter of the blades a patch, held in a byte: 1024 wrap to 0, drawn as 1.
    for (const auto& [blades, unit] : {std::pair{3, 1}, {8, 2}, {1024, 1}, {1032, 2}})
        EXPECT_EQ(textureBladeUnit(blades), unit) << blades;
}
