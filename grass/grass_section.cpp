// Numbers are written and read in the C notation whatever the process
// locale, so scene files move between machines.
#include "grass/grass_section.h"

#include <algorithm>
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
    xmlNodePtr e = util::findSection(parent, "grass");
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
    util::readAttributes(e, {{"area", util::FloatList{area, 4}},
                             {"patches_number", util::FloatList{patches, 2}},
                             {"lod_3D", util::FloatList{lod3D, 2}},
                             {"lod_2D5", util::FloatList{lod2D5, 2}},
                             {"lod_2D", util::FloatList{lod2D, 2}},
                             {"density_map", &densityMap},
                             {"file_texture3D", &texture3DFile},
                             {"number_squaremeters", &bladesPerSquareMetre},
                             {"graine_texture2D5", &seed},
                             {"sizex_texture2D5", util::IntRange{&sizeX, 1, MAX_WIDTH_2D5}},
                             {"sizey_texture2D5", util::IntRange{&sizeY, 1, MAX_HEIGHT_2D5}},
                             {"ajustment_height_2D5", &adjustment},
                             {"texture3D", &texture3D},
                             {"grass_height", &height},
                             {"grass_width", &width},
                             {"noise_positions", &noisePositions},
                             {"noise_normals", &noiseNormals},
                             {"crushing_maxtime", &crushingMaxTime},
                             {"crushing_damping", &crushingDamping},
                             {"antialiasing_texture3D", &antialiasing3D},
                             {"antialiasing_texture2D5", &antialiasing2D5}});

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
