#include "grass/grass_field.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ground/ground.h"
#include "util/number.h"
#include "util/random.h"

void RandomTable::fill()
{
    for (float& v : values) v = util::randomUnit();
    cursor = 0;
}

GrassField::GrassField()
{
    randomTable.fill();
}

void GrassField::initField(const float newArea[4], int px, int py, const char* densityMap)
{
    setLayout(newArea, px, py, densityMap);
    resetRecords();
    placeNodes();
    placeCrushPoints();
    readDensities();
    linkPatches();
    findPatchGroundHeights();
    // The textures depend on the patch size: the next draw rebuilds them.
    updateBladesPerPatch();
    texturesReady = false;
}

void GrassField::setLayout(const float newArea[4], int px, int py, const char* densityMap)
{
    // Through a copy: callers rebuilding with the current name pass this field's own buffer.
    char name[sizeof(densityMapFile)] = "";
    if (densityMap) std::strncpy(name, densityMap, sizeof(name) - 1);
    std::memcpy(densityMapFile, name, sizeof(name));
    // Bounded, like the settings: the crushing squares distances on the field.
    for (int k = 0; k < 4; ++k) area[k] = util::bounded(newArea[k]);
    if (area[2] - area[0] < 1) area[2] = area[0] + 1;
    if (area[3] - area[1] < 1) area[3] = area[1] + 1;
    sizeX = area[2] - area[0];
    sizeY = area[3] - area[1];
    // A hand-edited scene file must not be able to exhaust memory.
    if (px > MAX_PATCHES || py > MAX_PATCHES)
        std::printf("Grass: %d x %d patches lowered to at most %d each way\n", px, py, MAX_PATCHES);
    patchesX = static_cast<int16_t>(std::clamp(px, 1, int(MAX_PATCHES)));
    patchesY = static_cast<int16_t>(std::clamp(py, 1, int(MAX_PATCHES)));
    nodeCount = (patchesX + 1) * (patchesY + 1);
    patchCount = patchesX * patchesY;
    patchSizeX = sizeX / patchesX;
    patchSizeY = sizeY / patchesY;
}

void GrassField::resetRecords()
{
    // Fresh records; each patch draws the start of its stream.
    nodes.assign(nodeCount, GrassNode());
    crushPoints.assign(std::size_t(crushPointsX()) * crushPointsY(), CrushPoint());
    patches.assign(patchCount, GrassPatch());
    for (GrassPatch& p : patches) p.randomIndex = static_cast<int16_t>(1000 * util::randomDraw() / util::RANDOM_MAX);
}

void GrassField::placeNodes()
{
    for (int i = 0; i <= patchesX; ++i) {
        for (int j = 0; j <= patchesY; ++j) {
            GrassNode& n = node(i, j);
            n.x = area[0] + i * patchSizeX;
            n.y = area[1] + j * patchSizeY;
            n.z = groundHeight(n.x, n.y);
            n.skeleton.P0[0] = n.x;
            n.skeleton.P0[1] = n.y;
            n.skeleton.P0[2] = n.z;
            n.height = n.currentHeight = settings.grassHeight;
        }
    }
}

void GrassField::placeCrushPoints()
{
    // At half the patch spacing.
    for (int i = 0; i < crushPointsX(); ++i) {
        for (int j = 0; j < crushPointsY(); ++j) {
            CrushPoint& c = crushPoint(i, j);
            c.x = area[0] + i * 0.5f * patchSizeX;
            c.y = area[1] + j * 0.5f * patchSizeY;
            c.z = groundHeight(c.x, c.y);
            c.exists = 1;
        }
    }
}

void GrassField::readDensities()
{
    // The picture lives only for this loop.
    Texture picture;
    if (densityMapFile[0] != '\0') picture.loadMap(densityMapFile);
    for (GrassNode& n : nodes) {
        n.density = densityAt(n.x, n.y, picture);
        if (n.density < 0.15f) n.density = 0;
    }
}

void GrassField::linkPatches()
{
    for (int i = 0; i < patchesX; ++i) {
        for (int j = 0; j < patchesY; ++j) {
            GrassPatch& p = patch(i, j);
            p.corners[0] = &node(i, j);
            p.corners[1] = &node(i + 1, j);
            p.corners[2] = &node(i, j + 1);
            p.corners[3] = &node(i + 1, j + 1);
            for (int b = 0; b < 3; ++b)
                for (int a = 0; a < 3; ++a) p.crush[a + 3 * b] = &crushPoint(2 * i + a, 2 * j + b);
            float mean = 0;
            for (GrassNode* c : p.corners) mean += c->density;
            mean *= 0.25f;
            if (mean > 0.25f) {
                p.active = 1;
                p.density = mean;
                for (GrassNode* c : p.corners) c->active = 1;
            }
        }
    }
}

void GrassField::findPatchGroundHeights()
{
    // The highest ground under each patch, so flat drawings clear the terrain.
    for (int i = 0; i < patchesX; ++i) {
        for (int j = 0; j < patchesY; ++j) {
            GrassPatch& p = patch(i, j);
            float m = 0;
            for (int a = 0; a < 5; ++a)
                for (int b = 0; b < 5; ++b)
                    m = std::max(m, groundHeight(p.corners[0]->x + a * 0.2f * patchSizeX,
                                                 p.corners[0]->y + b * 0.2f * patchSizeY));
            for (GrassNode* c : p.corners) c->maxGroundZ = std::max(c->maxGroundZ, m);
        }
    }
}

namespace {

/// trunc(v) kept inside 0..last; points outside the area read the border
/// instead of memory outside the picture.
int pixelIndex(float v, int last)
{
    if (!(v >= 0)) return 0;
    if (v >= last) return last;
    return static_cast<int>(v);
}

} // namespace

float GrassField::densityAt(float x, float y, const Texture& picture) const
{
    if (!picture.pixels || picture.width <= 0 || picture.height <= 0) return 1.0f;
    int px = pixelIndex((x - area[0]) / sizeX * (picture.width - 1), picture.width - 1);
    int py = pixelIndex((y - area[1]) / sizeY * (picture.height - 1), picture.height - 1);
    const unsigned char* p = picture.pixels + (std::size_t(px) + std::size_t(py) * picture.width) * picture.bytesPerPixel();
    return (p[0] + p[1] + p[2]) / 765.0f;
}

void GrassField::updateBladesPerPatch()
{
    float blades = settings.bladesPerSquareMetre * patchSizeX * patchSizeY * 0.1f;
    // An undefined count (a file's field size that overflowed) means none:
    // clamp would pass NaN on to the conversion.
    settings.bladesPerPatch = static_cast<int16_t>(blades >= 0.0f ? std::min(blades, 32767.0f) : 0.0f);
}

void GrassField::setHeight(float h)
{
    settings.grassHeight = util::bounded(h);
    for (GrassNode& n : nodes) n.height = n.currentHeight = settings.grassHeight;
}

void GrassField::setWidth(float w)
{
    settings.grassWidth = util::bounded(w);
    texturesReady = false;
}

void GrassField::setBladesPerSquareMetre(int n)
{
    // Clamped before narrowing: 40000 from a file must not wrap to −25536.
    settings.bladesPerSquareMetre = static_cast<int16_t>(std::clamp(n, int(INT16_MIN), int(INT16_MAX)));
    updateBladesPerPatch();
    texturesReady = false;
}

void GrassField::setDistance3D(float d)
{
    settings.distance3D = d = util::bounded(d);
    settings.distance3DNear = 0.66f * d;
    if (d != 0) settings.inverse3D = 1.0f / d;
    if (settings.distance3DNear != 0) settings.inverse3DNear = 1.0f / settings.distance3DNear;
}

void GrassField::setDistance2D5(float d)
{
    settings.distance2D5 = d = util::bounded(d);
    if (d != 0) settings.inverse2D5 = 1.0f / d;
}

void GrassField::setDistance2D(float d)
{
    settings.distance2D = d = util::bounded(d);
    if (d != 0) settings.inverse2D = 1.0f / d;
}
