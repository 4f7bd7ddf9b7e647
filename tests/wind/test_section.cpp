// The wind's element of the scene file.
#include "wind_fixture.h"

#include "wind/wind_section.h"

#include "tests/support/xml_text.h"

#include <string>
#include <tuple>
#include <vector>

namespace {

using test_support::parseXml;

// Writes the section into the root of `doc` and returns its text.
std::string writtenSection(xmlDocPtr doc)
{
    writeWindSection(xmlDocGetRootElement(doc));
    return test_support::xmlText(xmlGetLastChild(xmlDocGetRootElement(doc)));
}

} // namespace

TEST_F(WindTest, SectionRoundTrip)
{
    const float area[4] = {1.5f, -2.25f, 80.0f, 90.125f};
    windInit(area, 3.5f);
    windSetBreezeSpeed(1.25f), windSetBreezePower(42.0f), windSetGustSpeed(2.0f);
    windSetGustPower(150.5f), windSetBlastParam(0.75f), windSetBlastPower(300.0f);
    const test_support::XmlDocument doc = parseXml("<velmora><ground/></velmora>");
    const std::string written = writtenSection(doc.get());
    EXPECT_EQ(written, "<wind area=\"1.500000 -2.250000 80.000000 90.125000\" height_drawing_gust=\"3.500000\" "
                       "breeze_speed=\"1.250000\" breeze_power=\"42.000000\" gust_speed=\"2.000000\" "
                       "gust_power=\"150.500000\" blast_param=\"0.750000\" blast_power=\"300.000000\"/>");
    SetUp();  // everything back to the defaults
    ASSERT_TRUE(readWindSection(xmlDocGetRootElement(doc.get())));
    EXPECT_EQ(writtenSection(parseXml("<velmora/>").get()), written);
}

TEST_F(WindTest, ReadingAHandWrittenSectionResetsTheGusts)
{
    windAddGust(5, 5);
    for (int frame = 0; frame < 30; ++frame) windUpdate(0.05f);
    const test_support::XmlDocument none = parseXml("<velmora><grass/></velmora>");
    EXPECT_FALSE(readWindSection(xmlDocGetRootElement(none.get())));
    EXPECT_EQ(windDirector().alive().size(), 1u);

    const test_support::XmlDocument doc = parseXml("<?xml version=\"1.0\"?>\n<velmora><ground/>\n"
                         "  <wind area=\"  0   0 10 \" breeze_power=\"many\" gust_power=\"80\" colour=\"red\"/>\n"
                         "  <wind gust_power=\"1\"/></velmora>");
    ASSERT_TRUE(readWindSection(xmlDocGetRootElement(doc.get())));
    EXPECT_EQ(std::tuple(windDirector().alive().size(), date::horloge), std::tuple(size_t(0), 0.0));
    // No fourth number keeps y_max; "many" reads as 0; only the first wind element counts.
    EXPECT_EQ((std::vector<float>{windArea().x_max, windArea().y_max, windGetBreezePower(), windGetGustPower()}),
              (std::vector<float>{10, 100, 0, 80}));
}
