#pragma once
/// Turning a grown tree into vertex arrays: bark tubes as triangle strips,
/// roots, and leaf quads grouped by leaf picture. No GL here: the drawing
/// layer hands the arrays to GL as they are.
#include "forest/tree.h"

#include <vector>

/// Leaf picture slots.
constexpr int LEAF_SLOTS = 15;
/// Bark picture slots.
constexpr int BARK_SLOTS = 10;

/// One vertex: position, normal, texture coordinates, colour with alpha.
struct MeshVertex {
    float position[3];
    float normal[3];
    float uv[2];
    float color[4];
};

/// The drawable form of one tree. Buffers keep their capacity between trees.
struct TreeMesh {
    std::vector<MeshVertex> bark;                ///< tube vertices, strips below
    std::vector<int> stripFirst;                 ///< one triangle strip per ring-to-ring band:
    std::vector<int> stripCount;                 ///< its first vertex and its vertex count
    std::vector<MeshVertex> leaves[LEAF_SLOTS];  ///< quads (4 vertices each) per picture
    int polygons = 0;                            ///< tube polygons of this tree (leaves count apart)
    int leafCount = 0;                           ///< leaves of this tree
};

/// Fills `mesh` from `tree`, grown from `p` at `foot`, with the tube factor
/// and threshold of `treeDetail()`; adds its tube polygons and its leaves to
/// the counters (the polygon budget steers the tubes, the branch budget the
/// leaves).
void buildTreeMesh(const Tree& tree, const TreeParameters& p, Vec3 foot, TreeMesh& mesh);

/// Ring sides, segments and morph of a tube seen at projected size `s` with
/// tube factor `factor`.
struct TubeResolution {
    int sides;
    int segments;
    float morph; ///< 1 = every vertex in place, 0 = odd vertices halfway
};
/// The tube resolution for projected size `s`.
TubeResolution tubeResolution(float s, float factor);
