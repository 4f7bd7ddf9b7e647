// The ground's grid, heights, normals and scene section, without GL.
#include "ground/ground.h"
#include "ground/ground_section.h"
#include "pictures.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <cmath>
#include <string>

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

const float FIELD[4] = {0, 0, 100, 100};

void create(const float area[4], float maxHeight, int quads, const std::string& heightMap,
            const std::string& texture = "", float repeat = 8)
{
    const std::string map = heightMap.empty() ? "" : picture(heightMap);
    const std::string tex = texture.empty() ? "" : picture(texture);
    createGround(area, maxHeight, quads, map.c_str(), tex.c_str(), repeat);
}

const GroundVertex& vertex(int c, int r)
{
    const Ground& g = getGround();
    return g.vertices[size_t(r) * (g.quadsPerSide + 1) + c];
}

} // namespace

TEST(Ground, CellCountsTakeTheTruncatedRoot)
{
    const struct {
        int requested, perSide;
    } cases[] = {{-5, 1}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 2}, {399, 19}, {400, 20}, {500, 22}};
    for (const auto& c : cases) {
        create(FIELD, 5, c.requested, "");
        EXPECT_EQ(getGround().quadsPerSide, c.perSide) << c.requested;
        EXPECT_EQ(getGround().vertices.size(), size_t(c.perSide + 1) * (c.perSide + 1));
        EXPECT_EQ(groundQuadsNumber(), c.requested);
    }
    // A hostile count is cut rather than allocating billions of vertices.
    create(FIELD, 5, 2000000000, "");
    EXPECT_EQ(getGround().quadsPerSide, MAX_QUADS_PER_SIDE);
    EXPECT_EQ(groundQuadsNumber(), 2000000000);
}

TEST(Ground, NothingBeforeCreationAndAfterRelease)
{
    create(FIELD, 5, 400, "white.bmp");
    releaseGround();
    EXPECT_FALSE(isOnGround(50, 50));
    EXPECT_EQ(groundHeight(50, 50), 0);
    EXPECT_TRUE(getGround().vertices.empty());
}

TEST(Ground, CreationMessagesAndFlatGroundWithoutMap)
{
    CaptureStdout();
    createGround(FIELD, 5, 400, "nowhere/missing.bmp", nullptr, 8);
    EXPECT_EQ(GetCapturedStdout(), "Creation du terrain.\n  heightmap : nowhere/missing.bmp\n"
                                   "  error chargement BMP code 1\n  heightmap not loaded\n");
    for (const GroundVertex& v : getGround().vertices) {
        ASSERT_EQ(v.z, 0);
        ASSERT_EQ(v.nz, 1);
    }
    EXPECT_EQ(groundHeightMapFile(), "nowhere/missing.bmp");
    EXPECT_EQ(groundTextureFile(), "");
}

TEST(Ground, TwoByTwoMapReachesOtherPixelsOnlyOnFarEdges)
{
    CaptureStdout();
    create(FIELD, 5, 400, "two_by_two.bmp");
    EXPECT_NE(GetCapturedStdout().find("  heightmap loaded\n"), std::string::npos);
    EXPECT_FLOAT_EQ(vertex(0, 0).z, 0);
    EXPECT_FLOAT_EQ(vertex(19, 19).z, 0);
    EXPECT_FLOAT_EQ(vertex(20, 0).z, 5);   // white
    EXPECT_FLOAT_EQ(vertex(20, 19).z, 5);
    EXPECT_FLOAT_EQ(vertex(0, 20).z, 2);   // the picture's second row lies at y1
    EXPECT_FLOAT_EQ(vertex(20, 20).z, 3);
    EXPECT_FLOAT_EQ(vertex(20, 20).x, 100);
    EXPECT_FLOAT_EQ(vertex(20, 20).y, 100);
}

TEST(Ground, HeightQueryFollowsTheDiagonalTriangles)
{
    create(FIELD, 5, 400, "two_by_two.bmp");
    // At vertices, the vertex height.
    EXPECT_FLOAT_EQ(groundHeight(95, 50), 0);
    EXPECT_FLOAT_EQ(groundHeight(100, 50), 5);
    EXPECT_FLOAT_EQ(groundHeight(100, 100), 3);  // far corner: the last cell
    EXPECT_FLOAT_EQ(groundHeight(0, 100), 2);
    // Cell (19, 10): z00 = z01 = 0, z10 = z11 = 5. The centre lies on the diagonal.
    EXPECT_FLOAT_EQ(groundHeight(97.5f, 52.5f), 2.5f);
    EXPECT_FLOAT_EQ(groundHeight(96.25f, 53.75f), 1.25f);  // u < v: upper-left triangle
    EXPECT_FLOAT_EQ(groundHeight(98.75f, 51.25f), 3.75f);  // u > v
    // Cell (19, 19): z00 = 0, z10 = 5, z01 = 2, z11 = 3.
    EXPECT_FLOAT_EQ(groundHeight(97.5f, 97.5f), 1.5f);
    EXPECT_FLOAT_EQ(groundHeight(96.25f, 98.75f), 0.25f * 0 + 0.5f * 2 + 0.25f * 3);
    EXPECT_FLOAT_EQ(groundHeight(98.75f, 96.25f), 0.25f * 0 + 0.5f * 5 + 0.25f * 3);
    // Bounds are included; just outside is 0.
    EXPECT_TRUE(isOnGround(100, 100));
    EXPECT_FALSE(isOnGround(100.01f, 50));
    EXPECT_EQ(groundHeight(100.01f, 50), 0);
    EXPECT_EQ(groundHeight(50, -0.01f), 0);
}

TEST(Ground, NormalsOnFlatAndSlopedGround)
{
    create(FIELD, 5, 400, "white.bmp");
    for (const GroundVertex& v : getGround().vertices) {
        ASSERT_FLOAT_EQ(v.z, 5);
        ASSERT_FLOAT_EQ(v.nz, 1);
    }
    EXPECT_FLOAT_EQ(groundHeight(33.3f, 71.1f), 5);

    // ramp.bmp on 4 cells per side: z = x / 25, a plane rising along x.
    create(FIELD, 5, 16, "ramp.bmp");
    const float length = std::sqrt(1 + 0.04f * 0.04f);
    for (int r = 0; r <= 4; ++r)
        for (int c = 0; c <= 4; ++c) {
            const GroundVertex& v = vertex(c, r);
            ASSERT_FLOAT_EQ(v.z, float(c));
            EXPECT_NEAR(v.nx, -0.04f / length, 1e-6) << c << "," << r;
            EXPECT_NEAR(v.ny, 0, 1e-6);
            EXPECT_NEAR(v.nz, 1 / length, 1e-6);
        }
    EXPECT_FLOAT_EQ(groundHeight(60, 13), 2.4f);
}

TEST(Ground, DegenerateAreasStaySafe)
{
    // Inverted x: the extent becomes 1 and nothing is on the ground; the map
    // lookup must still stay inside the picture.
    const float inverted[4] = {100, 0, 0, 100};
    create(inverted, 5, 400, "two_by_two.bmp");
    EXPECT_FLOAT_EQ(groundSizeX(), 1);
    EXPECT_FALSE(isOnGround(50, 50));
    EXPECT_FALSE(isOnGround(100, 50));
    for (const GroundVertex& v : getGround().vertices) ASSERT_TRUE(std::isfinite(v.z) && std::isfinite(v.nz));

    // Zero extent along x: the line x = x0 is on the ground and has a height.
    const float line[4] = {10, 0, 10, 100};
    create(line, 5, 400, "white.bmp");
    EXPECT_FLOAT_EQ(groundSizeX(), 0);
    EXPECT_TRUE(isOnGround(10, 50));
    EXPECT_FLOAT_EQ(groundHeight(10, 50), 5);
    for (const GroundVertex& v : getGround().vertices) ASSERT_TRUE(std::isfinite(v.nx) && std::isfinite(v.nz));
}

TEST(Ground, TextureOfAnEarlierGroundIsNotTakenForHeights)
{
    // The texture stays in memory until the next draw; a new ground without a
    // height map must still be flat.
    create(FIELD, 5, 400, "", "white.bmp");
    EXPECT_NE(getGround().image.pixels, nullptr);
    create(FIELD, 5, 400, "");
    EXPECT_EQ(groundHeight(50, 50), 0);
    EXPECT_EQ(getGround().image.pixels, nullptr);
}

// [SECTION] scene file section

namespace {

/// A "velmora" element holding `ground`, parsed from text.
struct Section {
    xmlDocPtr doc;
    explicit Section(const std::string& ground)
    {
        const std::string text = "<velmora>" + ground + "</velmora>";
        doc = xmlReadMemory(text.c_str(), int(text.size()), "section.xml", nullptr, 0);
    }
    ~Section() { xmlFreeDoc(doc); }
    xmlNodePtr velmora() const { return xmlDocGetRootElement(doc); }
};

std::string attribute(xmlNodePtr element, const char* name)
{
    xmlChar* value = xmlGetProp(element, BAD_CAST name);
    std::string text = value ? reinterpret_cast<const char*>(value) : "(none)";
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
    ASSERT_EQ(ground->parent, written.velmora());
    EXPECT_EQ(attribute(ground, "area"), "0.000000 0.000000 100.000000 100.000000");
    EXPECT_EQ(attribute(ground, "max_height"), "3.500000");
    EXPECT_EQ(attribute(ground, "quads_number"), "400");
    EXPECT_EQ(attribute(ground, "height_map"), picture("two_by_two.bmp"));
    EXPECT_EQ(attribute(ground, "texture"), picture("white.bmp"));
    EXPECT_EQ(attribute(ground, "texture_repeat"), "6.000000");

    create(FIELD, 1, 9, "");
    EXPECT_TRUE(readGroundSection(written.velmora()));
    EXPECT_EQ(groundX0(), 0);
    EXPECT_EQ(groundX1(), 100);
    EXPECT_EQ(groundY1(), 100);
    EXPECT_FLOAT_EQ(groundMaxHeight(), 3.5f);
    EXPECT_EQ(groundQuadsNumber(), 400);
    EXPECT_EQ(getGround().quadsPerSide, 20);
    EXPECT_EQ(groundHeightMapFile(), picture("two_by_two.bmp"));
    EXPECT_EQ(groundTextureFile(), picture("white.bmp"));
    EXPECT_FLOAT_EQ(groundTextureRepeat(), 6);
    EXPECT_FLOAT_EQ(groundHeight(100, 50), 3.5f);  // rebuilt from the map
}

TEST(GroundSection, OnlyMaxHeightKeepsTheRestAndRebuilds)
{
    const float shifted[4] = {5, 5, 55, 65};
    create(shifted, 5, 100, "white.bmp", "colours.bmp", 4);
    Section section("<ground max_height=\"2.5\"/>");
    CaptureStdout();
    EXPECT_TRUE(readGroundSection(section.velmora()));
    EXPECT_NE(GetCapturedStdout().find("Creation du terrain."), std::string::npos);
    EXPECT_EQ(groundX0(), 5);
    EXPECT_EQ(groundY1(), 65);
    EXPECT_EQ(groundQuadsNumber(), 100);
    EXPECT_EQ(groundHeightMapFile(), picture("white.bmp"));
    EXPECT_EQ(groundTextureFile(), picture("colours.bmp"));
    EXPECT_FLOAT_EQ(groundTextureRepeat(), 4);
    EXPECT_FLOAT_EQ(groundHeight(30, 30), 2.5f);
}

TEST(GroundSection, PartialAndBadValues)
{
    create(FIELD, 5, 400, "");
    // Two area numbers replace x0 and y0 only; text that is not a number is 0.
    Section section("<ground area=\" 1.5  2 \" max_height=\"high\" quads_number=\"1e30\" texture_repeat=\"nan\" other=\"x\"/>");
    EXPECT_TRUE(readGroundSection(section.velmora()->children));
    EXPECT_FLOAT_EQ(groundX0(), 1.5f);
    EXPECT_FLOAT_EQ(groundY0(), 2);
    EXPECT_FLOAT_EQ(groundX1(), 100);
    EXPECT_FLOAT_EQ(groundY1(), 100);
    EXPECT_EQ(groundMaxHeight(), 0);
    EXPECT_EQ(groundTextureRepeat(), 0);
    EXPECT_EQ(getGround().quadsPerSide, MAX_QUADS_PER_SIDE);

    // No "ground" element: nothing changes.
    Section empty("<wind/>");
    EXPECT_FALSE(readGroundSection(empty.velmora()));
    EXPECT_FALSE(readGroundSection(nullptr));
    EXPECT_FLOAT_EQ(groundX0(), 1.5f);
}
