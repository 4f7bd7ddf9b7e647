// Pixel operations of the grass textures, on small hand-made buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
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

Bytes bytes(const Texture& t) { return Bytes(t.pixels, t.pixels + size_t(t.width) * t.height * t.bytesPerPixel()); }

/// Runs `op`, expects it to fail, and returns what it printed.
std::string refusal(const std::function<bool()>& op)
{
    testing::internal::CaptureStdout();
    EXPECT_FALSE(op());
    return testing::internal::GetCapturedStdout();
}

} // namespace

TEST(TextureOps, AlphaIsAddedInPlaceAndFadedLinearlyAtBothEdges)
{
    Texture t;
    fill(t, 2, 1, false, {1, 2, 3, 4, 5, 6});
    ASSERT_TRUE(addAlphaChannel(t, 200));
    EXPECT_EQ(bytes(t), (Bytes{1, 2, 3, 200, 4, 5, 6, 200}));

    Bytes row;
    for (int x = 0; x < 8; ++x) row.insert(row.end(), {9, 9, 9, 200});
    fill(t, 8, 1, true, row);
    ASSERT_TRUE(decreaseOpacity(t, 1));  // n = 4 columns on each side
    const int faded[8] = {0, 50, 100, 150, 150, 100, 50, 0};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(t.pixels[x * 4 + 3], faded[x]) << "column " << x;
    row.insert(row.end(), {9, 9, 9, 200});
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

TEST(TextureOps, ExtendColorFillsBlackNeighboursAndConcatJoinsRows)
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
    // A pass reaches one pixel further (pixel 0 is nobody's neighbour).
    fill(t, 6, 1, false, {0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(extendColor(t, 2));
    for (int x = 0; x < 6; ++x) EXPECT_EQ(t.pixels[3 * x], x < 4 ? 100 : 0) << "pixel " << x;

    // An empty texture adopts the first map (1 × 2); the next (2 × 2) goes on the right of each row.
    Texture joined;
    const unsigned char left[] = {1, 1, 1, 2, 2, 2};
    const unsigned char right[] = {3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6};
    ASSERT_TRUE(concatMap(joined, left, 2, 1, false) && concatMap(joined, right, 2, 2, false));
    EXPECT_EQ(joined.width, 3);
    EXPECT_EQ(bytes(joined), (Bytes{1, 1, 1, 3, 3, 3, 4, 4, 4, 2, 2, 2, 5, 5, 5, 6, 6, 6}));
}

TEST(TextureOps, RefusalsPrintTheirMessageAndLeaveTheTexture)
{
    Texture empty, rgb, rgba;
    fill(rgb, 1, 2, false, {1, 1, 1, 2, 2, 2});
    fill(rgba, 1, 1, true, {1, 1, 1, 255});
    const unsigned char other[8] = {};
    const std::string w = "Warning:Texture: unable to ";
    EXPECT_EQ(refusal([&] { return addAlphaChannel(empty, 1); }), w + "add alpha channel : no map;\n");
    EXPECT_EQ(refusal([&] { return decreaseOpacity(empty, 0); }), w + "decrease opacity : map==NULL;\n");
    EXPECT_EQ(refusal([&] { return decreaseOpacity(rgba, 1.5f); }), w + "decrease opacity : coef not in ]0,1];\n");
    EXPECT_EQ(refusal([&] { return decreaseOpacity(rgb, 1); }), w + "decrease opacity : no alpha channel;\n");
    EXPECT_EQ(refusal([&] { return filterChannel(empty, 0, 1); }), w + "filtering channel :no map;\n");
    EXPECT_EQ(refusal([&] { return filterChannel(rgb, 4, 1); }), w + "filtering channel :channel not in [0,3];\n");
    EXPECT_EQ(refusal([&] { return filterChannel(rgb, 3, 1); }), w + "filtering channel 3: no alpha channel;\n");
    EXPECT_EQ(refusal([&] { return filterChannel(rgb, 0, 0); }), w + "filtering channel : coefLastValue<1;\n");
    EXPECT_EQ(refusal([&] { return extendColor(empty, 1); }), w + "extend color :no map;\n");
    EXPECT_EQ(refusal([&] { return concatMap(empty, nullptr, 1, 1, false); }), w + "concat map : no map;\n");
    EXPECT_EQ(refusal([&] { return concatMap(rgb, other, 1, 2, false); }), w + "concat map : rows!=rows;\n");
    EXPECT_EQ(refusal([&] { return concatMap(rgb, other, 2, 1, true); }), w + "concat map : channel!=channel;\n");
    EXPECT_EQ(empty.pixels, nullptr);
    EXPECT_EQ(bytes(rgb), (Bytes{1, 1, 1, 2, 2, 2}));
    EXPECT_EQ(rgba.pixels[3], 255);
}

TEST(TextureSetters, TheBladePictureFadesByItsSofteningAndWaitsForTheRebuild)
{
    GrassField field;
    field.texturesReady = true;
    setTexture3D(field, true);
    EXPECT_FALSE(field.texturesReady);
    field.texturesReady = true;
    loadTexture3D(field, VELMORA_RUN_DIR "/GrassData/grassBlade.tga");  // 64 columns
    EXPECT_FALSE(field.texturesReady);
    ASSERT_TRUE(field.picture3D.pixels && field.picture3D.hasAlpha);
    // Softening 0.5 fades 16 columns on each side, 1 fades 32.
    EXPECT_EQ(field.picture3D.pixels[16 * 4 + 3], 255);
    EXPECT_EQ(field.picture3D.pixels[15 * 4 + 3], 15 * 255 / 16);
    setAntialiasing3D(field, 1);
    EXPECT_EQ(field.picture3D.pixels[16 * 4 + 3], 127);

}
