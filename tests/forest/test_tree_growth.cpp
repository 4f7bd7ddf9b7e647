#include "forest/tree.h"
#include "forest/tree_animation.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <vector>

namespace {

/// The defaults with a fixed seed and size.
TreeParameters testParameters(uint32_t seed = 1234)
{
    TreeParameters p = defaultTreeParameters();
    p.seed = seed;
    p.diameter = 0.4f;
    p.length = 10.0f;
    return p;
}

/// Calls `visit` on every branch below and including `b`, grown or not.
void forEachBranch(const Branch& b, const std::function<void(const Branch&)>& visit)
{
    visit(b);
    for (int i = 0; i < b.childCount; ++i) forEachBranch(b.children[i], visit);
}

/// Every branch's length and axis, in tree order.
std::vector<float> summary(const Tree& t)
{
    std::vector<float> out;
    forEachBranch(*t.trunk, [&](const Branch& b) { out.insert(out.end(), {b.length, b.axes[2].x, b.axes[2].y, b.axes[2].z}); });
    return out;
}

class Growth : public ::testing::Test {
protected:
    void SetUp() override
    {
        treeDetail() = TreeDetail();
        setTreeCamera(Vec3{-30, 0, 5}, Vec3{1, 0, 0});
    }
};

} // namespace

TEST_F(Growth, SameSeedGivesTheSameTreeAtItsFoot)
{
    EXPECT_EQ(treeRandomBits(0, 1), 159529792u);
    EXPECT_EQ(treeRandomBits(0xFFFFFFFFu, 33), 3484705710u);
    for (uint32_t c = 0; c < 20000; ++c) ASSERT_TRUE(treeRandom(99, c) >= 0.0f && treeRandom(99, c) <= 1.0f);
    const TreeParameters p = testParameters(77);
    const std::vector<float> first = summary(growTree(p, Vec3{3, 4, 1}));
    ASSERT_GT(first.size(), 40u);
    EXPECT_EQ(summary(growTree(p, Vec3{3, 4, 1})), first);
    EXPECT_NE(summary(growTree(testParameters(78), Vec3{3, 4, 1})), first);
    EXPECT_FLOAT_EQ(growTree(p, Vec3{3, 4, 1}).trunk->position.z, 1.0f);
}

TEST_F(Growth, ChildrenShareTheParentsCrossSection)
{
    TreeParameters p = testParameters();
    p.branchCount = flatCurve(0, 10, 0.3f, 0.3f);            // exactly 3 everywhere
    p.subBranchDiameter = flatCurve(0.1f, 0.9f, 0.5f, 0.5f); // 0.5 of the parent
    treeDetail().lodThreshold = 0.0f;
    const Tree t = growTree(p, Vec3{});
    ASSERT_EQ(t.trunk->childCount, 3);
    forEachBranch(*t.trunk, [&](const Branch& b) {
        if (b.childCount == 0 || !b.grown()) return;
        float sum = 0.0f;
        for (int i = 0; i < b.childCount; ++i) sum += b.children[i].diameter * b.children[i].diameter;
        EXPECT_NEAR(sum, b.endDiameter * b.endDiameter, 1e-4f * b.endDiameter * b.endDiameter);
    });
}

TEST_F(Growth, FullPoolLeavesFurtherChildrenUngrown)
{
    TreeParameters p = testParameters();
    p.branchCount = flatCurve(0, 1.0e6f, 1.0f, 1.0f); // absurd counts from a file
    p.subBranchDiameter = flatCurve(0.1f, 0.9f, 0.0f, 0.0f);
    p.branchCone = flatCurve(0.001f, 0.999f, 1.0f, 1.0f);
    treeDetail().lodThreshold = 0.0f;
    const Tree t = growTree(p, Vec3{});
    int records = 0;
    forEachBranch(*t.trunk, [&](const Branch& b) { ++records; EXPECT_TRUE(std::isfinite(b.diameter)); });
    EXPECT_EQ(records, branchPoolUsed());
    EXPECT_LE(branchPoolUsed(), BRANCH_POOL_SIZE);
}

TEST(TreeDetailRegulation, ThresholdAndTubeFactorMoveTheRightWay)
{
    // Branches, polygons, leaves; then -1 lower, 0 kept, +1 higher than the
    // start values for the threshold and the tube factor.
    for (auto [branches, polygons, leaves, threshold, tubes] :
         {std::array{20000, 5000, 0, +1, 0}, {1000, 5000, 0, -1, 0}, {9000, 30000, 10000, 0, -1}, {10000, 2000, 0, 0, +1}}) {
        treeDetail() = TreeDetail();
        treeCounters() = TreeCounters{branches, polygons, leaves};
        regulateTreeDetail();
        const float t = treeDetail().lodThreshold, f = treeDetail().tubeFactor;
        EXPECT_EQ((t > 0.04f) - (t < 0.04f), threshold) << branches << " " << polygons;
        EXPECT_EQ((f > 1.0f) - (f < 1.0f), tubes) << branches << " " << polygons;
    }
    // With the tubes already at their coarsest, few branches but too many
    // polygons: the threshold rises (30000 polygons: by 1 + 20000 · 1e-5);
    // inside the polygon band it stays, below the band it falls again.
    for (auto [polygons, threshold] : {std::pair{30000, 0.04f * 1.2f}, {9500, 0.04f}, {8000, 0.04f / 1.9f}}) {
        treeDetail() = TreeDetail();
        treeDetail().tubeFactor = 0.7f;
        treeCounters() = TreeCounters{1000, polygons, 0};
        regulateTreeDetail();
        EXPECT_NEAR(treeDetail().lodThreshold, threshold, 1e-6f) << polygons;
    }
}

TEST_F(Growth, BendingKeepsTheTreeJoinedAndDoesNotDependOnTheKindsUnits)
{
    // The same kind ten times smaller, seen from ten times closer, must bend
    // by the same angles. Each entry: own axis, parent axis.
    auto bentAxes = [](float scale, float strength) {
        TreeParameters p = testParameters(21);
        p.diameter *= scale;
        p.length *= scale;
        setTreeCamera(Vec3{-30 * scale, 0, 5 * scale}, Vec3{1, 0, 0});
        TreeAnimation anim;
        for (float& w : anim.weight) w = 1.0f;
        Tree t = growTree(p, Vec3{});
        animateTree(t, p, anim, strength, Vec3{0.8f, 0.3f, 0}, 0.0);
        std::vector<std::pair<Vec3, Vec3>> axes;
        forEachBranch(*t.trunk, [&](const Branch& b) {
            if (!b.grown() || !b.parent) return;
            axes.push_back({b.axes[2], b.parent->axes[2]});
            EXPECT_LT(norm(b.position - b.parent->tip()), 1e-4f);
        });
        return axes;
    };
    const auto calm = bentAxes(1.0f, 0.0f), big = bentAxes(1.0f, 0.05f), small = bentAxes(0.1f, 0.05f);
    ASSERT_EQ(big.size(), small.size());
    ASSERT_GT(big.size(), 5u);
    float moved = 0.0f;
    for (size_t i = 0; i < big.size(); ++i) {
        EXPECT_LT(norm(big[i].first - small[i].first), 1e-3f);
        moved = std::max(moved, norm(big[i].first - calm[i].first));
    }
    EXPECT_GT(moved, 1e-3f);

    // A storm turns no branch far from its parent's direction.
    auto angle = [](const std::pair<Vec3, Vec3>& a) {
        return std::acos(std::min(1.0f, dot(normalized(a.first), normalized(a.second))));
    };
    const auto storm = bentAxes(1.0f, 50.0f);
    for (size_t i = 0; i < calm.size(); ++i) EXPECT_LT(std::fabs(angle(storm[i]) - angle(calm[i])), 0.75f);
}
