#include "wind/wind_section.h"

#include "wind/director.h"
#include "wind/wind.h"
#include "util/number.h"
#include "util/text.h"
#include "util/xml_attributes.h"

#include <string>

namespace {

void setNumber(xmlNodePtr node, const char* name, float value) { util::setAttribute(node, name, util::fixedText(value)); }

} // namespace

void writeWindSection(xmlNodePtr parent)
{
    const bounding_box2d& box = windArea();
    const float area[4] = {box.x_min, box.y_min, box.x_max, box.y_max};
    xmlNodePtr wind = xmlNewNode(nullptr, BAD_CAST "wind");
    util::writeFloats(wind, "area", area, 4);
    setNumber(wind, "height_drawing_gust", windDrawingHeight());
    setNumber(wind, "breeze_speed", windGetBreezeSpeed());
    setNumber(wind, "breeze_power", windGetBreezePower());
    setNumber(wind, "gust_speed", windGetGustSpeed());
    setNumber(wind, "gust_power", windGetGustPower());
    setNumber(wind, "blast_param", windGetBlastParam());
    setNumber(wind, "blast_power", windGetBlastPower());
    xmlAddChild(parent, wind);
}

bool readWindSection(xmlNodePtr element)
{
    xmlNodePtr wind = util::findSection(element, "wind");
    if (!wind) return false;

    const bounding_box2d& current = windArea();
    float area[4] = {current.x_min, current.y_min, current.x_max, current.y_max};
    float height = windDrawingHeight();
    float breeze_speed = windGetBreezeSpeed(), breeze_power = windGetBreezePower();
    float gust_speed = windGetGustSpeed(), gust_power = windGetGustPower();
    float blast_param = windGetBlastParam(), blast_power = windGetBlastPower();
    util::readAttributes(wind, {{"area", util::FloatList{area, 4}},
                                {"height_drawing_gust", &height},
                                {"breeze_speed", &breeze_speed},
                                {"breeze_power", &breeze_power},
                                {"gust_speed", &gust_speed},
                                {"gust_power", &gust_power},
                                {"blast_param", &blast_param},
                                {"blast_power", &blast_power}});

    windInit(area, height);
    windSetBreezePower(breeze_power);
    windSetBreezeSpeed(breeze_speed);
    windSetGustPower(gust_power);
    windSetGustSpeed(gust_speed);
    windSetBlastPower(blast_power);
    windSetBlastParam(blast_param);
    return true;
}
