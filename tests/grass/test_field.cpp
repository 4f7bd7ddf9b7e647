#include "grass/grass_field.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "ground/ground.h"

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
    EXPECT_EQ(field.crushPoints.size(), 7u * 11u);
    EXPECT_FLOAT_EQ(field.node(2, 4).skeleton.P0[1], 32);
    const GrassPatch& p = field.patch(1, 3);
    EXPECT_EQ(p.corners[1], &field.node(2, 3));
    EXPECT_EQ(p.corners[2], &field.node(1, 4));
    EXPECT_EQ(p.crush[8], &field.crushPoint(4, 8));

    // A narrow area widens to 1 m and patch counts stay in 1..999, the cut said in one line.
    const float narrow[4] = {5, 5, 5.5f, 5};
    field.initField(narrow, 0, -3, nullptr);
    EXPECT_FLOAT_EQ(field.area[2], 6);
    EXPECT_EQ(field.patchesX + field.patchesY, 2);
    testing::internal::CaptureStdout();
    field.initField(narrow, 1000, 2, nullptr);
    const std::string out = testing::internal::GetCapturedStdout();
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
    EXPECT_EQ(field.patch(0, 0).active + field.node(0, 0).active + field.patch(1, 0).active, 0);
    EXPECT_EQ(field.node(2, 0).active, 1);  // corner of an active patch, though bare itself
    // Rebuilt with its own current name, as on a change of the ground.
    field.initField(area, 3, 1, field.getDensityMapFile());
    EXPECT_STREQ(field.getDensityMapFile(), path.c_str());
    EXPECT_EQ(field.patch(2, 0).active, 1);

    testing::internal::CaptureStdout();
    field.initField(area, 3, 1, "GrassData/no_such_map.bmp");
    EXPECT_NE(testing::internal::GetCapturedStdout().find("unable to load map GrassData/no_such_map.bmp;"),
              std::string::npos);
    for (const GrassPatch& p : field.patches) EXPECT_EQ(p.active, 1);

    // Points off the area read the border, not memory beyond the picture;
    // a picture with alpha is read 4 bytes per pixel.
    Texture rgba;
    rgba.width = 2, rgba.height = 1, rgba.hasAlpha = 1;
    rgba.pixels = new unsigned char[8]{0, 0, 0, 255, 102, 102, 102, 0};  // read 3 bytes a pixel, the second would be 0.6
    EXPECT_FLOAT_EQ(field.densityAt(1e9f, 1e9f, rgba), 0.4f);
    EXPECT_FLOAT_EQ(field.densityAt(-1e9f, 0, rgba), 0);
}

TEST(GrassSettings, ChangesThatReachTheTexturesOrTheInverses)
{
    flatGround();
    GrassField field;
    const float big[4] = {0, 0, 100, 100};
    field.initField(big, 60, 60, nullptr);
    field.texturesReady = true;
    field.setBladesPerSquareMetre(10);
    EXPECT_FALSE(field.texturesReady);  // the next draw rebuilds them
    field.setDistance3D(30);
    field.setDistance3D(0);  // a zero distance keeps the last inverses
    EXPECT_FLOAT_EQ(field.settings.inverse3D, 1 / 30.0f);
    EXPECT_FLOAT_EQ(field.settings.inverse3DNear, 1 / 19.8f);
}

TEST(RandomTable, Wraps)
{
    RandomTable a;
    a.fill();
    a.setCursor(1000);  // the largest start a patch can draw
    EXPECT_EQ(a.next(), a.values[0]);
}
