#pragma once
/// The forest's process-wide record, shared by its model and drawing files.
#include "forest/tree_animation.h"
#include "forest/forest.h"
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
    bool editorShown = false;
    bool sampled = false;      ///< sample statistics measured at the first frame
    int lastPolygons = 0;
    TreeParameters parameters;
    TreeMesh mesh;
};

/// The one forest.
Forest& forestState();
