#include "grass/grass_field.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ground/ground.h"
#include "util/random.h"

namespace {

struct Rgb {
    unsigned char r, g, b;
};

/// Writes a 24-bit BMP; `at(x, y)` gives the pixel with y counted from the bottom row.
std::string writeBmp(const std::string& name, int w, int h, const std::function<Rgb(int, int)>& at)
{
    const int row = (w * 3 + 3) & ~3;
    std::vector<unsigned char> file(54 + size_t(row) * h, 0);
    auto put32 = [&](int offset, uint32_t v) {
        for (int k = 0; k < 4; ++k) file[offset + k] = (v >> (8 * k)) & 0xFF;
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, file.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb c = at(x, y);
            unsigned char* p = &file[54 + size_t(y) * row + x * 3];
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
    const std::string path = std::string(::testing::TempDir()) + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    return path;
}

void flatGround()
{
    const float area[4] = {0, 0, 100, 100};
    createGround(area, 0, 4, nullptr, nullptr, 1);
}

} // namespace

TEST(GrassFieldLayout, GridsIndexingAndLinks)
{
    flatGround();
    GrassField field;
    const float area[4] = {10, 20, 40, 35};
    field.initField(area, 3, 5, nullptr);

    EXPECT_EQ(field.patchesX, 3);
    EXPECT_EQ(field.patchesY, 5);
    EXPECT_EQ(field.nodeCount, 24);
    EXPECT_EQ(field.patchCount, 15);
    EXPECT_FLOAT_EQ(field.patchSizeX, 10);
    EXPECT_FLOAT_EQ(field.patchSizeY, 3);
    EXPECT_EQ(field.nodes.size(), 24u);
    EXPECT_EQ(field.crushPoints.size(), 7u * 11u);
    EXPECT_STREQ(field.getDensityMapFile(), "");

    const GrassNode& n = field.node(2, 4);
    EXPECT_FLOAT_EQ(n.x, 30);
    EXPECT_FLOAT_EQ(n.y, 32);
    EXPECT_FLOAT_EQ(n.skeleton.P0[0], 30);
    EXPECT_FLOAT_EQ(n.skeleton.P0[1], 32);
    EXPECT_FLOAT_EQ(n.height, field.getHeight());

    const CrushPoint& c = field.crushPoint(5, 7);
    EXPECT_FLOAT_EQ(c.x, 35);
    EXPECT_FLOAT_EQ(c.y, 30.5f);
    EXPECT_EQ(c.exists, 1);

    const GrassPatch& p = field.patch(1, 3);
    EXPECT_EQ(p.corners[0], &field.node(1, 3));
    EXPECT_EQ(p.corners[1], &field.node(2, 3));
    EXPECT_EQ(p.corners[2], &field.node(1, 4));
    EXPECT_EQ(p.corners[3], &field.node(2, 4));
    for (int b = 0; b < 3; ++b)
        for (int a = 0; a < 3; ++a) EXPECT_EQ(p.crush[a + 3 * b], &field.crushPoint(2 + a, 6 + b));

    // No density picture: everything grows; each patch starts its own stream.
    int distinctStarts = 0;
    for (const GrassPatch& q : field.patches) {
        EXPECT_EQ(q.active, 1);
        EXPECT_FLOAT_EQ(q.density, 1);
        EXPECT_GE(q.randomIndex, 0);
        EXPECT_LE(q.randomIndex, 1000);
        distinctStarts += q.randomIndex != field.patches[0].randomIndex;
    }
    EXPECT_GT(distinctStarts, 0);
}

TEST(GrassFieldLayout, NarrowAreaAndPatchCountsAreClamped)
{
    flatGround();
    GrassField field;
    const float narrow[4] = {5, 5, 5.5f, 5};
    testing::internal::CaptureStdout();
    field.initField(narrow, 0, -3, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    float area[4];
    field.getArea(area);
    EXPECT_FLOAT_EQ(area[2], 6);
    EXPECT_FLOAT_EQ(area[3], 6);
    EXPECT_EQ(field.patchesX, 1);
    EXPECT_EQ(field.patchesY, 1);

    // Above the dialog's maximum: lowered, with one line saying so.
    testing::internal::CaptureStdout();
    field.initField(narrow, 1000, 2, nullptr);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(field.patchesX, 999);
    EXPECT_EQ(field.patchesY, 2);
    EXPECT_NE(out.find("999"), std::string::npos);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
    EXPECT_EQ(field.crushPoints.size(), 1999u * 5u);
}

TEST(GrassFieldLayout, MaxGroundZCoversTheSurroundingPatches)
{
    // Ground rising along x only.
    const std::string ramp = writeBmp("grass_ramp.bmp", 64, 4, [](int x, int) {
        const unsigned char v = static_cast<unsigned char>(x * 4);
        return Rgb{v, v, v};
    });
    const float groundArea[4] = {0, 0, 100, 100};
    createGround(groundArea, 5, 400, ramp.c_str(), nullptr, 1);

    GrassField field;
    field.initField(groundArea, 4, 4, nullptr);
    for (int i = 0; i <= 4; ++i) {
        const GrassNode& n = field.node(i, 2);
        EXPECT_FLOAT_EQ(n.z, groundHeight(n.x, n.y));
        // The highest sample of the patch on the high side, which stops a
        // fifth of a patch short of the next node.
        const float highSide = i < 4 ? n.x + 0.8f * field.patchSizeX : n.x - 0.2f * field.patchSizeX;
        EXPECT_NEAR(n.maxGroundZ, groundHeight(highSide, n.y), 1e-4f) << "node " << i;
    }
    EXPECT_LT(field.node(4, 2).maxGroundZ, field.node(4, 2).z);
    EXPECT_GT(field.node(0, 2).maxGroundZ, field.node(0, 2).z);
}

TEST(GrassDensity, SamplesThePictureAtThePoint)
{
    flatGround();
    GrassField field;
    const float area[4] = {0, 0, 30, 10};
    field.initField(area, 3, 1, nullptr);

    Texture empty;
    EXPECT_FLOAT_EQ(field.densityAt(5, 5, empty), 1);

    // 4 x 2 RGB picture; pixel (x, y) holds grey 10·(x + 4y).
    Texture rgb;
    rgb.width = 4;
    rgb.height = 2;
    rgb.pixels = new unsigned char[24];
    for (int k = 0; k < 8; ++k) rgb.pixels[3 * k] = rgb.pixels[3 * k + 1] = rgb.pixels[3 * k + 2] = 10 * k;
    EXPECT_FLOAT_EQ(field.densityAt(0, 0, rgb), 0);
    EXPECT_FLOAT_EQ(field.densityAt(30, 10, rgb), 70 / 255.0f);
    EXPECT_FLOAT_EQ(field.densityAt(10.5f, 9.9f, rgb), 10 / 255.0f);  // trunc(1.05), trunc(0.99)
    // Outside the area: the border pixel, not memory beyond the picture.
    EXPECT_FLOAT_EQ(field.densityAt(1000, 1000, rgb), 70 / 255.0f);
    EXPECT_FLOAT_EQ(field.densityAt(-1000, -1000, rgb), 0);

    // A picture with alpha is read 4 bytes per pixel.
    Texture rgba;
    rgba.width = 2;
    rgba.height = 1;
    rgba.hasAlpha = 1;
    rgba.pixels = new unsigned char[8]{0, 0, 0, 255, 255, 255, 255, 0};
    EXPECT_FLOAT_EQ(field.densityAt(30, 0, rgba), 1);
}

TEST(GrassDensity, NodeAndPatchThresholds)
{
    flatGround();
    // Node (i, j) of a 3 x 1 field over (0,0)-(3,1) reads pixel (i, j).
    const std::string path = writeBmp("grass_thresholds.bmp", 4, 2, [](int x, int y) {
        if ((x == 0 && y == 0) || x == 3) return Rgb{255, 255, 255};
        if (x == 2 && y == 0) return Rgb{114, 0, 0};  // 0.149: bare
        if (x == 2 && y == 1) return Rgb{115, 0, 0};  // 0.1503: kept
        return Rgb{0, 0, 0};
    });
    GrassField field;
    const float area[4] = {0, 0, 3, 1};
    field.initField(area, 3, 1, path.c_str());
    EXPECT_STREQ(field.getDensityMapFile(), path.c_str());

    EXPECT_FLOAT_EQ(field.node(0, 0).density, 1);
    EXPECT_FLOAT_EQ(field.node(2, 0).density, 0);
    EXPECT_FLOAT_EQ(field.node(2, 1).density, 115 / 765.0f);

    // Corner mean exactly 0.25: still bare, and so are its corners.
    EXPECT_EQ(field.patch(0, 0).active, 0);
    EXPECT_FLOAT_EQ(field.patch(0, 0).density, 0);
    EXPECT_EQ(field.node(0, 0).active, 0);
    EXPECT_EQ(field.patch(1, 0).active, 0);
    EXPECT_EQ(field.patch(2, 0).active, 1);
    EXPECT_FLOAT_EQ(field.patch(2, 0).density, (2 + 115 / 765.0f) * 0.25f);
    EXPECT_EQ(field.node(2, 0).active, 1);  // corner of an active patch, even with density 0
    EXPECT_EQ(field.node(1, 1).active, 0);
}

TEST(GrassDensity, WhiteBlackAndMissingPictures)
{
    flatGround();
    const std::string white = writeBmp("grass_white.bmp", 8, 8, [](int, int) { return Rgb{255, 255, 255}; });
    const std::string black = writeBmp("grass_black.bmp", 8, 8, [](int, int) { return Rgb{0, 0, 0}; });
    GrassField field;
    const float area[4] = {0, 0, 10, 10};

    field.initField(area, 4, 4, white.c_str());
    for (const GrassPatch& p : field.patches) {
        EXPECT_EQ(p.active, 1);
        EXPECT_FLOAT_EQ(p.density, 1);
    }

    // Rebuilt over the same field: nothing of the white grid may survive.
    field.initField(area, 4, 4, black.c_str());
    for (const GrassPatch& p : field.patches) EXPECT_EQ(p.active, 0);
    for (const GrassNode& n : field.nodes) {
        EXPECT_EQ(n.active, 0);
        EXPECT_FLOAT_EQ(n.density, 0);
    }

    testing::internal::CaptureStdout();
    field.initField(area, 4, 4, "GrassData/no_such_map.bmp");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Warning:Texture: unable to load map GrassData/no_such_map.bmp;"), std::string::npos);
    for (const GrassPatch& p : field.patches) EXPECT_EQ(p.active, 1);
}

TEST(GrassDensity, DefaultMapHasMeadowSparsePatchesAndClearings)
{
    flatGround();
    GrassField field;
    const float area[4] = {0, 0, 100, 100};
    field.initField(area, 60, 60, "GrassData/densityMap1.bmp");
    int bare = 0, sparse = 0, dense = 0;
    for (const GrassPatch& p : field.patches) {
        if (!p.active) ++bare;
        else if (p.density < 0.7f) ++sparse;
        else ++dense;
    }
    EXPECT_GT(bare, 100);
    EXPECT_GT(sparse, 100);
    EXPECT_GT(dense, field.patchCount / 2);
    // The rock starts at the centre: grass there.
    EXPECT_EQ(field.patch(30, 30).active, 1);
}

TEST(GrassSettings, BladesPerPatchFollowsThePatchSize)
{
    flatGround();
    GrassField field;
    const float small[4] = {0, 0, 10, 10};
    field.initField(small, 20, 20, nullptr);
    field.texturesReady = true;
    field.setBladesPerSquareMetre(10);
    EXPECT_EQ(field.settings.bladesPerPatch, 0);  // trunc(10 · 0.5 · 0.5 · 0.1)
    EXPECT_FALSE(field.texturesReady);            // the next draw rebuilds them

    const float big[4] = {0, 0, 100, 100};
    field.initField(big, 60, 60, nullptr);
    EXPECT_EQ(field.settings.bladesPerPatch, 2);  // trunc(2.78)
    field.setBladesPerSquareMetre(100);
    EXPECT_EQ(field.settings.bladesPerPatch, 27);
}

TEST(GrassSettings, SettersWithSideEffects)
{
    flatGround();
    GrassField field;
    const float area[4] = {0, 0, 10, 10};
    field.initField(area, 2, 2, nullptr);
    field.setHeight(2);
    for (const GrassNode& n : field.nodes) {
        EXPECT_FLOAT_EQ(n.height, 2);
        EXPECT_FLOAT_EQ(n.currentHeight, 2);
    }
    field.initField(area, 3, 3, nullptr);
    EXPECT_FLOAT_EQ(field.node(3, 3).currentHeight, 2);

    field.setDistance3D(30);
    EXPECT_FLOAT_EQ(field.settings.distance3DNear, 19.8f);
    EXPECT_FLOAT_EQ(field.settings.inverse3D, 1 / 30.0f);
    EXPECT_FLOAT_EQ(field.settings.inverse3DNear, 1 / 19.8f);
    field.setDistance3D(0);
    field.setDistance2D5(0);
    EXPECT_FLOAT_EQ(field.settings.inverse3D, 1 / 30.0f);
    EXPECT_FLOAT_EQ(field.settings.inverse3DNear, 1 / 19.8f);
    EXPECT_FLOAT_EQ(field.settings.inverse2D5, 1);
    field.setDistance2D(50);
    EXPECT_FLOAT_EQ(field.settings.inverse2D, 0.02f);

    field.texturesReady = true;
    field.setWidth(0.02f);
    EXPECT_FALSE(field.texturesReady);
}

TEST(RandomTable, FilledFromTheGeneratorAndWraps)
{
    util::randomSeed(5);
    RandomTable a;
    a.fill();
    util::randomSeed(5);
    RandomTable b;
    b.fill();
    for (int k = 0; k < RandomTable::SIZE; ++k) {
        ASSERT_EQ(a.values[k], b.values[k]);
        ASSERT_GE(a.values[k], 0);
        ASSERT_LE(a.values[k], 1);
        // Draws of 0..32767 scaled by 1/32767: never a C-library rand() value.
        const float draw = a.values[k] * 32767;
        ASSERT_NEAR(draw, std::round(draw), 1e-2f);
    }

    a.setCursor(998);
    EXPECT_EQ(a.next(), a.values[999]);
    EXPECT_EQ(a.next(), a.values[0]);
    EXPECT_EQ(a.next(), a.values[1]);
    a.setCursor(1000);  // the largest start a patch can draw
    EXPECT_EQ(a.next(), a.values[0]);
}
