#pragma once
/// Drawing the forest, and what a measured frame of it cost. The forest's
/// trees, parameters and panel are in forest/forest.h and forest/tree_panel.h.
#include "forest/forest.h"

/// Draws every tree for the camera at `position` looking along `direction`.
/// Needs a current GL context.
void drawForest(const float position[3], const float direction[3]);

/// Polygons drawn by the last `drawForest`.
int forestPolygonCount();

/// Milliseconds that the last measured `drawForest` spent growing (and
/// bending) the trees and building their meshes, wall and process CPU time.
struct ForestCost {
    double growthWall = 0, growthCpu = 0;
    double meshWall = 0, meshCpu = 0;
    long leafQuads = 0; ///< leaf quads sent
};
/// Whether the next `drawForest` measures its cost (the clocks cost time too).
void measureForestCost(bool measured);
/// The cost of the last measured `drawForest`.
const ForestCost& forestCost();
