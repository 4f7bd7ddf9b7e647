// The ground's grid, heights, normals and scene section, without GL.
#include "ground/ground.h"
#include "ground/ground_section.h"
#include "pictures.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <cmath>

using namespace testing::internal;

namespace {

const float FIELD[4] = {0, 0, 100, 100};

void create(const float area[4], float maxHeight, int quads, const char* heightMap, const char* texture = "",
            float repeat = 8)
{
    createGround(area, maxHeight, quads, *heightMap ? picture(heightMap).c_str() : "",
                 *texture ? picture(texture).c_str() : "", repeat);
}

const GroundVertex& vertex(int c, int r) { return getGround().vertices[size_t(r) * (getGround().quadsPerSide + 1) + c]; }

} // namespace

TEST(Ground, CellCountsTakeTheTruncatedRoot)
{
    const int cases[][2] = {{-5, 1}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 2}, {399, 19}, {500, 22},
                            {2000000000, MAX_QUADS_PER_SIDE}};  // a hostile count is cut
    for (const auto& c : cases) {
        create(FIELD, 5, c[0], "");
        EXPECT_EQ(getGround().quadsPerSide, c[1]) << c[0];
        EXPECT_EQ(getGround().vertices.size(), size_t(c[1] + 1) * (c[1] + 1));
        EXPECT_EQ(groundQuadsNumber(), c[0]);
    }
    releaseGround();
    EXPECT_FALSE(isOnGround(50, 50));
    EXPECT_EQ(groundHeight(50, 50), 0);
}

TEST(Ground, MissingHeightMapGivesFlatGround)
{
    CaptureStdout();
    createGround(FIELD, 5, 400, "nowhere/missing.bmp", nullptr, 8);
    EXPECT_EQ(GetCapturedStdout(), "Creation du terrain.\n  heightmap : nowhere/missing.bmp\n"
                                   "  error chargement BMP code 1\n  heightmap not loaded\n");
    for (const GroundVertex& v : getGround().vertices) ASSERT_TRUE(v.z == 0 && v.nz == 1);
    EXPECT_EQ(groundTextureFile(), "");
}

TEST(Ground, HeightsAtVerticesCentresAndFarEdges)
{
    // two_by_two.bmp, bottom row 0 and 5 m, top row 2 and 3 m: only the far
    // edges of a 20x20 grid reach beyond the first pixel.
    create(FIELD, 5, 400, "two_by_two.bmp");
    EXPECT_FLOAT_EQ(vertex(19, 19).z, 0);
    EXPECT_FLOAT_EQ(vertex(20, 19).z, 5);
    EXPECT_FLOAT_EQ(vertex(0, 20).z, 2);
    EXPECT_FLOAT_EQ(vertex(20, 20).z, 3);
    EXPECT_FLOAT_EQ(groundHeight(95, 50), 0);
    EXPECT_FLOAT_EQ(groundHeight(100, 50), 5);
    EXPECT_FLOAT_EQ(groundHeight(100, 100), 3);
    // Cell (19, 19): z00 = 0, z10 = 5, z01 = 2, z11 = 3, split along (i, j)–(i+1, j+1).
    EXPECT_FLOAT_EQ(groundHeight(97.5f, 97.5f), 1.5f);
    EXPECT_FLOAT_EQ(groundHeight(96.25f, 98.75f), 0.5f * 2 + 0.25f * 3);
    EXPECT_FLOAT_EQ(groundHeight(98.75f, 96.25f), 0.5f * 5 + 0.25f * 3);
    EXPECT_TRUE(isOnGround(100, 100));
    EXPECT_EQ(groundHeight(100.01f, 50), 0);
    EXPECT_EQ(groundHeight(50, -0.01f), 0);
}

TEST(Ground, NormalsOnFlatAndSlopedGround)
{
    create(FIELD, 5, 400, "white.bmp");
    for (const GroundVertex& v : getGround().vertices) ASSERT_TRUE(v.z == 5 && v.nz == 1);
    // ramp.bmp on 4 cells per side: the plane z = x / 25.
    create(FIELD, 5, 16, "ramp.bmp");
    const float length = std::sqrt(1 + 0.04f * 0.04f);
    for (int r = 0; r <= 4; ++r)
        for (int c = 0; c <= 4; ++c) {
            ASSERT_FLOAT_EQ(vertex(c, r).z, float(c));
            EXPECT_NEAR(vertex(c, r).nx, -0.04f / length, 1e-6);
            EXPECT_NEAR(vertex(c, r).ny, 0, 1e-6);
        }
    EXPECT_FLOAT_EQ(groundHeight(60, 13), 2.4f);
}

TEST(Ground, DegenerateAreasAndLeftoverPixelsStaySafe)
{
    // Inverted x: nothing is on the ground, and the map lookup stays inside the picture.
    const float inverted[4] = {100, 0, 0, 100};
    create(inverted, 5, 400, "two_by_two.bmp");
    EXPECT_FLOAT_EQ(groundSizeX(), 1);
    EXPECT_FALSE(isOnGround(100, 50));
    // Zero extent: the line x = x0 is on the ground and has a finite height.
    const float line[4] = {10, 0, 10, 100};
    create(line, 5, 400, "white.bmp");
    EXPECT_FLOAT_EQ(groundHeight(10, 50), 5);
    for (const GroundVertex& v : getGround().vertices) ASSERT_TRUE(std::isfinite(v.nx));
    // A texture waiting for the next draw is not taken for the next ground's heights.
    create(FIELD, 5, 400, "", "white.bmp");
    create(FIELD, 5, 400, "");
    EXPECT_EQ(groundHeight(50, 50), 0);
}

// [SECTION] scene file section

namespace {

struct Section {
    xmlDocPtr doc;
    explicit Section(const std::string& ground)
        : doc(xmlReadMemory(("<velmora>" + ground + "</velmora>").c_str(), int(ground.size() + 19), "s.xml", nullptr, 0)) {}
    ~Section() { xmlFreeDoc(doc); }
    xmlNodePtr velmora() const { return xmlDocGetRootElement(doc); }
};

std::string attribute(xmlNodePtr element, const char* name)
{
    xmlChar* value = xmlGetProp(element, BAD_CAST name);
    const std::string text = value ? reinterpret_cast<const char*>(value) : "(none)";
    xmlFree(value);
    return text;
}

} // namespace

TEST(GroundSection, WriteAndReadBackFromTheOrigin)
{
    const float shifted[4] = {10, 10, 110, 110};
    create(shifted, 3.5f, 400, "two_by_two.bmp", "white.bmp", 6);
    Section written("");
    xmlNodePtr ground = writeGroundSection(written.velmora());
    EXPECT_EQ(ground->parent, written.velmora());
    EXPECT_EQ(attribute(ground, "area"), "0.000000 0.000000 100.000000 100.000000");
    EXPECT_EQ(attribute(ground, "max_height") + attribute(ground, "quads_number"), "3.500000400");
    EXPECT_EQ(attribute(ground, "height_map"), picture("two_by_two.bmp"));
    EXPECT_EQ(attribute(ground, "texture"), picture("white.bmp"));
    EXPECT_EQ(attribute(ground, "texture_repeat"), "6.000000");

    create(FIELD, 1, 9, "");
    EXPECT_TRUE(readGroundSection(written.velmora()));
    EXPECT_EQ(groundX0() + groundY0(), 0);
    EXPECT_EQ(groundX1() + groundY1(), 200);
    EXPECT_EQ(getGround().quadsPerSide, 20);
    EXPECT_EQ(groundTextureFile(), picture("white.bmp"));
    EXPECT_FLOAT_EQ(groundTextureRepeat(), 6);
    EXPECT_FLOAT_EQ(groundHeight(100, 50), 3.5f);  // rebuilt from the map
}

TEST(GroundSection, OnlyMaxHeightKeepsTheRestAndRebuilds)
{
    const float shifted[4] = {5, 5, 55, 65};
    create(shifted, 5, 100, "white.bmp", "colours.bmp", 4);
    Section section("<ground max_height=\"2.5\"/>");
    EXPECT_TRUE(readGroundSection(section.velmora()));
    EXPECT_EQ(groundX0() + groundY1(), 70);
    EXPECT_EQ(groundQuadsNumber(), 100);
    EXPECT_EQ(groundHeightMapFile(), picture("white.bmp"));
    EXPECT_EQ(groundTextureFile(), picture("colours.bmp"));
    EXPECT_FLOAT_EQ(groundHeight(30, 30), 2.5f);
}

TEST(GroundSection, PartialAndBadValues)
{
    create(FIELD, 5, 400, "");
    // Two area numbers replace x0 and y0 only; text that is not a finite number is 0.
    Section section("<ground area=\" 1.5  2 \" max_height=\"high\" quads_number=\"1e30\" texture_repeat=\"nan\"/>");
    EXPECT_TRUE(readGroundSection(section.velmora()->children));
    EXPECT_EQ(std::vector<float>({groundX0(), groundY0(), groundX1(), groundY1()}), std::vector<float>({1.5f, 2, 100, 100}));
    EXPECT_EQ(groundMaxHeight() + groundTextureRepeat(), 0);
    EXPECT_EQ(getGround().quadsPerSide, MAX_QUADS_PER_SIDE);
    // No "ground" element: nothing changes.
    EXPECT_FALSE(readGroundSection(Section("<wind/>").velmora()));
    EXPECT_FALSE(readGroundSection(nullptr));
    EXPECT_FLOAT_EQ(groundX0(), 1.5f);
}
