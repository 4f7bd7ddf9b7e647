// Tree parameter files that once broke the growth or the meshing of a tree.
// Some faults (float to int overflow) only show in the sanitizer build.
#include "forest/tree.h"
#include "forest/tree_mesh.h"
#include "forest/tree_parameters.h"
#include "regression_input.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Grows and meshes the tree of `file` as the tree panel shows it after loading.
TreeMesh meshOf(const std::string& file)
{
    TreeParameters p = defaultTreeParameters();
    p.seed = 12345;
    EXPECT_TRUE(loadTreeParameters(p, file));
    setTreeCamera(Vec3{0, -400, 150}, Vec3{0, 1, 0});
    const Tree tree = growTree(p, Vec3{0, 0, 0});
    TreeMesh mesh;
    buildTreeMesh(tree, p, Vec3{0, 0, 0}, mesh);
    treeCounters() = TreeCounters{};
    return mesh;
}

// A root length of 2^31 m made the bark noise's lattice cell overflow an int.
TEST(TreeRegressions, HugeRootLengthMeshesWithFiniteVertices)
{
    const TreeMesh mesh = meshOf(regressionInput("huge_root_length.arb"));
    ASSERT_FALSE(mesh.bark.empty());
    for (const MeshVertex& v : mesh.bark)
        ASSERT_TRUE(std::isfinite(v.position[0]) && std::isfinite(v.position[1]) && std::isfinite(v.position[2]));
}

// A branch whose size on screen came out negative asked for a tube level
// below zero, and so for a negative shift.
TEST(TreeRegressions, NegativeOrUndefinedTubeSizesGetTheCoarsestTube)
{
    for (float s : {-1000.0f, -1.5f, std::nanf("")}) {
        const TubeResolution r = tubeResolution(s, 1.0f);
        EXPECT_EQ(r.sides, 4) << s;
        EXPECT_EQ(r.segments, 1) << s;
    }
    // The file that showed it; the sanitizer build checks the shift itself.
    meshOf(regressionInput("negative_tube_size.arb"));
}

// Finite but huge curve values overflowed to a NaN leaf count, or a NaN
// leaf picture number, which were then turned into ints.
TEST(TreeRegressions, OverflowingLeafCurvesDrawFiniteLeaves)
{
    for (const char* file : {"overflowing_leaf_count.arb", "undefined_leaf_picture.arb"}) {
        const TreeMesh mesh = meshOf(regressionInput(file));
        for (const auto& slot : mesh.leaves)
            for (const MeshVertex& v : slot)
                ASSERT_TRUE(std::isfinite(v.position[0]) && std::isfinite(v.position[1]) && std::isfinite(v.position[2]))
                    << file;
    }
}

} // namespace
