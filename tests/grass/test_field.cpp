#include "grass/grass_field.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "ground/ground.h"
#include "util/random.h"

namespace {

/// Writes a 24-bit grey BMP of w x h (w a multiple of 4); grey(x, y) counts y from the bottom row.
template <class Grey>
std::string writeBmp(const std::string& name, int w, int h, Grey grey)
{
    std::vector<unsigned char> f(54 + size_t(w) * h * 3, 0);
    const uint32_t fields[][2] = {{2, uint32_t(f.size())}, {10, 54}, {14, 40}, {18, uint32_t(w)}, {22, uint32_t(h)}};
    for (const auto& fv : fields)
        for (int k = 0; k < 4; ++k) f[fv[0] + k] = (fv[1] >> (8 * k)) & 0xFF;
    f[0] = 'B', f[1] = 'M', f[26] = 1, f[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) std::fill_n(&f[54 + (size_t(y) * w + x) * 3], 3, grey(x, y));
    const std::string path = ::testing::TempDir() + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(f.data(), 1, f.size(), file);
    std::fclose(file);
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
    EXPECT_EQ(field.nodeCount, 24);
    EXPECT_EQ(field.patchCount, 15);
    EXPECT_EQ(field.crushPoints.size(), 7u * 11u);
    EXPECT_FLOAT_EQ(field.node(2, 4).x, 30);
    EXPECT_FLOAT_EQ(field.node(2, 4).skeleton.P0[1], 32);
    EXPECT_FLOAT_EQ(field.crushPoint(5, 7).x, 35);
    EXPECT_FLOAT_EQ(field.crushPoint(5, 7).y, 30.5f);

    const GrassPatch& p = field.patch(1, 3);
    EXPECT_EQ(p.corners[1], &field.node(2, 3));
    EXPECT_EQ(p.corners[2], &field.node(1, 4));
    for (int b = 0; b < 3; ++b)
        for (int a = 0; a < 3; ++a) EXPECT_EQ(p.crush[a + 3 * b], &field.crushPoint(2 + a, 6 + b));
    // No density picture: every patch grows.
    for (const GrassPatch& q : field.patches) EXPECT_FLOAT_EQ(q.density, 1);
}

TEST(GrassFieldLayout, NarrowAreaAndPatchCountsAreClamped)
{
    flatGround();
    GrassField field;
    const float narrow[4] = {5, 5, 5.5f, 5};
    field.initField(narrow, 0, -3, nullptr);
    EXPECT_FLOAT_EQ(field.area[2], 6);
    EXPECT_FLOAT_EQ(field.area[3], 6);
    EXPECT_EQ(field.patchesX, 1);
    EXPECT_EQ(field.patchesY, 1);

    // Above the dialog's maximum: lowered, with one line saying so.
    testing::internal::CaptureStdout();
    field.initField(narrow, 1000, 2, nullptr);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(field.patchesX, 999);
    EXPECT_EQ(field.crushPoints.size(), 1999u * 5u);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
}

TEST(GrassFieldLayout, MaxGroundZIsTheHighestSampleAround)
{
    const std::string ramp = writeBmp("grass_ramp.bmp", 64, 4, [](int x, int) { return x * 4; });
    const float area[4] = {0, 0, 100, 100};
    createGround(area, 5, 400, ramp.c_str(), nullptr, 1);
    GrassField field;
    field.initField(area, 4, 4, nullptr);
    // The ground rises along x: the highest sample is in the patch on the
    // high side, a fifth of a patch short of the next node.
    for (int i = 0; i <= 4; ++i) {
        const GrassNode& n = field.node(i, 2);
        const float x = i < 4 ? n.x + 0.8f * field.patchSizeX : n.x - 0.2f * field.patchSizeX;
        EXPECT_NEAR(n.maxGroundZ, groundHeight(x, n.y), 1e-4f) << "node " << i;
    }
}

TEST(GrassDensity, SamplingThresholdsAndPictures)
{
    flatGround();
    GrassField field;
    const float area[4] = {0, 0, 3, 1};
    // Node (i, j) of a 3 x 1 field over this area reads pixel (i, j).
    const std::string path = writeBmp("grass_thresholds.bmp", 4, 2, [](int x, int y) {
        if ((x == 0 && y == 0) || x == 3) return 255;
        if (x == 2) return y == 0 ? 38 : 39;  // 0.149 goes bare, 0.153 stays
        return 0;
    });
    field.initField(area, 3, 1, path.c_str());
    EXPECT_FLOAT_EQ(field.node(2, 0).density, 0);
    EXPECT_FLOAT_EQ(field.node(2, 1).density, 39 / 255.0f);
    // Corner mean exactly 0.25: bare, and its corners with it.
    EXPECT_EQ(field.patch(0, 0).active, 0);
    EXPECT_EQ(field.node(0, 0).active, 0);
    EXPECT_EQ(field.patch(1, 0).active, 0);
    EXPECT_EQ(field.patch(2, 0).active, 1);
    EXPECT_FLOAT_EQ(field.patch(2, 0).density, (2 + 39 / 255.0f) * 0.25f);
    EXPECT_EQ(field.node(2, 0).active, 1);  // corner of an active patch, though bare itself
    // Rebuilt with its own current name, as on a change of the ground.
    field.initField(area, 3, 1, field.getDensityMapFile());
    EXPECT_STREQ(field.getDensityMapFile(), path.c_str());
    EXPECT_EQ(field.patch(2, 0).active, 1);

    // Black after white over the same field: nothing of the old grid survives.
    field.initField(area, 3, 1, writeBmp("grass_white.bmp", 8, 8, [](int, int) { return 255; }).c_str());
    for (const GrassPatch& p : field.patches) EXPECT_FLOAT_EQ(p.density, 1);
    field.initField(area, 3, 1, writeBmp("grass_black.bmp", 8, 8, [](int, int) { return 0; }).c_str());
    for (const GrassNode& n : field.nodes) EXPECT_EQ(n.active, 0);

    testing::internal::CaptureStdout();
    field.initField(area, 3, 1, "GrassData/no_such_map.bmp");
    EXPECT_NE(testing::internal::GetCapturedStdout().find("unable to load map GrassData/no_such_map.bmp;"),
              std::string::npos);
    for (const GrassPatch& p : field.patches) EXPECT_EQ(p.active, 1);

    // Points off the area read the border, not memory beyond the picture;
    // a picture with alpha is read 4 bytes per pixel.
    Texture rgba;
    rgba.width = 2, rgba.height = 1, rgba.hasAlpha = 1;
    rgba.pixels = new unsigned char[8]{0, 0, 0, 255, 255, 255, 255, 0};
    EXPECT_FLOAT_EQ(field.densityAt(1e9f, 1e9f, rgba), 1);
    EXPECT_FLOAT_EQ(field.densityAt(-1e9f, 0, rgba), 0);
}

TEST(GrassDensity, DefaultMapShowsVariety)
{
    flatGround();
    GrassField field;
    const float area[4] = {0, 0, 100, 100};
    field.initField(area, 60, 60, "GrassData/densityMap1.bmp");
    int bare = 0, sparse = 0;
    for (const GrassPatch& p : field.patches) {
        bare += !p.active;
        sparse += p.active && p.density < 0.7f;
    }
    EXPECT_GT(bare, 100);
    EXPECT_GT(sparse, 100);
    EXPECT_LT(bare + sparse, field.patchCount / 2);
    EXPECT_EQ(field.patch(30, 30).active, 1);  // the rock starts in grass
}

TEST(GrassSettings, DerivedValues)
{
    flatGround();
    GrassField field;
    const float small[4] = {0, 0, 10, 10}, big[4] = {0, 0, 100, 100};
    field.initField(small, 20, 20, nullptr);
    field.texturesReady = true;
    field.setBladesPerSquareMetre(10);
    EXPECT_EQ(field.settings.bladesPerPatch, 0);  // trunc(10 · 0.5 · 0.5 · 0.1)
    EXPECT_FALSE(field.texturesReady);            // the next draw rebuilds them
    field.setHeight(2);
    field.initField(big, 60, 60, nullptr);
    EXPECT_EQ(field.settings.bladesPerPatch, 2);  // trunc(2.78)
    EXPECT_FLOAT_EQ(field.node(60, 60).currentHeight, 2);

    field.setDistance3D(30);
    field.setDistance3D(0);  // a zero distance keeps the last inverses
    EXPECT_FLOAT_EQ(field.settings.inverse3D, 1 / 30.0f);
    EXPECT_FLOAT_EQ(field.settings.inverse3DNear, 1 / 19.8f);
}

TEST(RandomTable, DeterministicInRangeAndWraps)
{
    util::randomSeed(5);
    RandomTable a;
    a.fill();
    util::randomSeed(5);
    RandomTable b;
    b.fill();
    EXPECT_TRUE(std::equal(a.values, a.values + RandomTable::SIZE, b.values));
    EXPECT_GE(*std::min_element(a.values, a.values + RandomTable::SIZE), 0);
    EXPECT_LE(*std::max_element(a.values, a.values + RandomTable::SIZE), 1);
    a.setCursor(998);
    EXPECT_EQ(a.next(), a.values[999]);
    EXPECT_EQ(a.next(), a.values[0]);
    a.setCursor(1000);  // the largest start a patch can draw
    EXPECT_EQ(a.next(), a.values[0]);
}
