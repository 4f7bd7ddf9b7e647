// Inputs that once broke a reader, the ground, the grass or a tree. Run them
// in the sanitizer build too: some faults (signed overflow, float to int
// overflow) only show there.
#include "forest/tree.h"
#include "forest/tree_mesh.h"
#include "forest/tree_parameters.h"
#include "grass/grass_field.h"
#include "ground/ground.h"
#include "ground/image.h"
#include "tests/support/finite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

namespace {

const std::string inputs = std::string(VELMORA_SOURCE_DIR) + "/tests/regressions/inputs/";

/// Grows and meshes the tree of `file` as the tree panel shows it after loading.
TreeMesh meshOf(const std::string& file)
{
    TreeParameters p = defaultTreeParameters();
    p.seed = 12345;
    EXPECT_TRUE(loadTreeParameters(p, inputs + file));
    setTreeCamera(Vec3{0, -400, 150}, Vec3{0, 1, 0});
    TreeMesh mesh;
    buildTreeMesh(growTree(p, Vec3{}), p, Vec3{}, mesh);
    treeCounters() = TreeCounters{};
    return mesh;
}

} // namespace

// A header number whose first byte is not a digit starts negative; a long run
// of digits after it used to overflow instead of being capped.
TEST(PictureRegressions, NegativeHeaderNumberWithLongDigitRunLoadsNothing)
{
    const std::string name = inputs + "ppm_negative_digit_run.ppm";
    testing::internal::CaptureStdout();
    Image image;
    EXPECT_FALSE(image.loadMap(name.c_str()));
    Texture texture;
    EXPECT_FALSE(texture.loadMap(name.c_str()));
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("read error"), std::string::npos);
    EXPECT_NE(printed.find("Warning:Texture: unable to load map"), std::string::npos);
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(texture.width, 0);
}

// A scene file's ground area "0 0 100 10888888888888888888888888888888888888880"
// reads as an infinite side; the height query then turned NaN into a cell number.
TEST(GroundRegressions, AnInfiniteGroundAnswersHeightZero)
{
    const float inf = std::numeric_limits<float>::infinity(), area[4] = {0, 0, 100, inf};
    createGround(area, 5.0f, 100, nullptr, nullptr, 8.0f);
    EXPECT_EQ(groundHeight(50, 50), 0.0f);
    EXPECT_EQ(groundHeight(50, inf), 0.0f);
}

// A scene file's grass area with a garbled number gave an undefined patch
// size, and the blade count of a patch was then NaN turned into an int.
TEST(GrassRegressions, AnUndefinedFieldSizeGivesNoBlades)
{
    GrassField field;
    const float area[4] = {0, 0, std::nanf(""), 100};
    field.initField(area, 10, 10, nullptr);
    field.setBladesPerSquareMetre(2147483647);
    EXPECT_EQ(field.getSettings().bladesPerPatch, 0);
}

// A root length of 2^31 m made the bark noise's lattice cell overflow an int.
TEST(TreeRegressions, HugeRootLengthMeshesWithFiniteVertices)
{
    const TreeMesh mesh = meshOf("huge_root_length.arb");
    ASSERT_FALSE(mesh.bark.empty());
    for (const MeshVertex& v : mesh.bark) ASSERT_TRUE(finite(v));
}

// A branch whose size on screen came out negative asked for a tube level
// below zero, and so for a negative shift (the file that showed it is
// meshed for the sanitizer build, which checks the shift itself).
TEST(TreeRegressions, NegativeOrUndefinedTubeSizesGetTheCoarsestTube)
{
    for (float s : {-1000.0f, -1.5f, std::nanf("")}) {
        const TubeResolution r = tubeResolution(s, 1.0f);
        EXPECT_EQ(std::pair(r.sides, r.segments), std::pair(4, 1)) << s;
    }
    meshOf("negative_tube_size.arb");
}

// Finite but huge curve values overflowed to a NaN leaf count, or a NaN
// leaf picture number, which were then turned into ints.
TEST(TreeRegressions, OverflowingLeafCurvesDrawFiniteLeaves)
{
    for (const char* file : {"overflowing_leaf_count.arb", "undefined_leaf_picture.arb"}) {
        const TreeMesh mesh = meshOf(file);
        for (const auto& slot : mesh.leaves)
            for (const MeshVertex& v : slot) ASSERT_TRUE(finite(v)) << file;
    }
}
