#include "forest/tree.h"
#include "forest/tree_animation.h"
#include "forest/tree_mesh.h"

#include <gtest/gtest.h>

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

/// Two children everywhere of half the parent's end diameter (then scaled
/// by sqrt 2), ends of half the start, length 5, no angle noise, no gravity:
/// a tree whose every value can be worked out by hand.
TreeParameters handParameters()
{
    TreeParameters p = testParameters();
    p.diameter = 1.0f;
    p.branchCount = flatCurve(0, 10, 0.2f, 0.2f);
    p.subBranchDiameter = p.branchCone = p.branchLength = flatCurve(0, 1, 0.5f, 0.5f);
    p.angleNoise = flatCurve(-1, 1, 0.5f, 0.5f);
    p.gravity = 0;
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

struct BentBranch {
    Vec3 z, parentZ, tip;
    int level;
};

/// The grown branches below the trunk of `p` bent at full weight by a wind of
/// `strength` along `wind`, each checked to start at its parent's tip.
std::vector<BentBranch> bent(const TreeParameters& p, float strength, Vec3 wind)
{
    TreeAnimation anim;
    for (float& w : anim.weight) w = 1.0f;
    Tree t = growTree(p, Vec3{});
    animateTree(t, p, anim, strength, wind, 0.0);
    std::vector<BentBranch> out;
    forEachBranch(*t.trunk, [&](const Branch& b) {
        if (!b.grown() || !b.parent) return;
        out.push_back({b.axes[2], b.parent->axes[2], b.tip(), b.level});
        EXPECT_LT(norm(b.position - b.parent->tip()), 1e-4f);
    });
    return out;
}

class Growth : public ::testing::Test {
protected:
    void SetUp() override
    {
        treeDetail() = TreeDetail();
        setTreeCamera(Vec3{-30, 0, 5}, Vec3{1, 0, 0});
    }
    /// Every branch grows: seen from far below, no threshold.
    static void seeAll()
    {
        setTreeCamera(Vec3{0, 0, -1000}, Vec3{0, 0, 1});
        treeDetail().lodThreshold = 0.0f;
    }
    static Tree inFull(const TreeParameters& p, Vec3 foot = Vec3{})
    {
        seeAll();
        return growTree(p, foot);
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
    treeDetail().lodThreshold = 0.0f;
    forEachBranch(*growTree(p, Vec3{}).trunk, [&](const Branch& b) {
        if (b.childCount == 0 || !b.grown()) return;
        float sum = 0.0f;
        for (int i = 0; i < b.childCount; ++i) {
            sum += b.children[i].diameter * b.children[i].diameter;
            EXPECT_LE(b.children[i].diameter, b.children[0].diameter) << "child 0 continues the axis";
        }
        EXPECT_NEAR(sum, b.endDiameter * b.endDiameter, 1e-4f * b.endDiameter * b.endDiameter);
    });
    // Three children of half the parent pass the check (0.25, 0.5, 0.75 <= 1)
    // and are scaled to 1/sqrt(3) each; of 0.9, the second and third are
    // redrawn at 0.1 to 0.3 of the parent.
    p.branchCount = flatCurve(0, 10, 0.3f, 0.3f);
    for (float sub : {0.5f, 0.9f}) {
        p.subBranchDiameter = flatCurve(0, 1, sub, sub);
        const Branch& b = *growTree(p, Vec3{}).trunk;
        ASSERT_EQ(b.childCount, 3);
        for (int i = 1; i < 3; ++i) {
            if (sub == 0.5f) EXPECT_NEAR(b.children[i].diameter, b.endDiameter / std::sqrt(3.0f), 1e-5f);
            else EXPECT_LT(b.children[i].diameter, 0.34f * b.children[0].diameter);
        }
    }
}

TEST_F(Growth, HandGrownTreeFollowsTheFormulas)
{
    TreeParameters p = handParameters();
    treeCounters() = TreeCounters();
    const Tree t = inFull(p, Vec3{1, 2, 3});
    // Diameters (1/2)/sqrt(2) of the parent's; ends of half the start; splitting
    // stops below a relative end diameter of 0.02 (level 5: 0.0078).
    int perLevel[8] = {};
    forEachBranch(*t.trunk, [&](const Branch& b) {
        ASSERT_TRUE(b.grown() && b.level < 8);
        ++perLevel[b.level];
        const float d = std::pow(0.5f / std::sqrt(2.0f), float(b.level - 1));
        EXPECT_NEAR(b.diameter, d, 1e-4f * d);
        EXPECT_EQ(b.childCount, b.level <= 5 ? 2 : 0) << b.level;
        EXPECT_NEAR(b.endDiameter, b.level <= 5 ? 0.5f * d : 0.0f, 1e-4f * d);
        EXPECT_NEAR(b.length, 5.0f, 1e-5f);
    });
    EXPECT_EQ(std::vector<int>(perLevel + 1, perLevel + 7), (std::vector<int>{1, 2, 4, 8, 16, 32}));
    EXPECT_EQ(treeCounters().branches, 63);
    // The fork's two halves of a turn from the running azimuth pi (a = 2pi, 3pi),
    // elevation (1 - d/D)·pi/2; then gravity g = 0.1·0.9649/((d/D0 - 0.07)^2 + 0.1).
    const float e = (1 - std::sqrt(0.5f)) * 3.14159265f / 2, se = std::sin(e), ce = std::cos(e);
    const Branch* kids = t.trunk->children;
    EXPECT_LT(norm(kids[0].axes[2] - Vec3{0, se, ce}), 1e-5f);
    EXPECT_LT(norm(kids[1].axes[2] - Vec3{0, -se, ce}), 1e-5f);
    EXPECT_LT(norm(kids[0].axes[1] - Vec3{0, ce, -se}), 1e-5f);
    p.gravity = 1;
    p.rootCount = 2;
    const float rr = std::sqrt(0.125f) - 0.07f, g = 0.09649f / (rr * rr + 0.1f);
    const Tree heavy = inFull(p, Vec3{1, 2, 3});
    EXPECT_LT(norm(heavy.trunk->children[0].axes[2] - normalized(Vec3{0, se, ce - g})), 1e-5f);
    EXPECT_FLOAT_EQ(heavy.trunk->position.z, 3 + 0.8f * p.rootHeight) << "a trunk with roots starts above them";
}

TEST_F(Growth, RandomDrawsFollowTheirIndices)
{
    TreeParameters p = handParameters();
    p.branchCone = p.branchLength = flatCurve(0, 1, 0.2f, 0.8f);
    auto drawn = [&](uint32_t c) { return 0.2f + 0.6f * treeRandom(p.seed, c); };
    Tree t = inFull(p);
    EXPECT_FLOAT_EQ(t.trunk->endDiameter, drawn(30));
    EXPECT_FLOAT_EQ(t.trunk->length, 10 * drawn(33));
    // Child i of the trunk has index (i + 4·30)·3; at a fork its draws start at index + 11.
    for (int i = 0; i < 2; ++i) {
        const Branch& c = t.trunk->children[i];
        const uint32_t id = 360 + 3 * i;
        EXPECT_TRUE(c.randomIndex() == id && std::fabs(c.endDiameter - drawn(id + 11) * c.diameter) < 1e-6f &&
                    std::fabs(c.length - 10 * drawn(id + 12)) < 1e-5f) << i;
    }
    // A single child draws from index + 10 and turns by its azimuth draw from
    // the running azimuth pi: 0.5·2pi + pi, at an elevation of 0.5·pi/2.
    p.branchCount = flatCurve(0, 10, 0.1f, 0.1f);
    p.angleNoise = flatCurve(-1, 1, 0.75f, 0.75f);
    t = growTree(p, Vec3{});
    const Branch& only = t.trunk->children[0];
    EXPECT_FLOAT_EQ(only.length, 10 * drawn(371));
    EXPECT_LT(norm(only.axes[2] - Vec3{0, std::sqrt(0.5f), std::sqrt(0.5f)}), 1e-5f);
}

TEST_F(Growth, DistantOrOffCentreBranchesStayUngrown)
{
    // The trunk's children (d = 0.354) seen from 300: 45·d/300 = 0.053 > 0.04;
    // theirs (0.125) 0.019. Seen at cos 0.6 < 0.85 the size shrinks by 0.6/0.85
    // to 0.037; from 100 one more level grows (0.056); behind the camera none.
    const TreeParameters p = handParameters();
    const std::pair<Vec3, int> cases[] = {{{-300, 0, 0}, 3}, {{-180, 240, 0}, 1}, {{-100, 0, 0}, 7}, {{300, 0, 0}, 1}};
    for (const auto& [eye, grown] : cases) {
        setTreeCamera(eye, Vec3{1, 0, 0});
        treeCounters() = TreeCounters();
        growTree(p, Vec3{});
        EXPECT_EQ(treeCounters().branches, grown) << eye.x << " " << eye.y;
    }
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

TEST(TreeDetailRegulation, ThresholdAndTubeFactorFollowTheBudgets)
{
    // count = branches + leaves/10 against 10000; polygons against the budget.
    struct Case {
        int branches, polygons, leaves, budget;
        float threshold, factor, expectedThreshold, expectedFactor;
    };
    const Case cases[] = {
        {20000, 5000, 0, 10000, 0.04f, 1, 0.08f, 1},            // x(1 + 10000·0.0001); the factor waits
        {1000, 5000, 0, 10000, 0.04f, 1, 0.04f / 1.9f, 1},       // /(1 + 9000·0.0001)
        {8000, 30000, 10000, 10000, 0.04f, 1, 0.04f, 1 / 1.2f},  // 9000 is not below 90 %; /(1 + 20000·0.00001)
        {10000, 2000, 0, 10000, 0.04f, 1, 0.04f, 1.04f},         // x(1 + 8000·0.000005)
        {10000, 30000, 0, 40000, 0.04f, 1, 0.04f, 1.05f},        // the budget the dialog set
        {1000, 5000, 0, 10000, 0.004f, 1, 0.004f, 1.025f},       // threshold at its floor
        {20000, 30000, 0, 10000, 1.0f, 0.8f, 1.0f, 0.8f},        // threshold and factor at their limits
        {10000, 2000, 0, 10000, 0.04f, 9.9f, 0.04f, 10},         // factor at most 10
        {0, 0, 0, 10000, 0.5f, 3, 0.04f, 1},                     // nothing drawn: the start values
    };
    for (const Case& c : cases) {
        treeDetail() = TreeDetail{c.threshold, 45.0f, c.factor, 10000, c.budget};
        treeCounters() = TreeCounters{c.branches, c.polygons, c.leaves};
        regulateTreeDetail();
        EXPECT_NEAR(treeDetail().lodThreshold, c.expectedThreshold, 1e-6f) << c.branches << " " << c.polygons;
        EXPECT_NEAR(treeDetail().tubeFactor, c.expectedFactor, 1e-5f) << c.branches << " " << c.polygons;
        EXPECT_EQ(treeCounters().branches + treeCounters().polygons + treeCounters().leaves, 0) << "the next frame counts afresh";
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
    // The same kind ten times smaller, seen from ten times closer, must bend by the same angles.
    auto bentAxes = [](float scale, float strength) {
        TreeParameters p = testParameters(21);
        p.diameter *= scale;
        p.length *= scale;
        setTreeCamera(Vec3{-30 * scale, 0, 5 * scale}, Vec3{1, 0, 0});
        return bent(p, strength, Vec3{0.8f, 0.3f, 0});
    };
    const auto calm = bentAxes(1.0f, 0.0f), big = bentAxes(1.0f, 0.05f), small = bentAxes(0.1f, 0.05f);
    ASSERT_EQ(big.size(), small.size());
    ASSERT_GT(big.size(), 5u);
    float moved = 0.0f;
    for (size_t i = 0; i < big.size(); ++i) {
        EXPECT_LT(norm(big[i].z - small[i].z), 1e-3f);
        moved = std::max(moved, norm(big[i].z - calm[i].z));
    }
    EXPECT_GT(moved, 1e-3f);

    // A storm turns no branch far from its parent's direction.
    auto angle = [](const BentBranch& a) {
        return std::acos(std::min(1.0f, dot(normalized(a.z), normalized(a.parentZ))));
    };
    const auto storm = bentAxes(1.0f, 50.0f);
    for (size_t i = 0; i < calm.size(); ++i) EXPECT_LT(std::fabs(angle(storm[i]) - angle(calm[i])), 0.75f);

    // The hand-grown tree (levels 1 to 6, forks in the y-z plane) in a wind
    // along +y leans with it; level 6 is not bent.
    seeAll();
    const TreeParameters p = handParameters();
    const auto still = bent(p, 0, Vec3{0, 1, 0}), windy = bent(p, 0.02f, Vec3{0, 1, 0});
    float push = 0.0f;
    bool level5Bent = false;
    for (size_t i = 0; i < still.size(); ++i) {
        push += windy[i].tip.y - still[i].tip.y;
        const float turn = std::fabs(dot(windy[i].z, windy[i].parentZ) - dot(still[i].z, still[i].parentZ));
        EXPECT_TRUE(still[i].level < 6 || turn < 1e-5f) << i;
        level5Bent |= still[i].level == 5 && turn > 1e-3f;
    }
    EXPECT_TRUE(push > 0.0f && level5Bent);
    // Branches half as long relative to the kind are half as stiff: the
    // trunk's first child turns twice as far in a light wind.
    auto firstTurn = [](const TreeParameters& q) { return norm(bent(q, 0.2f, Vec3{0, 1, 0})[0].z - bent(q, 0, Vec3{0, 1, 0})[0].z); };
    TreeParameters shorter = p;
    shorter.branchLength = flatCurve(0, 1, 0.25f, 0.25f);
    EXPECT_NEAR(firstTurn(shorter) / firstTurn(p), 2.0f, 0.1f);
}


TEST_F(Growth, TubesFollowTheirSizeOnScreenAndTheTubeFactor)
{
    // level = min(factor·s + 1, 7); sides 2^trunc(level) within 4..16;
    // segments min(2^trunc(level - 0.5), 16).
    struct Case {
        float s, factor;
        int sides, segments;
    };
    for (const Case& c : {Case{0, 1, 4, 1}, {2.5f, 1, 8, 8}, {1.2f, 2, 8, 4}, {10, 1, 16, 16}, {0.6f, 5, 16, 8}}) {
        const TubeResolution r = tubeResolution(c.s, c.factor);
        EXPECT_EQ(r.sides, c.sides) << c.s << " " << c.factor;
        EXPECT_EQ(r.segments, c.segments) << c.s << " " << c.factor;
    }
    // A bare trunk seen at size 45/18 = 2.5: 8 sides, 8 segments and the
    // pointed end, 9 strips of 2 polygons per pair of the 9 ring vertices
    // (the seam doubled); with the tube factor 2, 16 sides and 16 segments.
    TreeParameters p = handParameters();
    p.branchCount = flatCurve(0, 10, 0, 0);
    setTreeCamera(Vec3{-18, 0, 0}, Vec3{1, 0, 0});
    treeCounters() = TreeCounters();
    TreeMesh mesh;
    for (auto [factor, polygons] : {std::pair{1.0f, 9 * 2 * 9}, {2.0f, 17 * 2 * 17}}) {
        treeDetail().tubeFactor = factor;
        buildTreeMesh(growTree(p, Vec3{}), p, Vec3{}, mesh);
        EXPECT_EQ(mesh.polygons, polygons) << factor;
    }
    EXPECT_EQ(treeCounters().polygons, 9 * 2 * 9 + 17 * 2 * 17) << "the counter steers the next frame";
}

TEST_F(Growth, LeavesFollowTheirCurves)
{
    TreeParameters p = handParameters();
    p.leaveMode = 1;
    p.useLodLeaves = 0;
    p.leaveStretch = 1.5f;
    p.leaveCount = flatCurve(0, 3, 2.5f / 3, 2.5f / 3); // 2.5: three leaves
    p.leaveSize = flatCurve(0, 1, 0.05f, 0.05f);
    p.leavePosition = flatCurve(0, 1, 0.5f, 0.5f);       // half way along the branch
    p.leaveTexture = flatCurve(0, 14.9f, 0, 0);
    std::vector<const Branch*> branches;
    const Tree t = inFull(p);
    forEachBranch(*t.trunk, [&](const Branch& b) { branches.push_back(&b); });
    treeDetail().lodThreshold = 0.001f; // leaves fade in from the threshold
    p.diameter = 2;                      // leaves scale with the tree's diameter
    treeCounters() = TreeCounters();
    TreeMesh mesh;
    buildTreeMesh(t, p, Vec3{}, mesh);
    ASSERT_EQ(mesh.leafCount, 3 * 63);
    EXPECT_EQ(treeCounters().leaves, 3 * 63);
    ASSERT_EQ(mesh.leaves[0].size(), 4u * 3 * 63);
    for (size_t k = 0; k < 3 * 63; ++k) {
        const Branch& b = *branches[k / 3];
        const MeshVertex* v = &mesh.leaves[0][4 * k];
        auto at = [&](int i) { return Vec3{v[i].position[0], v[i].position[1], v[i].position[2]}; };
        const Vec3 stem = (at(0) + at(1)) * 0.5f, off = stem - b.position;
        // Side size·diameter, length side·stretch; the stem half way along,
        // within 1.5 diameters to each side.
        const float along = dot(off, b.axes[2]), alpha = std::min(1.0f, (b.projectedSize - 0.001f) / b.relativeDiameter * 5 + 0.1f);
        EXPECT_TRUE(std::fabs(norm(at(1) - at(0)) - 0.1f) < 1e-5f && std::fabs(norm(at(3) - at(0)) - 0.15f) < 1e-5f) << k;
        EXPECT_TRUE(std::fabs(along - 0.5f * b.length) < 1e-4f && norm(off - b.axes[2] * along) <= 1.5f * std::sqrt(2.0f) * b.diameter + 1e-5f) << k;
        EXPECT_NEAR(v[0].color[3], alpha, 1e-5f);
    }
    // Mode 3 puts the leaves at the fork; leaves below 0.01 are left out.
    p.leaveMode = 3;
    buildTreeMesh(t, p, Vec3{}, mesh);
    const MeshVertex* v = mesh.leaves[0].data();
    EXPECT_LT(norm(Vec3{v[0].position[0] + v[1].position[0], v[0].position[1] + v[1].position[1],
                        v[0].position[2] + v[1].position[2]} * 0.5f - t.trunk->position), 1e-5f);
    p.leaveSize = flatCurve(0, 1, 0.009f, 0.009f);
    buildTreeMesh(t, p, Vec3{}, mesh);
    EXPECT_EQ(mesh.leafCount, 0);
}
