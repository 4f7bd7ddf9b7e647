#include "forest/tree.h"
#include "forest/tree_animation.h"
#include "forest/tree_mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>
#include <vector>

namespace {

/// Two children everywhere of half the parent's end diameter (then scaled
/// by sqrt 2), ends of half the start, length 5, no angle noise, no gravity:
/// a tree whose every value can be worked out by hand.
TreeParameters handParameters()
{
    TreeParameters p = defaultTreeParameters();
    p.seed = 1234;
    p.diameter = 1.0f;
    p.length = 10.0f;
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
        treeCounters() = TreeCounters();
        setTreeCamera(Vec3{-30, 0, 5}, Vec3{1, 0, 0});
    }
    /// Grows every branch: seen from far below, no threshold.
    static Tree inFull(const TreeParameters& p, Vec3 foot = Vec3{})
    {
        setTreeCamera(Vec3{0, 0, -1000}, Vec3{0, 0, 1});
        treeDetail().lodThreshold = 0.0f;
        return growTree(p, foot);
    }
};

} // namespace

TEST_F(Growth, ChildrenShareTheParentsCrossSection)
{
    TreeParameters p = defaultTreeParameters();
    p.seed = 1234;
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
    // Three children of 0.9 of the parent overflow its cross-section: the
    // second and third are redrawn at 0.1 to 0.3 of the parent.
    p.branchCount = flatCurve(0, 10, 0.3f, 0.3f);
    p.subBranchDiameter = flatCurve(0, 1, 0.9f, 0.9f);
    const Branch& b = *growTree(p, Vec3{}).trunk;
    ASSERT_EQ(b.childCount, 3);
    for (int i = 1; i < 3; ++i) EXPECT_LT(b.children[i].diameter, 0.34f * b.children[0].diameter) << i;
}

TEST_F(Growth, HandGrownTreeFollowsTheFormulas)
{
    TreeParameters p = handParameters();
    const Tree t = inFull(p, Vec3{1, 2, 3});
    // Diameters (1/2)/sqrt(2) of the parent's; ends of half the start; splitting
    // stops below a relative end diameter of 0.02 (level 5: 0.0078).
    forEachBranch(*t.trunk, [&](const Branch& b) {
        ASSERT_TRUE(b.grown()) << b.level;
        const float d = std::pow(0.5f / std::sqrt(2.0f), float(b.level - 1));
        EXPECT_NEAR(b.diameter, d, 1e-4f * d);
        EXPECT_EQ(b.childCount, b.level <= 5 ? 2 : 0) << b.level;
        EXPECT_NEAR(b.endDiameter, b.level <= 5 ? 0.5f * d : 0.0f, 1e-4f * d);
        EXPECT_NEAR(b.length, 5.0f, 1e-5f);
    });
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

TEST_F(Growth, DrawsStayInTheirRangesApartFromEachOther)
{
    EXPECT_EQ(treeRandomBits(0, 1), 159529792u);
    EXPECT_EQ(treeRandomBits(0xFFFFFFFFu, 33), 3484705710u);
    // Over many seeds a fork's first child takes its cone in [0.2, 0.8] and its
    // turn, π + (0.5·noise + 1)·2π/2, from draws of their own: the turn and
    // the cone do not go together (correlation 1 if they shared a draw).
    TreeParameters p = handParameters();
    p.branchCone = p.branchLength = flatCurve(0, 1, 0.2f, 0.8f);
    p.angleNoise = flatCurve(-1, 1, 0, 1);
    double n = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        p.seed = seed;
        const Branch& c = inFull(p).trunk->children[0];
        const double cone = c.endDiameter / c.diameter, turn = c.azimuth;
        EXPECT_GE(cone, 0.2 - 1e-6) << seed;
        EXPECT_LE(cone, 0.8 + 1e-6) << seed;
        n += 1, sx += cone, sy += turn, sxx += cone * cone, syy += turn * turn, sxy += cone * turn;
    }
    const double correlation = (sxy / n - sx / n * sy / n)
        / std::sqrt((sxx / n - sx / n * sx / n) * (syy / n - sy / n * sy / n));
    EXPECT_LT(std::fabs(correlation), 0.3);
    // A single child turns by its azimuth draw from the running azimuth π:
    // 0.5·2π + π, at an elevation of 0.5·π/2.
    p = handParameters();
    p.branchCount = flatCurve(0, 10, 0.1f, 0.1f);
    p.angleNoise = flatCurve(-1, 1, 0.75f, 0.75f);
    const Branch& only = growTree(p, Vec3{}).trunk->children[0];
    EXPECT_LT(norm(only.axes[2] - Vec3{0, std::sqrt(0.5f), std::sqrt(0.5f)}), 1e-5f);
}

TEST_F(Growth, DistantOrOffCentreBranchesStayUngrown)
{
    // The trunk's children (d = 0.354) seen from 300: 45·d/300 = 0.053 > 0.04;
    // theirs (0.125) 0.019. Seen at cos 0.6 < 0.85 the size shrinks by 0.6/0.85
    // to 0.037; from 100 one more level grows (0.056); behind the camera none.
    const std::pair<Vec3, int> cases[] = {{{-300, 0, 0}, 3}, {{-180, 240, 0}, 1}, {{-100, 0, 0}, 7},
                                          {{300, 0, 0}, 1}};
    for (const auto& [eye, grown] : cases) {
        setTreeCamera(eye, Vec3{1, 0, 0});
        treeCounters() = TreeCounters();
        growTree(handParameters(), Vec3{});
        EXPECT_EQ(treeCounters().branches, grown) << eye.x << " " << eye.y;
    }
}

TEST_F(Growth, FullPoolLeavesFurtherChildrenUngrown)
{
    TreeParameters p = defaultTreeParameters();
    p.branchCount = flatCurve(0, 1.0e6f, 1.0f, 1.0f); // absurd counts from a file
    p.subBranchDiameter = flatCurve(0.1f, 0.9f, 0.0f, 0.0f);
    p.branchCone = flatCurve(0.001f, 0.999f, 1.0f, 1.0f);
    int records = 0;
    forEachBranch(*inFull(p).trunk, [&](const Branch& b) { records += std::isfinite(b.diameter); });
    EXPECT_EQ(records, branchPoolUsed());
    EXPECT_LE(records, BRANCH_POOL_SIZE);
}

TEST(TreeDetailRegulation, ThresholdAndTubeFactorFollowTheBudgets)
{
    // count = branches + leaves/10 against 10000; polygons against the budget.
    struct Case {
        int branches, polygons, leaves, budget;
        float threshold, factor, expectedThreshold, expectedFactor;
        bool steady = false;
    };
    const Case cases[] = {
        {20000, 5000, 0, 10000, 0.04f, 1, 0.08f, 1},            // x(1 + 10000·0.0001); the factor waits
        {1000, 5000, 0, 10000, 0.04f, 1, 0.04f / 1.9f, 1},       // /(1 + 9000·0.0001)
        {8000, 30000, 10000, 10000, 0.04f, 1, 0.04f, 1 / 1.2f},  // 9000 is not below 90 %; /(1 + 20000·1e-5)
        {10000, 2000, 0, 10000, 0.04f, 1, 0.04f, 1.04f},         // x(1 + 8000·0.000005)
        {10000, 30000, 0, 40000, 0.04f, 1, 0.04f, 1.05f},        // the budget the dialog set
        {1000, 5000, 0, 10000, 0.004f, 1, 0.004f, 1.025f},       // threshold at its floor
        {20000, 30000, 0, 10000, 1.0f, 0.8f, 1.0f, 0.8f},        // threshold and factor at their limits
        {20000, 5000, 0, 10000, 1.0f, 1, 1.0f, 1.025f},          // the threshold stops at 1; the factor moves
        {10000, 2000, 0, 10000, 0.04f, 9.9f, 0.04f, 10},         // factor at most 10
        {0, 0, 0, 10000, 0.5f, 3, 0.04f, 1},                     // nothing drawn: the start values
        // Tubes at their coarsest, few branches but too many polygons: the
        // threshold rises by 1 + 20000·1e-5; inside the polygon band it stays.
        {1000, 30000, 0, 10000, 0.04f, 0.7f, 0.048f, 0.7f},
        {1000, 9500, 0, 10000, 0.04f, 0.7f, 0.04f, 0.7f},
        {1000, 8000, 0, 10000, 0.04f, 0.7f, 0.04f / 1.9f, 0.7f},
        // Steady crowns hold still from 75 % to 125 % of each budget: a count
        // of 8000 keeps the threshold (it would fall by 1.2 above) and the
        // factor rises for 5000 polygons, x(1 + 5000·0.000005), but not for 8000.
        {8000, 5000, 0, 10000, 0.04f, 1, 0.04f / 1.2f, 1},
        {8000, 5000, 0, 10000, 0.04f, 1, 0.04f, 1.025f, true},
        {10000, 8000, 0, 10000, 0.04f, 1, 0.04f, 1, true},
    };
    for (const Case& c : cases) {
        treeDetail() = TreeDetail{c.threshold, 45.0f, c.factor, 10000, c.budget, c.steady};
        treeCounters() = TreeCounters{c.branches, c.polygons, c.leaves};
        regulateTreeDetail();
        EXPECT_NEAR(treeDetail().lodThreshold, c.expectedThreshold, 1e-6f) << c.branches << " " << c.polygons;
        EXPECT_NEAR(treeDetail().tubeFactor, c.expectedFactor, 1e-5f) << c.branches << " " << c.polygons;
        const TreeCounters& next = treeCounters();
        EXPECT_EQ(next.branches + next.polygons + next.leaves, 0) << "the next frame counts afresh";
    }
}

TEST_F(Growth, BendingFollowsTheWindAndTheBranchesOwnSizes)
{
    // The hand-grown tree (levels 1 to 6, forks in the y-z plane) in a wind
    // along +y leans with it; level 6 is not bent, and a storm turns no
    // branch far from its parent's direction.
    TreeParameters p = handParameters();
    inFull(p);
    const Vec3 y{0, 1, 0};
    const auto still = bent(p, 0, y), windy = bent(p, 0.02f, y);
    const auto storm = bent(p, 50, y);
    auto angle = [](const BentBranch& a) { return std::acos(std::min(1.0f, dot(a.z, a.parentZ))); };
    float push = 0.0f;
    bool level5Bent = false;
    for (size_t i = 0; i < still.size(); ++i) {
        push += windy[i].tip.y - still[i].tip.y;
        const float turn = std::fabs(dot(windy[i].z, windy[i].parentZ) - dot(still[i].z, still[i].parentZ));
        EXPECT_TRUE(still[i].level < 6 || turn < 1e-5f) << i;
        level5Bent |= still[i].level == 5 && turn > 1e-3f;
        EXPECT_LT(std::fabs(angle(storm[i]) - angle(still[i])), 0.75f) << i;
    }
    EXPECT_GT(push, 0.0f);
    EXPECT_TRUE(level5Bent);
    // Across the forks' plane the wind turns the branches about their parents: the tips follow it along +x.
    const auto across = bent(p, 0.02f, Vec3{1, 0, 0});
    float pushX = 0.0f;
    for (size_t i = 0; i < still.size(); ++i) pushX += across[i].tip.x - still[i].tip.x;
    EXPECT_GT(pushX, 0.01f);
    // A level that appears eases in over 1.5 s (half way at 750 ms), and a
    // clock that runs back changes nothing.
    TreeAnimation anim;
    Tree t = growTree(p, Vec3{});
    for (const auto& [ms, weight] : {std::pair{0.0, 0.0f}, {750.0, 0.5f}, {2000.0, 1.0f}, {1000.0, 1.0f}}) {
        animateTree(t, p, anim, 0.02f, y, ms);
        EXPECT_FLOAT_EQ(anim.weight[2], weight) << ms;
    }
    // Branches half as long relative to the kind are half as stiff: the
    // trunk's first child turns twice as far in a light wind.
    auto firstTurn = [&](const TreeParameters& q) { return norm(bent(q, 0.2f, y)[0].z - bent(q, 0, y)[0].z); };
    const float turn = firstTurn(p);
    p.branchLength = flatCurve(0, 1, 0.25f, 0.25f);
    EXPECT_NEAR(firstTurn(p) / turn, 2.0f, 0.1f);
}

TEST_F(Growth, TubesFollowTheirSizeOnScreenAndTheTubeFactorAndAreRough)
{
    // level = min(factor·s + 1, 7); sides 2^trunc(level) within 4..16;
    // segments min(2^trunc(level - 0.5), 16).
    for (auto [s, factor, sides, segments] : {std::tuple{0.0f, 1.0f, 4, 1}, {2.5f, 1.0f, 8, 8}, {1.2f, 2.0f, 8, 4},
                                              {10.0f, 1.0f, 16, 16}, {0.6f, 5.0f, 16, 8}})
        EXPECT_EQ(std::pair(tubeResolution(s, factor).sides, tubeResolution(s, factor).segments),
                  std::pair(sides, segments)) << s << " " << factor;
    // A bare trunk seen at size 45/18 = 2.5: 8 sides, 8 segments and the
    // pointed end, 9 strips of 2 polygons per pair of the 9 ring vertices
    // (the seam doubled); with the tube factor 2, 16 sides and 16 segments.
    TreeParameters p = handParameters();
    p.branchCount = flatCurve(0, 10, 0, 0);
    setTreeCamera(Vec3{-18, 0, 0}, Vec3{1, 0, 0});
    TreeMesh mesh;
    for (auto [factor, polygons] : {std::pair{1.0f, 9 * 2 * 9}, {2.0f, 17 * 2 * 17}}) {
        treeDetail().tubeFactor = factor;
        buildTreeMesh(growTree(p, Vec3{}), p, Vec3{}, mesh);
        EXPECT_EQ(mesh.polygons, polygons) << factor;
    }
    EXPECT_EQ(treeCounters().polygons, 9 * 2 * 9 + 17 * 2 * 17) << "the counter steers the next frame";
    // Tapering to a point, the trunk's roughness moves each vertex out by at
    // most (1 + 0)·0.125·noise, times min(1, 4·radius / 1), in step with noise.
    p.branchCone = flatCurve(0, 1, 0, 0);
    TreeMesh rough[3]; // noise 0, 1 and 2
    for (int k = 0; k < 3; ++k) {
        p.noise = static_cast<float>(k);
        buildTreeMesh(growTree(p, Vec3{}), p, Vec3{}, rough[k]);
        ASSERT_EQ(rough[k].bark.size(), rough[0].bark.size());
    }
    auto at = [&](int k, size_t i) { const float* v = rough[k].bark[i].position; return Vec3{v[0], v[1], v[2]}; };
    float largest = 0.0f;
    for (size_t i = 0; i < rough[0].bark.size(); ++i) {
        const float* n = rough[0].bark[i].normal;
        const Vec3 moved = at(1, i) - at(0, i);
        const float out = dot(moved, Vec3{n[0], n[1], n[2]}), radius = std::hypot(at(0, i).x, at(0, i).y);
        EXPECT_LE(std::fabs(out), 0.125f * std::min(1.0f, 4.0f * radius) + 1e-5f) << i << " at radius " << radius;
        EXPECT_LT(norm(at(2, i) - at(0, i) - moved * 2.0f), 1e-5f) << i;
        largest = std::max(largest, std::fabs(out));
    }
    EXPECT_GT(largest, 0.04f) << "the bark is rough";
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
    p.diameter = 2; // leaves scale with the tree's diameter
    TreeMesh mesh;
    buildTreeMesh(t, p, Vec3{}, mesh);
    ASSERT_EQ(mesh.leafCount, 3 * 63);
    EXPECT_EQ(treeCounters().leaves, 3 * 63);
    ASSERT_EQ(mesh.leaves[0].size(), 4u * 3 * 63);
    // Corner i of leaf k; a leaf's stem is the middle of its first two corners.
    auto at = [&](size_t k, int i) {
        const float* v = mesh.leaves[0][4 * k + i].position;
        return Vec3{v[0], v[1], v[2]};
    };
    for (size_t k = 0; k < 3 * 63; ++k) {
        // Side size·diameter, length side·stretch; the stem half way along the
        // branch, within 1.5 diameters to each side.
        const Branch& b = *branches[k / 3];
        EXPECT_NEAR(norm(at(k, 1) - at(k, 0)), 0.1f, 1e-5f) << k;
        EXPECT_NEAR(norm(at(k, 3) - at(k, 0)), 0.15f, 1e-5f) << k;
        const Vec3 off = (at(k, 0) + at(k, 1)) * 0.5f - b.position;
        const float along = dot(off, b.axes[2]);
        EXPECT_NEAR(along, 0.5f * b.length, 1e-4f) << k;
        EXPECT_LE(norm(off - b.axes[2] * along), 1.5f * std::sqrt(2.0f) * b.diameter + 1e-5f) << k;
    }
    // Leaves fade in from the threshold: a branch just at it has an alpha of 0.1.
    treeDetail().lodThreshold = t.trunk->projectedSize;
    buildTreeMesh(t, p, Vec3{}, mesh);
    EXPECT_NEAR(mesh.leaves[0][0].color[3], 0.1f, 1e-6f);
    // Mode 3 puts the leaves at the fork; leaves below 0.01 are left out.
    p.leaveMode = 3;
    buildTreeMesh(t, p, Vec3{}, mesh);
    EXPECT_LT(norm((at(0, 0) + at(0, 1)) * 0.5f - t.trunk->position), 1e-5f);
    p.leaveSize = flatCurve(0, 1, 0.009f, 0.009f);
    buildTreeMesh(t, p, Vec3{}, mesh);
    EXPECT_EQ(mesh.leafCount, 0);
}
