// The "grass" element of the scene file.
#include <gtest/gtest.h>

#include <libxml/parser.h>

#include <string>

#include "grass/grass_section.h"
#include "grass/grass_texture.h"

namespace {

/// A document whose root holds one child element parsed from `xml`.
class Section : public ::testing::Test {
protected:
    xmlDocPtr doc = nullptr;
    GrassField field;

    void SetUp() override
    {
        const float area[4] = {0, 0, 10, 8};
        field.initField(area, 5, 4, nullptr);
    }
    void TearDown() override { xmlFreeDoc(doc); }

    xmlNodePtr parse(const std::string& xml)
    {
        xmlFreeDoc(doc);
        doc = xmlReadMemory(xml.data(), int(xml.size()), "section.xml", nullptr, 0);
        return xmlDocGetRootElement(doc);
    }
    bool read(const std::string& attributes)
    {
        testing::internal::CaptureStdout();  // warnings of the blade picture reload
        const bool ok = readGrassSection(field, parse("<velmora><grass " + attributes + "/></velmora>"));
        testing::internal::GetCapturedStdout();
        return ok;
    }
};

} // namespace

TEST_F(Section, WrittenAndReadBackReproducesEveryField)
{
    GrassField source;
    const float area[4] = {1.5f, 2, 51.25f, 40};
    source.initField(area, 7, 3, "GrassData/none.bmp");
    source.setHeight(1.25f);
    source.setWidth(0.03f);
    source.setNoisePositions(0.1f);
    source.setNoiseNormals(0.2f);
    source.setPolygons3D(4);
    source.setDistance3D(12.5f);
    source.setPolygons2D5(2);
    source.setDistance2D5(30.25f);
    source.setDistance2D(70);
    source.setBladesPerSquareMetre(30);
    source.setCrushingMaxTime(15);
    source.setCrushingDamping(1.5f);
    source.setAjustmentHeight2D5(false);
    testing::internal::CaptureStdout();
    setTexture3D(source, true);
    setAntialiasing3D(source, 0.3f);
    setTexture3DFile(source, "GrassData/missing.tga");
    testing::internal::GetCapturedStdout();
    setAntialiasing2D5(source, 0.7f);
    setSeed2D5(source, 42);
    setSizeTexture2D5(source, 1024, 128);

    doc = xmlNewDoc(BAD_CAST "1.0");
    xmlNodePtr root = xmlNewNode(nullptr, BAD_CAST "velmora");
    xmlDocSetRootElement(doc, root);
    writeGrassSection(source, root);
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpMemory(doc, &text, &size);
    const std::string xml(reinterpret_cast<char*>(text), size_t(size));
    xmlFree(text);
    EXPECT_NE(xml.find("lod_2D=\"1 70.000000\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("area=\"1.500000 2.000000 51.250000 40.000000\""), std::string::npos) << xml;

    testing::internal::CaptureStdout();
    ASSERT_TRUE(readGrassSection(field, parse(xml)));
    testing::internal::GetCapturedStdout();
    float got[4];
    field.getArea(got);
    for (int k = 0; k < 4; ++k) EXPECT_FLOAT_EQ(got[k], area[k]);
    EXPECT_EQ(field.getPatchesX(), 7);
    EXPECT_EQ(field.getPatchesY(), 3);
    EXPECT_FLOAT_EQ(field.getHeight(), 1.25f);
    EXPECT_FLOAT_EQ(field.getWidth(), 0.03f);
    EXPECT_FLOAT_EQ(field.getNoisePositions(), 0.1f);
    EXPECT_FLOAT_EQ(field.getNoiseNormals(), 0.2f);
    EXPECT_EQ(field.getPolygons3D(), 4);
    EXPECT_FLOAT_EQ(field.getDistance3D(), 12.5f);
    EXPECT_EQ(field.getPolygons2D5(), 2);
    EXPECT_FLOAT_EQ(field.getDistance2D5(), 30.25f);
    EXPECT_FLOAT_EQ(field.getDistance2D(), 70);
    EXPECT_STREQ(field.getDensityMapFile(), "GrassData/none.bmp");
    EXPECT_EQ(field.getBladesPerSquareMetre(), 30);
    EXPECT_FLOAT_EQ(field.getCrushingMaxTime(), 15);
    EXPECT_FLOAT_EQ(field.getCrushingDamping(), 1.5f);
    EXPECT_FALSE(field.getAjustmentHeight2D5());
    EXPECT_TRUE(field.getTexture3D());
    EXPECT_STREQ(field.getTexture3DFile(), "GrassData/missing.tga");
    EXPECT_FLOAT_EQ(field.getAntialiasing3D(), 0.3f);
    EXPECT_FLOAT_EQ(field.getAntialiasing2D5(), 0.7f);
    EXPECT_EQ(field.getSeed2D5(), 42);
    EXPECT_EQ(field.getSizeX2D5(), 1024);
    EXPECT_EQ(field.getSizeY2D5(), 128);
}

TEST_F(Section, AbsentAttributesKeepTheirValuesAndTheGridIsRebuilt)
{
    field.crushPoint(3, 3).crushed = 1;
    ASSERT_TRUE(read("grass_height=\"0.75\""));
    EXPECT_FLOAT_EQ(field.getHeight(), 0.75f);
    EXPECT_FLOAT_EQ(field.node(2, 2).height, 0.75f);
    EXPECT_EQ(field.getPatchesX(), 5);
    EXPECT_EQ(field.getPatchesY(), 4);
    EXPECT_FLOAT_EQ(field.area[3], 8);
    EXPECT_EQ(field.crushPoint(3, 3).crushed, 0);  // a new grid
}

TEST_F(Section, LenientNumbersAndStrictFlags)
{
    ASSERT_TRUE(read("lod_2D=\"7 40\" lod_3D=\"6.9   20\" patches_number=\"0 0\" "
                     "texture3D=\"True\" ajustment_height_2D5=\"1\" area=\"2  3\" number_squaremeters=\"abc\""));
    EXPECT_FLOAT_EQ(field.getDistance2D(), 40);
    EXPECT_EQ(field.getPolygons3D(), 6);
    EXPECT_FLOAT_EQ(field.getDistance3D(), 20);
    EXPECT_EQ(field.getPatchesX(), 1);
    EXPECT_EQ(field.getPatchesY(), 1);
    EXPECT_FALSE(field.getTexture3D());
    EXPECT_FALSE(field.getAjustmentHeight2D5());
    EXPECT_EQ(field.getBladesPerSquareMetre(), 0);
    // Two of four area numbers: the others keep their values.
    EXPECT_FLOAT_EQ(field.area[0], 2);
    EXPECT_FLOAT_EQ(field.area[1], 3);
    EXPECT_FLOAT_EQ(field.area[2], 10);
    EXPECT_FLOAT_EQ(field.area[3], 8);
}

TEST_F(Section, WithoutAGrassElementNothingChanges)
{
    field.setHeight(0.5f);
    EXPECT_FALSE(readGrassSection(field, parse("<velmora><ground max_height=\"3\"/></velmora>")));
    EXPECT_FLOAT_EQ(field.getHeight(), 0.5f);
    EXPECT_EQ(field.getPatchesX(), 5);
}

TEST_F(Section, ReadFloatsStopsAtTheCount)
{
    xmlNodePtr root = parse("<grass a=\" 1.5\t2  3 \" b=\"x 4\"/>");
    float out[3] = {9, 9, 9};
    EXPECT_EQ(readFloats(root, "a", out, 2), 2);
    EXPECT_FLOAT_EQ(out[0], 1.5f);
    EXPECT_FLOAT_EQ(out[1], 2);
    EXPECT_FLOAT_EQ(out[2], 9);
    EXPECT_EQ(readFloats(root, "b", out, 3), 2);
    EXPECT_FLOAT_EQ(out[0], 0);  // "x" does not parse
    EXPECT_FLOAT_EQ(out[1], 4);
    EXPECT_EQ(readFloats(root, "missing", out, 3), 0);
}
