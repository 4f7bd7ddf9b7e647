// Numbers are written and read in the C notation whatever the process
// locale, so scene files move between machines.
#include "grass/grass_section.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "grass/grass_texture.h"
#include "util/number.h"
#include "util/text.h"
#include "util/xml_attributes.h"

using util::fixedText;
using util::setAttribute;

namespace {

/// trunc(v) as a 16-bit count, saturated instead of overflowing.
int truncated16(float v) { return int(std::clamp(v, -32768.0f, 32767.0f)); }

const char* flag(bool on) { return on ? "true" : "false"; }

bool isGrass(xmlNodePtr node) { return util::isElement(node, "grass"); }

} // namespace

xmlNodePtr writeGrassSection(const GrassField& field, xmlNodePtr parent)
{
    const GrassSettings& g = field.settings;
    xmlNodePtr e = xmlNewNode(nullptr, BAD_CAST "grass");
    util::writeFloats(e, "area", field.area, 4);
    setAttribute(e, "grass_height", fixedText(g.grassHeight));
    setAttribute(e, "grass_width", fixedText(g.grassWidth));
    setAttribute(e, "noise_positions", fixedText(g.noisePositions));
    setAttribute(e, "noise_normals", fixedText(g.noiseNormals));
    setAttribute(e, "patches_number", std::to_string(field.patchesX) + " " + std::to_string(field.patchesY));
    setAttribute(e, "lod_3D", std::to_string(g.polygons3D) + " " + fixedText(g.distance3D));
    setAttribute(e, "lod_2D5", std::to_string(g.polygons2D5) + " " + fixedText(g.distance2D5));
    setAttribute(e, "lod_2D", "1 " + fixedText(g.distance2D));
    setAttribute(e, "density_map", field.densityMapFile);
    setAttribute(e, "number_squaremeters", std::to_string(g.bladesPerSquareMetre));
    setAttribute(e, "crushing_maxtime", fixedText(g.crushingMaxTime));
    setAttribute(e, "crushing_damping", fixedText(g.crushingDamping));
    setAttribute(e, "ajustment_height_2D5", flag(g.ajustmentHeight2D5));
    setAttribute(e, "texture3D", flag(field.texture3D));
    setAttribute(e, "file_texture3D", field.texture3DFile);
    setAttribute(e, "antialiasing_texture3D", fixedText(field.antialiasing3D));
    setAttribute(e, "antialiasing_texture2D5", fixedText(field.antialiasing2D5));
    setAttribute(e, "graine_texture2D5", std::to_string(field.seed2D5));
    setAttribute(e, "sizex_texture2D5", std::to_string(field.sizeX2D5));
    setAttribute(e, "sizey_texture2D5", std::to_string(field.sizeY2D5));
    xmlAddChild(parent, e);
    return e;
}

bool readGrassSection(GrassField& field, xmlNodePtr parent)
{
    xmlNodePtr e = parent;
    if (e && !isGrass(e)) {
        e = parent->children;
        while (e && !isGrass(e)) e = e->next;
    }
    if (!e) return false;

    // Start from the current values: an absent attribute keeps its value.
    const GrassSettings& g = field.settings;
    float area[4];
    field.getArea(area);
    float height = g.grassHeight, width = g.grassWidth, noisePositions = g.noisePositions;
    float noiseNormals = g.noiseNormals, crushingMaxTime = g.crushingMaxTime, crushingDamping = g.crushingDamping;
    float patches[2] = {float(field.patchesX), float(field.patchesY)};
    float lod3D[2] = {float(g.polygons3D), g.distance3D};
    float lod2D5[2] = {float(g.polygons2D5), g.distance2D5};
    float lod2D[2] = {1, g.distance2D};
    std::string densityMap = field.densityMapFile, texture3DFile = field.texture3DFile;
    int bladesPerSquareMetre = g.bladesPerSquareMetre, seed = field.seed2D5;
    int sizeX = field.sizeX2D5, sizeY = field.sizeY2D5;
    bool adjustment = g.ajustmentHeight2D5, texture3D = field.texture3D;
    float antialiasing3D = field.antialiasing3D, antialiasing2D5 = field.antialiasing2D5;

    for (xmlAttrPtr a = e->properties; a; a = a->next) {
        const char* name = reinterpret_cast<const char*>(a->name);
        const std::string text = util::attributeText(e, name);
        const char* v = text.c_str();
        auto is = [name](const char* n) { return std::strcmp(name, n) == 0; };
        if (is("area")) util::readFloats(e, name, area, 4);
        else if (is("patches_number")) util::readFloats(e, name, patches, 2);
        else if (is("lod_3D")) util::readFloats(e, name, lod3D, 2);
        else if (is("lod_2D5")) util::readFloats(e, name, lod2D5, 2);
        else if (is("lod_2D")) util::readFloats(e, name, lod2D, 2);
        else if (is("density_map")) densityMap = text;
        else if (is("file_texture3D")) texture3DFile = text;
        else if (is("number_squaremeters")) util::readInt(name, v, bladesPerSquareMetre);
        else if (is("graine_texture2D5")) util::readInt(name, v, seed);
        else if (is("sizex_texture2D5")) util::readInt(name, v, sizeX, 1, MAX_WIDTH_2D5);
        else if (is("sizey_texture2D5")) util::readInt(name, v, sizeY, 1, MAX_HEIGHT_2D5);
        else if (is("ajustment_height_2D5")) adjustment = text == "true";
        else if (is("texture3D")) texture3D = text == "true";
        else if (is("grass_height")) util::readFloat(name, v, height);
        else if (is("grass_width")) util::readFloat(name, v, width);
        else if (is("noise_positions")) util::readFloat(name, v, noisePositions);
        else if (is("noise_normals")) util::readFloat(name, v, noiseNormals);
        else if (is("crushing_maxtime")) util::readFloat(name, v, crushingMaxTime);
        else if (is("crushing_damping")) util::readFloat(name, v, crushingDamping);
        else if (is("antialiasing_texture3D")) util::readFloat(name, v, antialiasing3D);
        else if (is("antialiasing_texture2D5")) util::readFloat(name, v, antialiasing2D5);
    }

    // The grid is rebuilt last, with the final settings; texture work waits
    // for the next draw, so no temporary small texture size is needed.
    field.setBladesPerSquareMetre(bladesPerSquareMetre);
    field.setHeight(height);
    field.setWidth(width);
    field.setNoisePositions(noisePositions);
    field.setNoiseNormals(noiseNormals);
    field.setCrushingMaxTime(crushingMaxTime);
    field.setCrushingDamping(crushingDamping);
    field.setDistance3D(lod3D[1]);
    field.setDistance2D5(lod2D5[1]);
    field.setDistance2D(lod2D[1]);
    field.setPolygons3D(truncated16(lod3D[0]));
    field.setPolygons2D5(truncated16(lod2D5[0]));
    field.setAjustmentHeight2D5(adjustment);
    setAntialiasing3D(field, antialiasing3D);
    setAntialiasing2D5(field, antialiasing2D5);
    setSeed2D5(field, seed);
    setTexture3D(field, texture3D);
    setTexture3DFile(field, texture3DFile.c_str());
    setSizeTexture2D5(field, sizeX, sizeY);
    field.initField(area, truncated16(patches[0]), truncated16(patches[1]), densityMap.c_str());
    return true;
}
