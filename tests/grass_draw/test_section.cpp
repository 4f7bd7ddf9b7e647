// The "grass" element of the scene file.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "grass/grass_section.h"
#include "tests/support/xml_text.h"

namespace {

/// Reads sections into a 5 × 4 field over 10 m × 8 m.
class Section : public ::testing::Test {
protected:
    test_support::XmlDocument doc{nullptr, xmlFreeDoc};
    GrassField field;

    void SetUp() override
    {
        const float area[4] = {0, 0, 10, 8};
        field.initField(area, 5, 4, nullptr);
    }
    xmlNodePtr parse(const std::string& xml)
    {
        doc = test_support::parseXml(xml);
        return xmlDocGetRootElement(doc.get());
    }
    bool read(const std::string& attributes)
    {
        testing::internal::CaptureStdout();  // the blade picture reloads warn
        const bool ok = readGrassSection(field, parse("<velmora><grass " + attributes + "/></velmora>"));
        testing::internal::GetCapturedStdout();
        return ok;
    }
};

} // namespace

TEST_F(Section, ReadThenWrittenGivesBackEveryAttribute)
{
    const std::string attributes =
        "area=\"1.500000 2.000000 51.250000 40.000000\" grass_height=\"1.250000\" grass_width=\"0.030000\" "
        "noise_positions=\"0.100000\" noise_normals=\"0.200000\" patches_number=\"7 3\" lod_3D=\"4 12.500000\" "
        "lod_2D5=\"2 30.250000\" lod_2D=\"1 70.000000\" density_map=\"GrassData/none.bmp\" "
        "number_squaremeters=\"30\" crushing_maxtime=\"15.000000\" crushing_damping=\"1.500000\" "
        "ajustment_height_2D5=\"false\" texture3D=\"true\" file_texture3D=\"GrassData/missing.tga\" "
        "antialiasing_texture3D=\"0.300000\" antialiasing_texture2D5=\"0.700000\" graine_texture2D5=\"42\" "
        "sizex_texture2D5=\"1024\" sizey_texture2D5=\"128\"";
    ASSERT_TRUE(read(attributes));
    const test_support::XmlDocument out = test_support::parseXml("<velmora/>");
    EXPECT_EQ(test_support::xmlText(writeGrassSection(field, xmlDocGetRootElement(out.get()))), "<grass " + attributes + "/>");
}

TEST_F(Section, AbsentAttributesKeepTheirValuesAndTheGridIsRebuilt)
{
    field.setHeight(0.5f);
    EXPECT_FALSE(readGrassSection(field, parse("<velmora><ground max_height=\"3\"/></velmora>")));
    EXPECT_FLOAT_EQ(field.getHeight(), 0.5f);

    float area[4];
    field.getArea(area);
    field.initField(area, field.getPatchesX(), field.getPatchesY(), "GrassData/none.bmp");
    field.crushPoint(3, 3).crushed = 1;
    ASSERT_TRUE(read("grass_height=\"0.75\""));
    EXPECT_FLOAT_EQ(field.node(2, 2).height, 0.75f);
    EXPECT_EQ(field.crushPoint(3, 3).crushed, 0);  // a new grid, of the same patches and map
    EXPECT_EQ(field.getPatchesX() * 10 + field.getPatchesY(), 54);
    EXPECT_STREQ(field.getDensityMapFile(), "GrassData/none.bmp");
}

TEST_F(Section, LenientNumbersAndStrictFlags)
{
    ASSERT_TRUE(read("lod_2D=\"7 40\" lod_3D=\"6.9   20\" patches_number=\"0 0 9\" texture3D=\"True\" "
                     "ajustment_height_2D5=\"1\" area=\"2  3\" sizex_texture2D5=\"8e99\""));
    EXPECT_FLOAT_EQ(field.getDistance2D(), 40);  // the seven is ignored
    EXPECT_EQ(field.getPolygons3D(), 6);
    EXPECT_EQ(field.getPatchesX(), 1);  // at least one; the third number is not read
    EXPECT_EQ(std::tuple(field.getTexture3D(), field.getAjustmentHeight2D5()), std::tuple(false, false));
    EXPECT_EQ(field.getSizeX2D5(), 8);
    float area[4];
    field.getArea(area);
    EXPECT_EQ(std::vector<float>(area, area + 4), (std::vector<float>{2, 3, 10, 8}));  // two of four numbers: the others stay
}

// The 2.5D texture within 1..1024 × 1..256, one past is refused and the value
// kept; a density clamped into 16 bits rather than wrapped.
TEST_F(Section, TextureSizeAndDensityStayWithinTheirLimits)
{
    ASSERT_TRUE(read("sizex_texture2D5=\"1024\" sizey_texture2D5=\"256\" number_squaremeters=\"40000\""));
    ASSERT_TRUE(read("sizex_texture2D5=\"1025\" sizey_texture2D5=\"0\""));
    EXPECT_EQ(std::tuple(field.getSizeX2D5(), field.getSizeY2D5(), field.getBladesPerSquareMetre()), std::tuple(1024, 256, 32767));
    ASSERT_TRUE(read("sizex_texture2D5=\"-512\" sizey_texture2D5=\"257\" number_squaremeters=\"-40000\""));
    EXPECT_EQ(std::tuple(field.getSizeX2D5(), field.getSizeY2D5(), field.getBladesPerSquareMetre()), std::tuple(1024, 256, -32768));
}
