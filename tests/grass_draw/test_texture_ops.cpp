// Pixel operations of the grass textures, on small hand-made buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "grass/grass_texture.h"

namespace {

void fill(Texture& t, int width, int height, bool alpha, const std::vector<unsigned char>& bytes)
{
    t.freeData();
    t.width = width;
    t.height = height;
    t.hasAlpha = alpha ? 1 : 0;
    t.pixels = new unsigned char[bytes.size()];
    std::memcpy(t.pixels, bytes.data(), bytes.size());
}

std::vector<unsigned char> bytes(const Texture& t)
{
    return std::vector<unsigned char>(t.pixels, t.pixels + size_t(t.width) * t.height * t.bytesPerPixel());
}

/// Runs `op` and returns what it printed.
template <typename Op>
std::string printed(Op op)
{
    testing::internal::CaptureStdout();
    op();
    return testing::internal::GetCapturedStdout();
}

} // namespace

TEST(TextureOps, AddAlphaWidensRgbInPlaceAndSetsEveryAlpha)
{
    Texture t;
    fill(t, 2, 1, false, {1, 2, 3, 4, 5, 6});
    ASSERT_TRUE(addAlphaChannel(t, 200));
    EXPECT_EQ(t.hasAlpha, 1);
    EXPECT_EQ(bytes(t), (std::vector<unsigned char>{1, 2, 3, 200, 4, 5, 6, 200}));
    ASSERT_TRUE(addAlphaChannel(t, 7));
    EXPECT_EQ(bytes(t), (std::vector<unsigned char>{1, 2, 3, 7, 4, 5, 6, 7}));

    Texture empty;
    bool ok = true;
    EXPECT_EQ(printed([&] { ok = addAlphaChannel(empty, 1); }),
              "Warning:Texture: unable to add alpha channel : no map;\n");
    EXPECT_FALSE(ok);
}

TEST(TextureOps, DecreaseOpacityFadesBothEdgesToTheCentre)
{
    Texture t;
    std::vector<unsigned char> px;
    for (int x = 0; x < 8; ++x) px.insert(px.end(), {9, 9, 9, 200});
    fill(t, 8, 1, true, px);
    ASSERT_TRUE(decreaseOpacity(t, 1));
    const int expected[8] = {0, 50, 100, 150, 150, 100, 50, 0};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(t.pixels[x * 4 + 3], expected[x]) << "column " << x;
    EXPECT_EQ(t.pixels[4], 9);  // colour untouched

    // Half the coefficient fades only the outer column on each side (n = 2 of 4).
    fill(t, 8, 1, true, px);
    ASSERT_TRUE(decreaseOpacity(t, 0.5f));
    EXPECT_EQ(t.pixels[3], 0);
    EXPECT_EQ(t.pixels[1 * 4 + 3], 100);
    EXPECT_EQ(t.pixels[2 * 4 + 3], 200);
    EXPECT_EQ(t.pixels[6 * 4 + 3], 100);
}

TEST(TextureOps, DecreaseOpacityRefusalsInOrder)
{
    Texture empty, rgb, rgba;
    fill(rgb, 2, 1, false, {1, 1, 1, 1, 1, 1});
    fill(rgba, 1, 1, true, {1, 1, 1, 255});
    EXPECT_EQ(printed([&] { decreaseOpacity(empty, 0); }),
              "Warning:Texture: unable to decrease opacity : map==NULL;\n");
    EXPECT_EQ(printed([&] { decreaseOpacity(rgb, 0); }),
              "Warning:Texture: unable to decrease opacity : coef not in ]0,1];\n");
    EXPECT_EQ(printed([&] { decreaseOpacity(rgba, 1.5f); }),
              "Warning:Texture: unable to decrease opacity : coef not in ]0,1];\n");
    EXPECT_EQ(printed([&] { decreaseOpacity(rgb, 1); }),
              "Warning:Texture: unable to decrease opacity : no alpha channel;\n");
    EXPECT_EQ(rgba.pixels[3], 255);
}

// 3 × 2 RGB, channel 0 holding 10..60; neighbours are found by byte offset,
// so the end of a row sees the start of the next, and pixel 0 is never a
// neighbour (its offset is not above 0).
TEST(TextureOps, FilterChannelNeighboursRunAcrossRowEnds)
{
    Texture t;
    fill(t, 3, 2, false, {10, 1, 2, 20, 1, 2, 30, 1, 2, 40, 1, 2, 50, 1, 2, 60, 1, 2});
    ASSERT_TRUE(filterChannel(t, 0, 2));
    EXPECT_EQ(t.pixels[0], (2 * 10 + 20 + 40 + 50 + 30) / 6);  // pixel 2 counts as below-left
    EXPECT_EQ(t.pixels[3], (2 * 20 + 30 + 50 + 60 + 40) / 6);  // pixel 0 excluded
    EXPECT_EQ(t.pixels[6], (2 * 30 + 40 + 20 + 60 + 50) / 6);  // pixel 3 wraps in as the right neighbour
    EXPECT_EQ(t.pixels[12], (2 * 50 + 60 + 40 + 20 + 30) / 6);
    for (int p = 0; p < 6; ++p) {
        EXPECT_EQ(t.pixels[p * 3 + 1], 1);
        EXPECT_EQ(t.pixels[p * 3 + 2], 2);
    }
}

TEST(TextureOps, FilterChannelRefusals)
{
    Texture empty, rgb;
    fill(rgb, 1, 1, false, {5, 5, 5});
    EXPECT_EQ(printed([&] { filterChannel(empty, 0, 1); }), "Warning:Texture: unable to filtering channel :no map;\n");
    EXPECT_EQ(printed([&] { filterChannel(rgb, 4, 1); }),
              "Warning:Texture: unable to filtering channel :channel not in [0,3];\n");
    EXPECT_EQ(printed([&] { filterChannel(rgb, 3, 1); }),
              "Warning:Texture: unable to filtering channel 3: no alpha channel;\n");
    EXPECT_EQ(printed([&] { filterChannel(rgb, 0, 0); }),
              "Warning:Texture: unable to filtering channel : coefLastValue<1;\n");
}

TEST(TextureOps, ExtendColorFillsBlackPixelsChannelWiseAndKeepsAlpha)
{
    // 3 × 3 RGBA: two coloured pixels, the rest transparent black.
    std::vector<unsigned char> px(9 * 4, 0);
    auto set = [&](int p, unsigned char r, unsigned char g) {
        px[p * 4] = r;
        px[p * 4 + 1] = g;
        px[p * 4 + 3] = 255;
    };
    set(4, 100, 0);
    set(5, 0, 80);
    Texture t;
    fill(t, 3, 3, true, px);
    ASSERT_TRUE(extendColor(t, 1));
    EXPECT_EQ(t.pixels[1 * 4], 100);      // above the centre: red from it, green from pixel 5
    EXPECT_EQ(t.pixels[1 * 4 + 1], 80);
    EXPECT_EQ(t.pixels[1 * 4 + 3], 0);    // alpha untouched
    EXPECT_EQ(t.pixels[4 * 4], 100);      // coloured pixels keep their colour
    EXPECT_EQ(t.pixels[4 * 4 + 1], 0);
}

TEST(TextureOps, ExtendColorSpreadsOnePixelPerPass)
{
    // One row of 6; the colour starts at pixel 1.
    std::vector<unsigned char> px(6 * 3, 0);
    px[3] = 90;
    Texture t;
    fill(t, 6, 1, false, px);
    ASSERT_TRUE(extendColor(t, 2));
    const int expected[6] = {90, 90, 90, 90, 0, 0};
    for (int p = 0; p < 6; ++p) EXPECT_EQ(t.pixels[p * 3], expected[p]) << "pixel " << p;

    Texture empty;
    EXPECT_EQ(printed([&] { extendColor(empty, 1); }), "Warning:Texture: unable to extend color :no map;\n");
}

TEST(TextureOps, ConcatMapAdoptsThenAppendsRowByRow)
{
    Texture t;
    const unsigned char left[] = {1, 1, 1, 2, 2, 2};   // 1 × 2
    const unsigned char right[] = {3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6};  // 2 × 2
    ASSERT_TRUE(concatMap(t, left, 2, 1, false));
    ASSERT_TRUE(concatMap(t, right, 2, 2, false));
    EXPECT_EQ(t.width, 3);
    EXPECT_EQ(t.height, 2);
    EXPECT_EQ(bytes(t), (std::vector<unsigned char>{1, 1, 1, 3, 3, 3, 4, 4, 4, 2, 2, 2, 5, 5, 5, 6, 6, 6}));
}

TEST(TextureOps, ConcatMapRefusalsLeaveTheTextureAsItWas)
{
    Texture t;
    EXPECT_EQ(printed([&] { concatMap(t, nullptr, 1, 1, false); }), "Warning:Texture: unable to concat map : no map;\n");
    EXPECT_EQ(t.pixels, nullptr);

    fill(t, 1, 2, false, {1, 1, 1, 2, 2, 2});
    const unsigned char other[] = {7, 7, 7, 7, 7, 7, 7, 7};
    bool ok = true;
    EXPECT_EQ(printed([&] { ok = concatMap(t, other, 1, 2, false); }),
              "Warning:Texture: unable to concat map : rows!=rows;\n");
    EXPECT_FALSE(ok);
    EXPECT_EQ(printed([&] { ok = concatMap(t, other, 2, 1, true); }),
              "Warning:Texture: unable to concat map : channel!=channel;\n");
    EXPECT_FALSE(ok);
    EXPECT_EQ(t.width, 1);
    EXPECT_EQ(bytes(t), (std::vector<unsigned char>{1, 1, 1, 2, 2, 2}));
}

TEST(TextureOps, BandUnitWrapsAtAByteAndIsAtLeastOne)
{
    EXPECT_EQ(textureBladeUnit(0), 1);
    EXPECT_EQ(textureBladeUnit(7), 1);
    EXPECT_EQ(textureBladeUnit(8), 2);
    EXPECT_EQ(textureBladeUnit(40), 10);
    EXPECT_EQ(textureBladeUnit(1023), 255);
    EXPECT_EQ(textureBladeUnit(1024), 1);   // 256 wraps to 0
    EXPECT_EQ(textureBladeUnit(1032), 2);   // 258 wraps to 2
}
