#pragma once
/// The one ground of the scene: a rectangular height field sampled on a grid
/// of square cells, built from a grey height-map picture, drawn textured.
/// Model side: no GL here; drawing lives in ground_draw.cpp.
#include "ground/image.h"

#include <cstdint>
#include <string>
#include <vector>

/// One grid vertex: position, then unit normal.
struct GroundVertex {
    float x = 0, y = 0, z = 0;
    float nx = 0, ny = 0, nz = 0;
};

/// The ground's state, kept by the module (ground/ground_state.h); change it
/// only with `createGround`.
struct Ground {
    float area[4] = {0, 0, 0, 0};  ///< x0, y0, x1, y1 in metres
    float sizeX = 1.0f;            ///< x1 − x0, 1 when negative
    float sizeY = 1.0f;            ///< y1 − y0, 1 when negative
    float maxHeight = 0;           ///< height of a white height-map pixel (m)
    int32_t quadsPerSide = 0;      ///< n: grid cells along each side
    std::vector<GroundVertex> vertices;  ///< (n+1)², vertex (c, r) at r·(n+1) + c
    unsigned int displayList = 0;  ///< GL display list, 0 when not compiled
    Image image;                   ///< the height map, then the ground texture
    std::string heightMapFile;     ///< empty when none
    std::string textureFile;       ///< empty when none
    int32_t quadsNumber = 0;       ///< cell count as requested
    float textureRepeat = 0;       ///< texture repetitions along each side
    bool created = false;
    unsigned int staleDisplayList = 0;  ///< replaced list, deleted at the next draw
};

/// Largest number of cells along a side; bigger requests are cut to it so a
/// scene file cannot ask for gigabytes of vertices.
constexpr int32_t MAX_QUADS_PER_SIDE = 1024;

/// Builds the ground on `area` (x0, y0, x1, y1). `quadsNumber` cells are
/// requested; the grid takes trunc(sqrt(max(quadsNumber, 2))) per side.
/// A null or empty name means no height map (flat) or no texture. Needs no GL
/// context: the display list and texture are (re)made by the next `drawGround`.
void createGround(const float area[4], float maxHeight, int quadsNumber,
                  const char* heightMapFile, const char* textureFile, float textureRepeat);

/// Draws the ground, compiling its display list and uploading its texture
/// first when needed. Needs a current GL context.
void drawGround();

/// Releases the display list, the texture, the pixels and the vertices; the
/// ground is then as never created. Needs the drawing context current when
/// the ground has been drawn.
void releaseGround();

/// True when the ground exists and x0 ≤ x ≤ x1, y0 ≤ y ≤ y1.
bool isOnGround(float x, float y);

/// Ground height at (x, y), on the plane of the grid triangle that holds the
/// point; 0 outside the area or before creation.
float groundHeight(float x, float y);

/// Getters of the creation parameters.
float groundX0();
float groundY0();
float groundX1();
float groundY1();
float groundSizeX();
float groundSizeY();
float groundMaxHeight();
const std::string& groundHeightMapFile();
const std::string& groundTextureFile();
int groundQuadsNumber();
float groundTextureRepeat();
