// The wind's element of the scene file.
#include "wind_fixture.h"

#include "wind/wind_section.h"

#include <libxml/parser.h>

#include <string>

namespace {

// A parsed scene; the root is the element handed to the reader.
struct Scene {
    explicit Scene(const std::string& text)
        : doc(xmlReadMemory(text.data(), static_cast<int>(text.size()), "scene.xml", nullptr, 0)) {}
    ~Scene() { xmlFreeDoc(doc); }
    xmlNodePtr root() const { return xmlDocGetRootElement(doc); }
    xmlDocPtr doc;
};

std::string attribute(xmlNodePtr node, const char* name)
{
    xmlChar* value = xmlGetProp(node, BAD_CAST name);
    const std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

} // namespace

TEST_F(WindTest, SectionRoundTrip)
{
    const float area[4] = {1.5f, -2.25f, 80.0f, 90.125f};
    windInit(area, 3.5f);
    windSetBreezeSpeed(1.25f);
    windSetBreezePower(42.0f);
    windSetGustSpeed(2.0f);
    windSetGustPower(150.5f);
    windSetBlastParam(0.75f);
    windSetBlastPower(300.0f);

    Scene scene("<velmora/>");
    writeWindSection(scene.root());
    xmlNodePtr wind = xmlGetLastChild(scene.root());
    ASSERT_NE(wind, nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(wind->name), "wind");
    EXPECT_EQ(attribute(wind, "area"), "1.500000 -2.250000 80.000000 90.125000");
    std::string order;
    for (xmlAttrPtr a = wind->properties; a; a = a->next)
        order += reinterpret_cast<const char*>(a->name) + std::string(" ");
    EXPECT_EQ(order, "area height_drawing_gust breeze_speed breeze_power gust_speed gust_power "
                     "blast_param blast_power ");

    SetUp();  // everything back to the defaults
    ASSERT_TRUE(readWindSection(scene.root()));
    EXPECT_EQ(windArea().x_min, 1.5f);
    EXPECT_EQ(windArea().y_min, -2.25f);
    EXPECT_EQ(windArea().x_max, 80.0f);
    EXPECT_EQ(windArea().y_max, 90.125f);
    EXPECT_EQ(windDrawingHeight(), 3.5f);
    EXPECT_EQ(windGetBreezeSpeed(), 1.25f);
    EXPECT_EQ(windGetBreezePower(), 42.0f);
    EXPECT_EQ(windGetGustSpeed(), 2.0f);
    EXPECT_EQ(windGetGustPower(), 150.5f);
    EXPECT_EQ(windGetBlastParam(), 0.75f);
    EXPECT_EQ(windGetBlastPower(), 300.0f);
}

TEST_F(WindTest, ReadingAHandWrittenSection)
{
    const float area[4] = {0, 0, 50, 60};
    windInit(area, 1.0f);
    Scene scene("<?xml version=\"1.0\"?>\n<velmora><ground/>\n"
                "  <wind area=\"  0   0 10 \" breeze_power=\"many\" gust_power=\"80\" colour=\"red\"/>\n"
                "  <wind gust_power=\"1\"/></velmora>");
    ASSERT_TRUE(readWindSection(scene.root()));
    EXPECT_EQ(windArea().x_min, 0.0f);
    EXPECT_EQ(windArea().y_min, 0.0f);
    EXPECT_EQ(windArea().x_max, 10.0f);
    EXPECT_EQ(windArea().y_max, 60.0f);     // a fourth number was not given
    EXPECT_EQ(windGetBreezePower(), 0.0f);  // not a number
    EXPECT_EQ(windGetGustPower(), 80.0f);   // the first wind element only
    EXPECT_EQ(windDrawingHeight(), 1.0f);

    Scene five("<velmora><wind area=\"1 2 3 4 5\"/></velmora>");
    ASSERT_TRUE(readWindSection(five.root()));
    EXPECT_EQ(windArea().x_min, 1.0f);
    EXPECT_EQ(windArea().y_max, 4.0f);
}

TEST_F(WindTest, ReadingASectionResetsTheGustsOrNothingWithoutOne)
{
    windAddGust(5, 5);
    for (int frame = 0; frame < 30; ++frame) windUpdate(0.05f);
    Scene none("<velmora><grass/></velmora>");
    EXPECT_FALSE(readWindSection(none.root()));
    EXPECT_EQ(windDirector().alive().size(), 1u);
    EXPECT_NE(date::horloge, 0.0);

    Scene bare("<velmora><wind/></velmora>");
    EXPECT_TRUE(readWindSection(bare.root()));
    EXPECT_TRUE(windDirector().alive().empty());
    EXPECT_EQ(date::horloge, 0.0);
    EXPECT_EQ(windArea().x_max, 100.0f);
}

TEST_F(WindTest, ASceneCannotTurnTheDateBackwards)
{
    Scene scene("<velmora><wind gust_speed=\"-2\" breeze_speed=\"3\"/></velmora>");
    testing::internal::CaptureStderr();
    ASSERT_TRUE(readWindSection(scene.root()));
    const std::string warnings = testing::internal::GetCapturedStderr();
    EXPECT_EQ(windGetGustSpeed(), 1.0f);
    EXPECT_EQ(windGetBreezeSpeed(), 3.0f);
    EXPECT_NE(warnings.find("gust_speed"), std::string::npos);
    windUpdate(0.05f);
    EXPECT_GT(date::horloge, 0.0);
}
