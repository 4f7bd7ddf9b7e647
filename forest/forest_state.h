#pragma once
/// The forest's process-wide record, shared by its model and drawing files.
#include "forest/tree_animation.h"
#include "forest/forest.h"
#include "forest/forest_draw.h"
#include "forest/tree_mesh.h"

#include <string>

/// Everything the forest keeps between frames.
struct Forest {
    int count = 0;
    Vec3 positions[MAX_TREES + 1];
    uint32_t seeds[MAX_TREES + 1] = {};
    float diameters[MAX_TREES + 1] = {};
    float lengths[MAX_TREES + 1] = {};
    TreeAnimation animations[MAX_TREES + 1];
    float windStrength[MAX_TREES + 1] = {};
    Vec3 windDirection[MAX_TREES + 1];
    int editedTree = -1;
    std::string arbFile;
    std::string texturePrefix;
    bool texturesPending = false;
    /// The pictures' GL names, 0 for a missing one; the texture manager owns them.
    unsigned int leafTextures[LEAF_SLOTS] = {};
    unsigned int barkTextures[BARK_SLOTS] = {};
    bool costMeasured = false;  ///< the next frame measures its cost
    ForestCost cost;            ///< of the last measured frame
    bool sampled = false;      ///< sample statistics measured at the first frame
    int lastPolygons = 0;
    TreeParameters parameters;
    TreeMesh mesh;
};

/// The one forest.
Forest& forestState();

// [SECTION] Frame steps, used by the drawing, the panel and the tests

/// Stores the camera, regulates the detail from the previous frame's counts
/// and, at the first frame, measures the sample statistics.
void beginForestFrame(Vec3 cameraPosition, Vec3 cameraDirection);

/// Grows tree i for this frame and bends it by its smoothed wind at
/// `nowMilliseconds`. The tree lives until the next growth.
Tree growForestTree(int i, double nowMilliseconds);

/// Grows tree i as growForestTree does and builds its mesh into the forest's
/// mesh, timing both in a measured frame. The mesh lives until the next call.
const TreeMesh& buildForestMesh(int i, double nowMilliseconds);

/// The end of a frame: keeps its polygon count and shows the counters in the panel.
void endForestFrame();

/// Recomputes the sample statistics of the parameters from `samples` trees
/// grown in full detail with fresh seeds.
void computeSampleStatistics(int samples);
