#include "grass/grass_field.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>

#include "grass/grass_drawing.h"
#include "tests/support/grass_scene.h"

namespace {

/// Makes a 24-bit grey BMP of w x h with ImageMagick; grey(x, y) counts y from the bottom row.
template <class Grey>
std::string writeBmp(const std::string& name, int w, int h, Grey grey)
{
    const std::string path = ::testing::TempDir() + name;
    std::ofstream pgm(path + ".pgm");
    pgm << "P2 " << w << ' ' << h << " 255\n";
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) pgm << grey(x, y) << ' ';
    pgm.close();
    EXPECT_EQ(std::system(("convert " + path + ".pgm -type TrueColor BMP3:" + path).c_str()), 0);
    return path;
}

const float GROUND[4] = {0, 0, 100, 100};

} // namespace

TEST(GrassFieldLayout, GridsIndexingLinksAndSettings)
{
    test_support::flatGround(GROUND);
    GrassField field;
    const float area[4] = {10, 20, 40, 35};
    field.initField(area, 3, 5, nullptr);
    EXPECT_EQ(field.getCrushPoints().size(), 7u * 11u);
    EXPECT_FLOAT_EQ(field.node(2, 4).skeleton.P0[1], 32);
    EXPECT_FLOAT_EQ(field.node(3, 0).x, 40);
    const GrassPatch& p = field.patch(1, 3);
    EXPECT_EQ(std::pair(p.corners[1], p.corners[2]), std::pair(&field.node(2, 3), &field.node(1, 4)));
    EXPECT_EQ(std::pair(p.crush[1], p.crush[8]), std::pair(&field.crushPoint(3, 6), &field.crushPoint(4, 8)));
    field.texturesBuilt();
    field.setBladesPerSquareMetre(10);
    EXPECT_EQ(field.getSettings().bladesPerPatch, 30);  // 10 per m² on 10 m × 3 m, a tenth
    EXPECT_FALSE(field.getTexturesReady());  // the next draw rebuilds them
    field.setDistance3D(30);
    field.setDistance3D(0);  // a zero distance keeps the last inverses
    EXPECT_FLOAT_EQ(field.getSettings().inverse3D, 1 / 30.0f);
    EXPECT_FLOAT_EQ(field.getSettings().inverse3DNear, 1 / 19.8f);
    field.setHeight(0.7f);  // also the height the skeletons bend with
    EXPECT_FLOAT_EQ(field.node(1, 1).currentHeight, 0.7f);

    // A narrow area widens to 1 m and patch counts stay in 1..999, the cut said in one line.
    const float narrow[4] = {5, 5, 5.5f, 5};
    field.initField(narrow, 0, -3, nullptr);
    float widened[4];
    field.getArea(widened);
    EXPECT_FLOAT_EQ(widened[2], 6);
    EXPECT_EQ(field.getPatchesX() + field.getPatchesY(), 2);
    testing::internal::CaptureStdout();
    field.initField(narrow, 1000, 2, nullptr);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(field.getCrushPoints().size(), 1999u * 5u);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
}

TEST(GrassFieldLayout, MaxGroundZIsTheHighestSampleAround)
{
    const float area[4] = {0, 0, 100, 100};
    const std::string slope = writeBmp("grass_slope.bmp", 64, 64, [](int x, int y) { return 2 * (x + 63 - y); });
    createGround(area, 5, 400, slope.c_str(), nullptr, 1);
    GrassField field;
    field.initField(area, 4, 4, nullptr);
    // Each patch around a node is sampled every 5 m from its corner, 20 m in
    // at most. The ground rises along x and falls along y: the highest sample
    // is the one farthest along x in the lower patch row.
    for (int i = 0; i <= 4; ++i)
        for (int j = 0; j <= 4; ++j)
            EXPECT_NEAR(field.node(i, j).maxGroundZ, groundHeight(25.0f * std::min(i, 3) + 20, 25.0f * std::max(j - 1, 0)), 1e-4f)
                << "node " << i << ", " << j;
}

TEST(GrassDensity, SamplingThresholdsAndPictures)
{
    test_support::flatGround(GROUND);
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
    EXPECT_EQ(field.patch(0, 0).active + field.node(0, 0).active + field.patch(1, 0).active, 0);
    EXPECT_EQ(field.node(2, 0).active, 1);  // corner of an active patch, though bare itself
    EXPECT_FLOAT_EQ(field.patch(2, 0).density, (2 + 39 / 255.0f) / 4);
    // Rebuilt with its own current name, as on a change of the ground.
    field.initField(area, 3, 1, field.getDensityMapFile());
    EXPECT_STREQ(field.getDensityMapFile(), path.c_str());
    EXPECT_EQ(field.patch(2, 0).active, 1);

    testing::internal::CaptureStdout();
    field.initField(area, 3, 1, "GrassData/no_such_map.bmp");
    EXPECT_NE(testing::internal::GetCapturedStdout().find("unable to load map GrassData/no_such_map.bmp;"),
              std::string::npos);
    for (const GrassPatch& p : field.getPatches()) EXPECT_EQ(p.active, 1);

    // x = 1.5 of 0..3 reads pixel trunc(0.5 × 3) of 4, 4 bytes a pixel when
    // it has alpha; points off the area read the border, not memory beyond it.
    Texture rgba;
    rgba.width = 4, rgba.height = 1, rgba.hasAlpha = 1;
    rgba.pixels = new unsigned char[16]{0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255};
    EXPECT_FLOAT_EQ(field.densityAt(1.5f, 0, rgba), 1);
    EXPECT_FLOAT_EQ(field.densityAt(1e9f, 1e9f, rgba), 1);
    EXPECT_FLOAT_EQ(field.densityAt(-1e9f, 0, rgba), 0);
}

TEST(RandomTable, Wraps)
{
    RandomTable a;
    a.fill();
    a.setCursor(1000);  // the largest start a patch can draw
    EXPECT_EQ(a.next(), a.values[0]);
}
