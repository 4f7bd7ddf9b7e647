#include "forest/tree.h"
#include "forest/tree_animation.h"
#include "forest/tree_mesh.h"
#include "forest_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct BranchSummary {
    float diameter, endDiameter, length;
    Vec3 position, z;
    uint32_t index;
};

std::vector<BranchSummary> summary(const Tree& t)
{
    std::vector<BranchSummary> out;
    forEachBranch(*t.trunk, [&](const Branch& b) {
        out.push_back({b.diameter, b.endDiameter, b.length, b.position, b.axes[2], b.index});
    });
    return out;
}

int grownCount(const Tree& t)
{
    int n = 0;
    forEachBranch(*t.trunk, [&](const Branch& b) { n += b.grown() ? 1 : 0; });
    return n;
}

class Growth : public ::testing::Test {
protected:
    void SetUp() override
    {
        treeDetail() = TreeDetail();
        treeCounters() = TreeCounters();
        lookAtOrigin();
    }
};

} // namespace

TEST(TreeRandom, KnownValuesAndRange)
{
    EXPECT_EQ(treeRandomBits(0, 0), 0u);
    EXPECT_EQ(treeRandomBits(0, 1), 159529792u);
    EXPECT_EQ(treeRandomBits(1234, 30), 2567967080u);
    EXPECT_EQ(treeRandomBits(7, 65535), 2631243473u);
    EXPECT_EQ(treeRandomBits(0xFFFFFFFFu, 33), 3484705710u);
    EXPECT_NEAR(treeRandom(0, 1), 0.5087166f, 1e-6f);
    float lo = 1.0f, hi = 0.0f;
    for (uint32_t c = 0; c < 20000; ++c) {
        const float r = treeRandom(99, c);
        ASSERT_GE(r, 0.0f);
        ASSERT_LE(r, 1.0f);
        lo = std::min(lo, r);
        hi = std::max(hi, r);
    }
    EXPECT_LT(lo, 0.01f);
    EXPECT_GT(hi, 0.99f);
}

TEST_F(Growth, SameSeedAndCameraGiveTheSameTreeAndOtherSeedsDiffer)
{
    const TreeParameters p = testParameters(77);
    const std::vector<BranchSummary> first = summary(growTree(p, Vec3{3, 4, 1}));
    growTree(testParameters(78), Vec3{3, 4, 1});
    const std::vector<BranchSummary> again = summary(growTree(p, Vec3{3, 4, 1}));
    ASSERT_EQ(first.size(), again.size());
    ASSERT_GT(first.size(), 10u);
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].index, again[i].index);
        EXPECT_EQ(first[i].diameter, again[i].diameter);
        EXPECT_EQ(first[i].length, again[i].length);
        EXPECT_EQ(first[i].position.z, again[i].position.z);
        EXPECT_EQ(first[i].z.x, again[i].z.x);
    }
    const std::vector<BranchSummary> other = summary(growTree(testParameters(78), Vec3{3, 4, 1}));
    bool differs = other.size() != first.size();
    for (size_t i = 0; !differs && i < first.size(); ++i) differs = other[i].length != first[i].length;
    EXPECT_TRUE(differs);
}

TEST_F(Growth, TrunkStandsAtTheFootAndChildrenStartAtTheirParentsTip)
{
    TreeParameters p = testParameters();
    const Tree t = growTree(p, Vec3{10, 20, 2});
    EXPECT_FLOAT_EQ(t.trunk->position.z, 2.0f);
    EXPECT_EQ(t.trunk->level, 1);
    EXPECT_FLOAT_EQ(t.trunk->relativeDiameter, 1.0f);
    forEachBranch(*t.trunk, [](const Branch& b) {
        if (!b.grown() || !b.parent) return;
        const Vec3 gap = b.position - b.parent->tip();
        EXPECT_LT(norm(gap), 1e-4f);
        EXPECT_EQ(b.level, b.parent->level + 1);
        // Frames bent by gravity are not quite orthonormal: nearly unit only.
        EXPECT_NEAR(norm(b.axes[2]), 1.0f, 2e-3f);
    });
    p.rootCount = 4;
    EXPECT_FLOAT_EQ(growTree(p, Vec3{10, 20, 2}).trunk->position.z, 2.0f + 0.8f * p.rootHeight);
}

TEST_F(Growth, ZeroBranchCountGivesABareTrunk)
{
    TreeParameters p = testParameters();
    p.branchCount = flatCurve(0, 10, 0, 0);
    const Tree t = growTree(p, Vec3{});
    EXPECT_EQ(t.trunk->childCount, 0);
    EXPECT_EQ(t.trunk->endDiameter, sampleCurve(p.branchCone, 0, p.seed, 30) * p.diameter);
    EXPECT_EQ(treeCounters().branches, 1);
}

TEST_F(Growth, ThreeEqualChildrenShareTheCrossSection)
{
    TreeParameters p = testParameters();
    p.branchCount = flatCurve(0, 10, 0.3f, 0.3f);       // exactly 3 everywhere
    p.subBranchDiameter = flatCurve(0.1f, 0.9f, 0.5f, 0.5f); // 0.5 of the parent
    const Tree t = growTree(p, Vec3{});
    ASSERT_EQ(t.trunk->childCount, 3);
    const float D = t.trunk->endDiameter;
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(t.trunk->children[i].diameter, D / std::sqrt(3.0f), 1e-5f * D);
    // Everywhere, children's squared diameters add up to the parent's end.
    forEachBranch(*t.trunk, [](const Branch& b) {
        if (b.childCount == 0 || !b.grown()) return;
        float sum = 0.0f;
        for (int i = 0; i < b.childCount; ++i) sum += b.children[i].diameter * b.children[i].diameter;
        EXPECT_NEAR(sum, b.endDiameter * b.endDiameter, 1e-4f * b.endDiameter * b.endDiameter);
    });
}

TEST_F(Growth, ThinBranchesDoNotSplitAndChildZeroIsThickest)
{
    TreeParameters p = testParameters(5);
    p.branchCount = flatCurve(0, 10, 0.2f, 0.4f);
    treeDetail().lodThreshold = 0.0f;
    const Tree t = growTree(p, Vec3{});
    int thinParents = 0;
    forEachBranch(*t.trunk, [&](const Branch& b) {
        if (b.childCount > 0 && b.grown() && b.endDiameter / p.diameter < 0.02f) {
            ++thinParents;
            for (int i = 0; i < b.childCount; ++i) EXPECT_EQ(b.children[i].childCount, 0);
        }
        for (int i = 1; i < b.childCount; ++i) EXPECT_GE(b.children[0].diameter, b.children[i].diameter);
    });
    EXPECT_GT(thinParents, 0);
}

TEST_F(Growth, CameraLookingAwayGrowsOnlyTheTrunk)
{
    setTreeCamera(Vec3{-30, 0, 5}, Vec3{-1, 0, 0});
    const Tree t = growTree(testParameters(), Vec3{});
    EXPECT_TRUE(t.trunk->grown());
    EXPECT_GT(t.trunk->childCount, 0);
    EXPECT_EQ(grownCount(t), 1);
    EXPECT_EQ(treeCounters().branches, 1);
}

TEST_F(Growth, FullPoolLeavesFurtherChildrenUngrown)
{
    TreeParameters p = testParameters();
    p.branchCount = flatCurve(0, 1.0e6f, 1.0f, 1.0f);  // absurd counts from a file
    p.subBranchDiameter = flatCurve(0.1f, 0.9f, 0.0f, 0.0f);
    p.branchCone = flatCurve(0.001f, 0.999f, 1.0f, 1.0f);
    treeDetail().lodThreshold = 0.0f;
    const Tree t = growTree(p, Vec3{});
    EXPECT_LE(branchPoolUsed(), BRANCH_POOL_SIZE);
    int records = 0;
    forEachBranch(*t.trunk, [&](const Branch& b) { ++records; EXPECT_TRUE(std::isfinite(b.diameter)); });
    EXPECT_EQ(records, branchPoolUsed());
    EXPECT_LE(grownCount(t), BRANCH_POOL_SIZE);
}

TEST(TreeDetailRegulation, ThresholdAndTubeFactorMoveTheRightWay)
{
    auto regulateWith = [](int branches, int leaves, int polygons) {
        treeCounters() = TreeCounters{branches, polygons, leaves};
        regulateTreeDetail();
        EXPECT_EQ(treeCounters().branches, 0);
        EXPECT_EQ(treeCounters().polygons, 0);
    };
    treeDetail() = TreeDetail();
    regulateWith(20000, 0, 5000); // too many branches: raise the threshold
    EXPECT_GT(treeDetail().lodThreshold, 0.04f);
    EXPECT_FLOAT_EQ(treeDetail().tubeFactor, 1.0f); // threshold moved, factor kept

    treeDetail() = TreeDetail();
    regulateWith(1000, 0, 5000); // too few: lower it
    EXPECT_LT(treeDetail().lodThreshold, 0.04f);

    treeDetail() = TreeDetail();
    regulateWith(9000, 10000, 30000); // branches + leaves/10 on budget, too many polygons
    EXPECT_FLOAT_EQ(treeDetail().lodThreshold, 0.04f);
    EXPECT_LT(treeDetail().tubeFactor, 1.0f);

    treeDetail() = TreeDetail();
    regulateWith(10000, 0, 2000); // room for polygons: finer tubes, up to 10
    EXPECT_GT(treeDetail().tubeFactor, 1.0f);
    for (int i = 0; i < 2000; ++i) regulateWith(10000, 0, 2000);
    EXPECT_FLOAT_EQ(treeDetail().tubeFactor, 10.0f);

    treeDetail().lodThreshold = 0.5f;
    regulateWith(0, 0, 0); // nothing drawn: back to the start values
    EXPECT_FLOAT_EQ(treeDetail().lodThreshold, 0.04f);
    EXPECT_FLOAT_EQ(treeDetail().tubeFactor, 1.0f);
}

TEST_F(Growth, MeshHasStripsLeavesAndCountsThem)
{
    TreeParameters p = testParameters();
    p.leaveMode = 1;
    TreeMesh mesh;
    const Tree t = growTree(p, Vec3{});
    const int branches = grownCount(t);
    buildTreeMesh(t, p, Vec3{}, mesh);
    ASSERT_GE(static_cast<int>(mesh.strips.size()), branches);
    int leafVertices = 0;
    for (const auto& slot : mesh.leaves) leafVertices += static_cast<int>(slot.size());
    EXPECT_EQ(leafVertices, 4 * mesh.leafCount);
    EXPECT_GT(mesh.leafCount, 0);
    EXPECT_EQ(treeCounters().polygons, mesh.polygons);
    EXPECT_EQ(treeCounters().leaves, mesh.leafCount);
    for (const MeshVertex& v : mesh.bark)
        for (float c : v.position) ASSERT_TRUE(std::isfinite(c));
    // The trunk reaches into the ground rather than floating above it.
    float lowest = 1e9f;
    for (const MeshVertex& v : mesh.bark) lowest = std::min(lowest, v.position[2]);
    EXPECT_LT(lowest, 0.0f);
    // Without leaves, no leaf quads.
    p.leaveMode = 0;
    buildTreeMesh(growTree(p, Vec3{}), p, Vec3{}, mesh);
    EXPECT_EQ(mesh.leafCount, 0);
}

TEST_F(Growth, WindBendsBranchesButThickOnesLess)
{
    TreeParameters p = testParameters(11);
    TreeAnimation anim;
    const std::vector<BranchSummary> still = summary(growTree(p, Vec3{}));
    Tree t = growTree(p, Vec3{});
    animateTree(t, p, anim, 0.0f, Vec3{1, 0, 0}, 0.0);
    const std::vector<BranchSummary> calm = summary(t);
    for (size_t i = 0; i < still.size(); ++i) EXPECT_NEAR(norm(calm[i].z - still[i].z), 0.0f, 1e-5f);

    // Levels ease in: after 1.5 s of a steady wind the bending is full.
    animateTree(t, p, anim, 0.2f, Vec3{1, 0, 0}, BENDING_EASE_MS);
    EXPECT_FLOAT_EQ(anim.weight[2], 1.0f);
    const std::vector<BranchSummary> bent = summary(t);
    ASSERT_EQ(bent.size(), still.size());
    EXPECT_NEAR(norm(bent[0].z - still[0].z), 0.0f, 1e-6f); // the trunk stays
    float moved = 0.0f;
    for (size_t i = 1; i < still.size(); ++i) moved = std::max(moved, norm(bent[i].z - still[i].z));
    EXPECT_GT(moved, 1e-3f);
    // Still joined after bending.
    forEachBranch(*t.trunk, [](const Branch& b) {
        if (b.grown() && b.parent) {
            EXPECT_LT(norm(b.position - b.parent->tip()), 1e-4f);
        }
    });
}

TEST_F(Growth, BendingDoesNotDependOnTheKindsUnitsAndStaysBounded)
{
    // The same kind drawn ten times smaller, seen from ten times closer, has
    // the same branches and must bend by the same angles.
    auto bentAxes = [](float scale, float strength) {
        TreeParameters p = testParameters(21);
        p.diameter *= scale;
        p.length *= scale;
        setTreeCamera(Vec3{-30 * scale, 0, 5 * scale}, Vec3{1, 0, 0});
        TreeAnimation anim;
        for (float& w : anim.weight) w = 1.0f;
        Tree t = growTree(p, Vec3{});
        animateTree(t, p, anim, strength, Vec3{0.8f, 0.3f, 0}, 0.0);
        std::vector<std::pair<Vec3, Vec3>> axes; // (own z, parent z)
        forEachBranch(*t.trunk, [&](const Branch& b) {
            if (b.grown() && b.parent) axes.push_back({b.axes[2], b.parent->axes[2]});
        });
        return axes;
    };
    const auto big = bentAxes(1.0f, 0.05f), small = bentAxes(0.1f, 0.05f);
    ASSERT_EQ(big.size(), small.size());
    ASSERT_GT(big.size(), 5u);
    for (size_t i = 0; i < big.size(); ++i) EXPECT_LT(norm(big[i].first - small[i].first), 1e-3f);

    // A storm turns no branch far from its parent's direction.
    const auto calm = bentAxes(1.0f, 0.0f), storm = bentAxes(1.0f, 50.0f);
    for (size_t i = 0; i < calm.size(); ++i) {
        const float before = std::acos(std::min(1.0f, dot(normalized(calm[i].first), normalized(calm[i].second))));
        const float after = std::acos(std::min(1.0f, dot(normalized(storm[i].first), normalized(storm[i].second))));
        EXPECT_LT(std::fabs(after - before), 0.75f);
    }
}
