// Numbers are written and read in the C notation whatever the process
// locale, so scene files move between machines.
#include "grass/grass_section.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>

#include "grass/grass_texture.h"
#include "util/number.h"

namespace {

/// "%f" of `value`, with a decimal point.
std::string fixed(double value)
{
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    return std::string(text, result.ptr);
}

/// trunc(v) as a 16-bit count, saturated instead of overflowing.
int truncated16(float v) { return int(std::clamp(v, -32768.0f, 32767.0f)); }

const char* flag(bool on) { return on ? "true" : "false"; }

bool isGrass(xmlNodePtr node)
{
    return node && node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, BAD_CAST "grass") == 0;
}

void set(xmlNodePtr element, const char* name, const std::string& value)
{
    xmlNewProp(element, BAD_CAST name, BAD_CAST value.c_str());
}

/// The attribute's text, or "" when absent; `found` tells which.
std::string attribute(xmlNodePtr element, const char* name, bool& found)
{
    xmlChar* value = xmlGetProp(element, BAD_CAST name);
    found = value != nullptr;
    std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

} // namespace

int readFloats(xmlNodePtr element, const char* name, float* out, int count)
{
    bool found = false;
    const std::string text = attribute(element, name, found);
    return util::readFloats(name, text.c_str(), out, count);
}

xmlNodePtr writeGrassSection(const GrassField& field, xmlNodePtr parent)
{
    const GrassSettings& g = field.settings;
    xmlNodePtr e = xmlNewNode(nullptr, BAD_CAST "grass");
    set(e, "area", fixed(field.area[0]) + " " + fixed(field.area[1]) + " " + fixed(field.area[2]) + " " +
                       fixed(field.area[3]));
    set(e, "grass_height", fixed(g.grassHeight));
    set(e, "grass_width", fixed(g.grassWidth));
    set(e, "noise_positions", fixed(g.noisePositions));
    set(e, "noise_normals", fixed(g.noiseNormals));
    set(e, "patches_number", std::to_string(field.patchesX) + " " + std::to_string(field.patchesY));
    set(e, "lod_3D", std::to_string(g.polygons3D) + " " + fixed(g.distance3D));
    set(e, "lod_2D5", std::to_string(g.polygons2D5) + " " + fixed(g.distance2D5));
    set(e, "lod_2D", "1 " + fixed(g.distance2D));
    set(e, "density_map", field.densityMapFile);
    set(e, "number_squaremeters", std::to_string(g.bladesPerSquareMetre));
    set(e, "crushing_maxtime", fixed(g.crushingMaxTime));
    set(e, "crushing_damping", fixed(g.crushingDamping));
    set(e, "ajustment_height_2D5", flag(g.ajustmentHeight2D5));
    set(e, "texture3D", flag(field.texture3D));
    set(e, "file_texture3D", field.texture3DFile);
    set(e, "antialiasing_texture3D", fixed(field.antialiasing3D));
    set(e, "antialiasing_texture2D5", fixed(field.antialiasing2D5));
    set(e, "graine_texture2D5", std::to_string(field.seed2D5));
    set(e, "sizex_texture2D5", std::to_string(field.sizeX2D5));
    set(e, "sizey_texture2D5", std::to_string(field.sizeY2D5));
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
        bool found = false;
        const std::string text = attribute(e, name, found);
        const char* v = text.c_str();
        auto is = [name](const char* n) { return std::strcmp(name, n) == 0; };
        if (is("area")) readFloats(e, name, area, 4);
        else if (is("patches_number")) readFloats(e, name, patches, 2);
        else if (is("lod_3D")) readFloats(e, name, lod3D, 2);
        else if (is("lod_2D5")) readFloats(e, name, lod2D5, 2);
        else if (is("lod_2D")) readFloats(e, name, lod2D, 2);
        else if (is("density_map")) densityMap = text;
        else if (is("file_texture3D")) texture3DFile = text;
        else if (is("number_squaremeters")) util::readInt(name, v, bladesPerSquareMetre);
        else if (is("graine_texture2D5")) util::readInt(name, v, seed);
        else if (is("sizex_texture2D5")) util::readInt(name, v, sizeX);
        else if (is("sizey_texture2D5")) util::readInt(name, v, sizeY);
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
