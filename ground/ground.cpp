// The ground's model: grid, heights from the height map, normals, queries.
#include "ground/ground.h"
#include "ground/ground_state.h"
#include "util/number.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

GroundVertex& vertexAt(Ground& g, int c, int r) { return g.vertices[size_t(r) * (g.quadsPerSide + 1) + c]; }

/// Pixel index along one side for a position fraction t in [0, 1]. Clamped:
/// an inverted or degenerate area gives fractions outside [0, 1] (or NaN),
/// which must not index outside the picture.
int64_t pixelIndex(float t, int side)
{
    const float p = t * float(side - 1);
    if (!(p >= 0)) return 0;
    return std::min<int64_t>(int64_t(p), side - 1);
}

float heightMapSample(const Ground& g, float x, float y)
{
    const Image& map = g.image;
    if (!map.pixels || (map.width == 0 && map.height == 0)) return 0;
    const int64_t u = pixelIndex((x - g.area[0]) / (g.area[2] - g.area[0]), map.width);
    const int64_t v = pixelIndex((y - g.area[1]) / (g.area[3] - g.area[1]), map.height);
    const unsigned char* p = map.pixels + (u + v * map.width) * 3;
    return float(p[0] + p[1] + p[2]) * g.maxHeight / 765.0f;
}

struct Vec3 {
    float x, y, z;
};

Vec3 toward(const GroundVertex& from, const GroundVertex& to) { return {to.x - from.x, to.y - from.y, to.z - from.z}; }

void addCross(Vec3& sum, const Vec3& a, const Vec3& b)
{
    sum.x += a.y * b.z - a.z * b.y;
    sum.y += a.z * b.x - a.x * b.z;
    sum.z += a.x * b.y - a.y * b.x;
}

void computeNormals(Ground& g)
{
    const int n = g.quadsPerSide;
    for (int r = 0; r <= n; ++r)
        for (int c = 0; c <= n; ++c) {
            GroundVertex& v = vertexAt(g, c, r);
            Vec3 right{}, up{}, left{}, down{}, sum{0, 0, 0};
            if (c < n) right = toward(v, vertexAt(g, c + 1, r));
            if (r < n) up = toward(v, vertexAt(g, c, r + 1));
            if (c > 0) left = toward(v, vertexAt(g, c - 1, r));
            if (r > 0) down = toward(v, vertexAt(g, c, r - 1));
            if (c < n && r < n) addCross(sum, right, up);
            if (r < n && c > 0) addCross(sum, up, left);
            if (c > 0 && r > 0) addCross(sum, left, down);
            if (r > 0 && c < n) addCross(sum, down, right);
            const float length = std::sqrt(sum.x * sum.x + sum.y * sum.y + sum.z * sum.z);
            // A zero-extent area has no surface to take a normal from.
            if (length > 0) {
                v.nx = sum.x / length; v.ny = sum.y / length; v.nz = sum.z / length;
            } else {
                v.nx = 0; v.ny = 0; v.nz = 1;
            }
        }
}

/// Position inside the grid in cells along one axis; 0 on a zero extent,
/// where the only point on the ground is the first edge.
float cellCoordinate(float offset, int n, float size) { return size > 0 ? offset * float(n) / size : 0.0f; }

} // namespace

Ground& groundState()
{
    static Ground ground;
    return ground;
}

void clearGroundModel()
{
    Ground& g = groundState();
    std::fill(g.area, g.area + 4, 0.0f);
    g.sizeX = g.sizeY = 1.0f;
    g.maxHeight = 0;
    g.quadsPerSide = 0;
    g.vertices.clear();
    g.image.freeData();
    g.image.width = g.image.height = 0;
    g.heightMapFile.clear();
    g.textureFile.clear();
    g.quadsNumber = 0;
    g.textureRepeat = 0;
    g.created = false;
}

void createGround(const float area[4], float maxHeight, int quadsNumber,
                  const char* heightMapFile, const char* textureFile, float textureRepeat)
{
    // Copies first: the names may be this ground's own strings.
    const std::string heightMap = heightMapFile ? heightMapFile : "";
    const std::string texture = textureFile ? textureFile : "";
    std::printf("Creation du terrain.\n");
    if (!heightMap.empty()) std::printf("  heightmap : %s\n", heightMap.c_str());
    if (!texture.empty()) std::printf("  texture : %s\n", texture.c_str());

    Ground& g = groundState();
    g.created = true;
    g.quadsNumber = quadsNumber;
    // Bounded, like the area and height below: the normals and the grass and
    // rock placed on the ground multiply and square coordinates.
    g.textureRepeat = util::bounded(textureRepeat);
    g.heightMapFile = heightMap;
    g.textureFile = texture;

    // The GL list can only be deleted with the context current: the next draw does it.
    if (g.displayList != 0) {
        g.staleDisplayList = g.displayList;
        g.displayList = 0;
    }
    for (int k = 0; k < 4; ++k) g.area[k] = util::bounded(area[k]);
    g.sizeX = g.area[2] - g.area[0] < 0 ? 1.0f : g.area[2] - g.area[0];
    g.sizeY = g.area[3] - g.area[1] < 0 ? 1.0f : g.area[3] - g.area[1];
    g.maxHeight = util::bounded(maxHeight);

    const int n = std::min(int(std::sqrt(double(std::max(quadsNumber, 2)))), int(MAX_QUADS_PER_SIDE));
    g.quadsPerSide = n;
    g.vertices.assign(size_t(n + 1) * (n + 1), GroundVertex{});

    // Pixels left over from an earlier texture must not be taken for heights.
    g.image.freeData();
    if (!heightMap.empty())
        std::printf(g.image.loadMap(heightMap.c_str()) ? "  heightmap loaded\n" : "  heightmap not loaded\n");
    for (int r = 0; r <= n; ++r)
        for (int c = 0; c <= n; ++c) {
            GroundVertex& v = vertexAt(g, c, r);
            v.x = g.area[0] + float(c) * g.sizeX / float(n);
            v.y = g.area[1] + float(r) * g.sizeY / float(n);
            v.z = heightMapSample(g, v.x, v.y);
        }
    g.image.freeData();
    computeNormals(g);

    // Kept in memory until the next draw uploads it.
    if (!texture.empty()) g.image.loadMap(texture.c_str());
}

bool isOnGround(float x, float y)
{
    const Ground& g = groundState();
    return g.created && g.area[0] <= x && x <= g.area[2] && g.area[1] <= y && y <= g.area[3];
}

float groundHeight(float x, float y)
{
    if (!isOnGround(x, y)) return 0;
    Ground& g = groundState();
    // A file's area can overflow to an infinite side; its cells are undefined.
    if (!std::isfinite(g.sizeX) || !std::isfinite(g.sizeY)) return 0;
    const int n = g.quadsPerSide;
    const int i = std::min(int(cellCoordinate(x - g.area[0], n, g.sizeX)), n - 1);
    const int j = std::min(int(cellCoordinate(y - g.area[1], n, g.sizeY)), n - 1);
    const GroundVertex& v00 = vertexAt(g, i, j);
    const float z00 = v00.z, z10 = vertexAt(g, i + 1, j).z;
    const float z01 = vertexAt(g, i, j + 1).z, z11 = vertexAt(g, i + 1, j + 1).z;
    const float u = cellCoordinate(x - v00.x, n, g.sizeX);
    const float v = cellCoordinate(y - v00.y, n, g.sizeY);
    // The cell's diagonal from (i, j) to (i+1, j+1) is the one the strips draw.
    if (u <= v) return (1 - v) * z00 + (v - u) * z01 + u * z11;
    return (1 - u) * z00 + (u - v) * z10 + v * z11;
}

float groundX0() { return groundState().area[0]; }
float groundY0() { return groundState().area[1]; }
float groundX1() { return groundState().area[2]; }
float groundY1() { return groundState().area[3]; }
float groundSizeX() { return groundState().sizeX; }
float groundSizeY() { return groundState().sizeY; }
float groundMaxHeight() { return groundState().maxHeight; }
const std::string& groundHeightMapFile() { return groundState().heightMapFile; }
const std::string& groundTextureFile() { return groundState().textureFile; }
int groundQuadsNumber() { return groundState().quadsNumber; }
float groundTextureRepeat() { return groundState().textureRepeat; }
