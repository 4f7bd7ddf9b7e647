// The ground's grid, heights, normals and scene section, without GL.
#include "ground/ground.h"
#include "ground/ground_state.h"
#include "ground/ground_section.h"
#include "pictures.h"

#include <gtest/gtest.h>
#include "tests/support/xml_text.h"

#include <cmath>
#include <tuple>

using namespace testing::internal;

namespace {

const float FIELD[4] = {0, 0, 100, 100};

void create(const float area[4], float maxHeight, int quads, const char* heightMap, const char* texture = "",
            float repeat = 8)
{
    createGround(area, maxHeight, quads, *heightMap ? picture(heightMap).c_str() : "",
                 *texture ? picture(texture).c_str() : "", repeat);
}

// "<velmora>" + `ground` + "</velmora>" as a document.
test_support::XmlDocument parse(const std::string& ground) { return test_support::parseXml("<velmora>" + ground + "</velmora>"); }

} // namespace

TEST(Ground, CellCountsTakeTheTruncatedRoot)
{
    const int cases[][2] = {{-5, 1}, {3, 1}, {4, 2}, {399, 19}, {2000000000, MAX_QUADS_PER_SIDE}};
    for (const auto& [quads, side] : cases) {
        create(FIELD, 5, quads, "");
        EXPECT_EQ(groundState().quadsPerSide, side) << quads;
    }
}

TEST(Ground, HeightsAtVerticesCentresAndFarEdges)
{
    // two_by_two.bmp: bottom row 0 and 5 m, top row 2 and 3 m; only the far edges reach past the first pixel.
    create(FIELD, 5, 400, "two_by_two.bmp");
    EXPECT_FLOAT_EQ(groundHeight(100, 50), 5);
    EXPECT_FLOAT_EQ(groundHeight(100, 100), 3);
    // Cell (19, 19): z00 = 0, z10 = 5, z01 = 2, z11 = 3, split along (i, j)–(i+1, j+1).
    EXPECT_FLOAT_EQ(groundHeight(96.25f, 98.75f), 0.5f * 2 + 0.25f * 3);
    EXPECT_FLOAT_EQ(groundHeight(98.75f, 96.25f), 0.5f * 5 + 0.25f * 3);
}

TEST(Ground, NormalsOfARampAndOfABump)
{
    // ramp.bmp on 4 cells per side: the plane z = x / 25.
    create(FIELD, 5, 16, "ramp.bmp");
    const float length = std::sqrt(1 + 0.04f * 0.04f);
    for (const GroundVertex& v : groundState().vertices) {
        ASSERT_NEAR(v.z, v.x / 25, 1e-5f) << v.x;
        ASSERT_NEAR(v.nx, -0.04f / length, 1e-6f) << v.x;
        ASSERT_NEAR(v.ny, 0, 1e-6f) << v.x;
    }
    // bump.bmp on 2 cells of 50 m: only vertex (1, 0) is 5 m high. The centre's four
    // triangles give (0, 500, 10000); the corner (2, 0) has one, giving (250, 0, 2500).
    create(FIELD, 5, 4, "bump.bmp");
    const GroundVertex &centre = groundState().vertices[4], &corner = groundState().vertices[2];
    EXPECT_NEAR(centre.ny, 0.05f / std::sqrt(1.0025f), 1e-5f);
    EXPECT_NEAR(centre.nx, 0, 1e-6f);
    EXPECT_NEAR(corner.nx, 0.1f / std::sqrt(1.01f), 1e-5f);
    EXPECT_GT(corner.nz, 0);
    // Heights sum the three channels: colours.bmp's red and green corners are a third of the way up.
    create(FIELD, 6, 4, "colours.bmp");
    EXPECT_TRUE(groundHeight(0, 0) == 2.0f && groundHeight(100, 0) == 2.0f) << groundHeight(0, 0) << " " << groundHeight(100, 0);
}

TEST(Ground, MissingMapsDegenerateAreasAndLeftoverPixelsStaySafe)
{
    CaptureStdout();
    createGround(FIELD, 5, 400, "nowhere/missing.bmp", nullptr, 8);
    EXPECT_EQ(GetCapturedStdout(), "Creation du terrain.\n  heightmap : nowhere/missing.bmp\n"
                                   "  error chargement BMP code 1\n  heightmap not loaded\n");
    for (const GroundVertex& v : groundState().vertices) ASSERT_EQ(std::tuple(v.z, v.nz), std::tuple(0.0f, 1.0f));
    // Inverted x: nothing is on the ground, and the map lookup stays inside the picture.
    const float inverted[4] = {100, 0, 0, 100}, line[4] = {10, 0, 10, 100};
    create(inverted, 5, 400, "two_by_two.bmp");
    EXPECT_FALSE(isOnGround(100, 50));
    // Zero extent: the line x = x0 is on the ground and has a finite height.
    create(line, 5, 400, "white.bmp");
    EXPECT_FLOAT_EQ(groundHeight(10, 50), 5);
    for (const GroundVertex& v : groundState().vertices) ASSERT_TRUE(std::isfinite(v.nx));
    // A texture waiting for the next draw is not taken for the next ground's heights.
    create(FIELD, 5, 400, "", "white.bmp");
    create(FIELD, 5, 400, "");
    EXPECT_EQ(groundHeight(50, 50), 0);
}

TEST(GroundSection, WrittenFromTheOriginAndReadWithPartialOrBadValues)
{
    const float shifted[4] = {10, 10, 110, 90};
    create(shifted, 3.5f, 400, "two_by_two.bmp", "white.bmp", 6);
    const auto written = parse("");
    const xmlNodePtr velmora = xmlDocGetRootElement(written.get());
    EXPECT_EQ(test_support::xmlText(writeGroundSection(velmora)),
              "<ground area=\"0.000000 0.000000 100.000000 80.000000\" max_height=\"3.500000\" quads_number=\"400\" "
              "height_map=\"" + picture("two_by_two.bmp") + "\" texture=\"" + picture("white.bmp")
                  + "\" texture_repeat=\"6.000000\"/>");
    create(FIELD, 1, 9, "");
    EXPECT_TRUE(readGroundSection(velmora));
    EXPECT_EQ(std::tuple(groundHeight(100, 40), groundState().vertices.back().y, groundHeightMapFile()),
              std::tuple(3.5f, 80.0f, picture("two_by_two.bmp")));  // rebuilt from the map

    // Two area numbers replace x0 and y0 only; text that is not a number is 0;
    // what is not given, or no float holds, stays.
    const auto partial = parse("<ground area=\" 1.5  2 \" max_height=\"high\" quads_number=\"1e30\" texture_repeat=\"nan\"/>");
    EXPECT_TRUE(readGroundSection(xmlDocGetRootElement(partial.get())->children));
    EXPECT_EQ(std::vector<float>({groundX0(), groundY0(), groundX1(), groundY1()}),
              std::vector<float>({1.5f, 2, 100, 80}));
    EXPECT_EQ(std::tuple(groundMaxHeight(), groundTextureRepeat(), groundState().quadsPerSide), std::tuple(0.0f, 6.0f, MAX_QUADS_PER_SIDE));
    EXPECT_EQ(groundHeightMapFile() + groundTextureFile(), picture("two_by_two.bmp") + picture("white.bmp"));
    // No "ground" element: nothing changes.
    EXPECT_FALSE(readGroundSection(xmlDocGetRootElement(parse("<wind/>").get())));
    EXPECT_FALSE(readGroundSection(nullptr));
    EXPECT_FLOAT_EQ(groundX0(), 1.5f);
}
