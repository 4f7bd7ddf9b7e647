#pragma once
/// Growing one tree from the shared parameters, a seed and the camera, with
/// the branches that are too small on screen left ungrown.
#include "forest/tree_parameters.h"
#include "forest/vec3.h"

#include <cstdint>

/// Records in the branch pool: a tree never has more branches, trunk included.
constexpr int BRANCH_POOL_SIZE = 1024;

/// One branch; all of a tree's branches live in the pool.
struct Branch {
    int32_t childCount = 0;     ///< number of children, fixed at creation
    Branch* children = nullptr; ///< contiguous block of `childCount` records
    Branch* parent = nullptr;   ///< null for the trunk
    float diameter = 0;         ///< thickness at the start (used as radius)
    float endDiameter = 0;      ///< thickness at the tip, 0 without children
    float length = 0;
    uint32_t index = 0;         ///< low 16 bits: random index; bit 24: grown
    float projectedSize = 0;    ///< estimated size on screen
    float relativeDiameter = 0; ///< diameter / trunk diameter
    Vec3 axes[3];               ///< x, y, z axes in world coordinates (grows along z)
    Vec3 position;              ///< world position of the start
    float elevation = 0;        ///< angle from the parent's z axis, radians
    float azimuth = 0;          ///< angle around the parent's z axis, radians
    int32_t level = 0;          ///< 1 for the trunk
    int32_t bendingState = 0;   ///< 0 not bent, 1 bent, 3/4 easing in/out
    int32_t serial = 0;         ///< creation order within the tree

    static constexpr uint32_t GROWN_BIT = 1u << 24;
    /// True once the branch has a length and a frame.
    bool grown() const { return (index & GROWN_BIT) != 0; }
    /// The index `treeRandom` is fed with for this branch.
    uint32_t randomIndex() const { return index & 0xFFFFu; }
    /// Position of the tip.
    Vec3 tip() const { return position + axes[2] * length; }
};

/// The tree of the current frame. Its branches live in the pool and are
/// overwritten by the next `growTree`.
struct Tree {
    bool edited = false;     ///< the forest's edited tree
    Branch* trunk = nullptr; ///< root branch
};

/// Detail settings, regulated once per frame.
struct TreeDetail {
    float lodThreshold = 0.04f;      ///< branches not larger on screen stay ungrown
    float projectionFactor = 45.0f;  ///< projected size = factor · diameter / distance
    float tubeFactor = 1.0f;         ///< scales the tube resolution
    int branchBudget = 10000;        ///< target of branches + leaves/10 per frame
    int polygonBudget = 10000;       ///< target of polygons per frame
    /// Wide dead bands and small steps, so that a still camera gets a still
    /// crown and a threshold change fades leaves in and out over frames.
    bool steady = false;
};

/// Counts of the frame being drawn.
struct TreeCounters {
    int branches = 0; ///< branches grown
    int polygons = 0; ///< polygons drawn
    int leaves = 0;   ///< leaves drawn
};

/// The process-wide detail settings.
TreeDetail& treeDetail();
/// The process-wide counters.
TreeCounters& treeCounters();

/// Sets the camera that growth measures projected sizes from; `direction`
/// need not be normalised.
void setTreeCamera(Vec3 position, Vec3 direction);

/// The deterministic hash of a branch index under `seed`, before scaling:
/// the rotated 32-bit value whose low 24 bits make `treeRandom`.
uint32_t treeRandomBits(uint32_t seed, uint32_t c);

/// A value in [0, 1] that depends only on `seed` and `c`.
inline float treeRandom(uint32_t seed, uint32_t c)
{
    return static_cast<float>(treeRandomBits(seed, c) & 0xFFFFFFu) / 16777215.0f;
}

/// Draws curve `curve` at t with index c: between boundA(t) and boundB(t).
float sampleCurve(const ParameterCurve& curve, float t, uint32_t seed, uint32_t c);

/// Size on screen of something of diameter `d` seen at `from` with the
/// current camera; 0 behind the camera.
float projectedSize(float d, Vec3 from);

/// Grows the tree of `p` (with its seed, diameter and length) standing at
/// `foot`, for the current camera. Counts the grown branches.
Tree growTree(const TreeParameters& p, Vec3 foot);

/// Sets `q`'s frame and position from its elevation and azimuth relative to
/// its parent's current frame, with gravity, starting at the parent's tip.
void placeBranch(Branch& q, float elevation, float azimuth, float gravity);

/// Number of records the last `growTree` took from the pool.
int branchPoolUsed();

/// Adjusts the threshold and tube factor from the counters of the frame just
/// drawn, then resets the counters.
void regulateTreeDetail();
