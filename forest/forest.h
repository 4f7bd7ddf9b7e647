#pragma once
/// The forest: a stand of up to 199 trees of one kind, each with its own
/// position, seed and size, grown again every frame for the current camera.
/// One process-wide forest, reached through these functions; its drawing is
/// in forest/forest_draw.h, its editing panel in forest/tree_panel.h.
#include "forest/tree.h"

#include <string>
#include <vector>

/// Most trees the forest holds.
constexpr int MAX_TREES = 199;

/// One tree as the dialogs and the scene file exchange it.
struct TreeRecord {
    float position2d[2] = {0, 0};  ///< x, y on the ground
    int32_t seed = 0;
    float relativeDiameter = 0;    ///< this tree's diameter minus tree 0's
    float relativeLength = 0;      ///< this tree's length minus tree 0's
};

/// Creates the default parameters (with a random seed) and empties the forest.
void initForest();

/// Undoes initForest and loadTreeTextures: no trees, no panel, the picture
/// slots forgotten (their GL names belong to the texture manager).
void releaseForest();

/// Remembers the folder prefix of the leaf ("%sleaf00.tga".."%sleaf14.tga")
/// and bark ("%strunc00.tga".."%strunc09.tga") pictures; they are loaded into
/// their slots at the next `drawForest`, where the GL context is current.
void loadTreeTextures(const std::string& prefix);

/// Loads the tree kind of `fileName` (unchanged parameters when it cannot be
/// read), gives its seed and sizes to tree 0, then re-randomises the trees.
void loadArb(const std::string& fileName);

/// New seed for tree 0; new seeds, diameters and lengths (75 % to 125 % of
/// tree 0's) and a fresh animation for the other trees.
void randomizeTrees();

/// Which values of trees 1 and up `rerandomizeTrees` draws anew.
enum TreeDraw { DRAW_DIAMETER = 1, DRAW_LENGTH = 2, DRAW_SEED = 4, DRAW_ALL = 7 };

/// Trees 1 and up around tree 0: each value in `which` (TreeDraw flags) takes
/// one draw, tree by tree in the order diameter, length, seed. Diameters and
/// lengths are 75 % to 125 % of tree 0's; a new seed restarts the animation.
void rerandomizeTrees(int which);

/// New seeds for every tree (tree 0 even in an empty forest); tree 0's also
/// goes to the parameters.
void resetTreeSeeds();

/// Sets tree 0's diameter, and the parameters', as a size a tree grows from:
/// at least 0.02, and 0.02 for NaN or infinity.
void setTreeZeroDiameter(float diameter);
/// The same for tree 0's length.
void setTreeZeroLength(float length);

/// Puts tree 0's seed and sizes into the parameters: tree parameter files are
/// read and written with them.
void giveTreeZeroToParameters();
/// Gives tree 0 the parameters' seed and sizes (sizes guarded as above).
void takeTreeZeroFromParameters();

/// Places `count` trees (at most 199) from `records`, standing on the ground.
void setTrees(int count, const TreeRecord* records);

/// The trees as records, sizes relative to tree 0.
std::vector<TreeRecord> getTrees();

/// Number of trees.
int forestTreeCount();
/// Foot of tree i.
Vec3 forestTreePosition(int i);
/// Seed of tree i.
uint32_t forestTreeSeed(int i);
/// Trunk diameter of tree i.
float forestTreeDiameter(int i);
/// Length scale of tree i.
float forestTreeLength(int i);

/// The parameters every tree is grown from.
TreeParameters& treeParameters();
/// The last parameter file loaded.
const std::string& forestArbFile();

/// Tree shown in the tree panel (not bent by the wind), −1 for none.
void setEditedTree(int i);

/// Polygon budget of the detail regulation.
int forestPolygonBudget();
/// Sets the polygon budget of the detail regulation.
void setForestPolygonBudget(int polygons);
/// Steady crowns (the enhanced look): the regulation holds still inside a wide
/// band around its budgets and moves the threshold by small steps only.
void setForestSteady(bool on);
