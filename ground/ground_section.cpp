// The "ground" element of the scene file. Numbers are written and read in the
// C notation whatever the process locale, so files move between machines.
#include "ground/ground_section.h"
#include "ground/ground.h"
#include "util/number.h"
#include "util/text.h"
#include "util/xml_attributes.h"

#include <climits>
#include <cmath>
#include <string>

using util::fixedText;
using util::setAttribute;

xmlNodePtr writeGroundSection(xmlNodePtr parent)
{
    xmlNodePtr element = xmlNewNode(nullptr, BAD_CAST "ground");
    const float area[4] = {0, 0, groundSizeX(), groundSizeY()};
    util::writeFloats(element, "area", area, 4);
    setAttribute(element, "max_height", fixedText(groundMaxHeight()));
    setAttribute(element, "quads_number", std::to_string(groundQuadsNumber()));
    setAttribute(element, "height_map", groundHeightMapFile());
    setAttribute(element, "texture", groundTextureFile());
    setAttribute(element, "texture_repeat", fixedText(groundTextureRepeat()));
    xmlAddChild(parent, element);
    return element;
}

bool readGroundSection(xmlNodePtr element)
{
    element = util::findSection(element, "ground");
    if (!element) return false;

    float area[4] = {groundX0(), groundY0(), groundX1(), groundY1()};
    float maxHeight = groundMaxHeight();
    int quadsNumber = groundQuadsNumber();
    float quadsRead = NAN;  // stays so unless a number was read
    std::string heightMap = groundHeightMapFile();
    std::string texture = groundTextureFile();
    float textureRepeat = groundTextureRepeat();
    util::readAttributes(element, {{"area", util::FloatList{area, 4}},
                                   {"max_height", &maxHeight},
                                   {"quads_number", &quadsRead},
                                   {"height_map", &heightMap},
                                   {"texture", &texture},
                                   {"texture_repeat", &textureRepeat}});
    // A decimal number truncated, clamped first: converting a larger value is undefined.
    if (!std::isnan(quadsRead))
        quadsNumber = quadsRead >= float(INT_MAX) ? INT_MAX : quadsRead <= float(INT_MIN) ? INT_MIN : int(quadsRead);
    createGround(area, maxHeight, quadsNumber, heightMap.c_str(), texture.c_str(), textureRepeat);
    return true;
}
