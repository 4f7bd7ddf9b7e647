// The "ground" element of the scene file. Numbers are written and read in the
// C notation whatever the process locale, so files move between machines.
#include "ground/ground_section.h"
#include "ground/ground.h"
#include "util/number.h"
#include "util/text.h"
#include "util/xml_attributes.h"

#include <climits>
#include <cstring>
#include <string>

using util::fixedText;
using util::setAttribute;

namespace {

bool isGround(xmlNodePtr node) { return util::isElement(node, "ground"); }

} // namespace

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
    if (element && !isGround(element)) {
        xmlNodePtr child = element->children;
        while (child && !isGround(child)) child = child->next;
        element = child;
    }
    if (!element) return false;

    float area[4] = {groundX0(), groundY0(), groundX1(), groundY1()};
    float maxHeight = groundMaxHeight();
    int quadsNumber = groundQuadsNumber();
    std::string heightMap = groundHeightMapFile();
    std::string texture = groundTextureFile();
    float textureRepeat = groundTextureRepeat();
    for (xmlAttrPtr attribute = element->properties; attribute; attribute = attribute->next) {
        xmlChar* raw = xmlGetProp(element, attribute->name);
        const char* value = raw ? reinterpret_cast<const char*>(raw) : "";
        const char* name = reinterpret_cast<const char*>(attribute->name);
        if (std::strcmp(name, "area") == 0) {
            util::readFloats(name, value, area, 4);
        } else if (std::strcmp(name, "max_height") == 0) {
            util::readFloat(name, value, maxHeight);
        } else if (std::strcmp(name, "quads_number") == 0) {
            // A decimal number truncated, clamped first: converting a larger value is undefined.
            float count = float(quadsNumber);
            if (util::readFloat(name, value, count))
                quadsNumber = count >= float(INT_MAX) ? INT_MAX : count <= float(INT_MIN) ? INT_MIN : int(count);
        } else if (std::strcmp(name, "height_map") == 0) {
            heightMap = value;
        } else if (std::strcmp(name, "texture") == 0) {
            texture = value;
        } else if (std::strcmp(name, "texture_repeat") == 0) {
            util::readFloat(name, value, textureRepeat);
        }
        xmlFree(raw);
    }
    createGround(area, maxHeight, quadsNumber, heightMap.c_str(), texture.c_str(), textureRepeat);
    return true;
}
