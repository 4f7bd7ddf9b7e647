#include "forest/forest.h"
#include "forest/forest_section.h"
#include "forest/forest_state.h"
#include "forest/tree.h"
#include "tests/support/forest_scene.h"
#include "tests/support/xml_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <utility>

namespace {

const std::string kArb = std::string(VELMORA_SOURCE_DIR) + "/data/ForestData/arb03.arb";

/// Trees along a line, 0 to 0.04 thicker and 0 to 0.2 shorter than tree 0.
std::vector<TreeRecord> records(int n)
{
    std::vector<TreeRecord> r(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) r[i] = TreeRecord{{5.0f + 0.4f * i, 90.0f - 0.3f * i}, 1000 + i, 0.01f * (i % 5), -0.1f * (i % 3)};
    return r;
}

/// Reads the forest section under the root of an XML text.
bool readSection(const std::string& text)
{
    const test_support::XmlDocument doc = test_support::parseXml(text);
    return doc && readForestSection(xmlDocGetRootElement(doc.get()));
}

class ForestLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        test_support::forestScene(42, kArb);  // hills, so heights differ
    }
};

} // namespace

TEST_F(ForestLayout, SetTreesKeepsAtMost199StandingOnTheGround)
{
    std::vector<TreeRecord> many = records(250);
    setTrees(250, many.data());
    ASSERT_EQ(forestTreeCount(), MAX_TREES);
    const Vec3 foot = forestTreePosition(150);
    EXPECT_GT(foot.z, 0.0f); // on a hill of the height map
    EXPECT_FLOAT_EQ(foot.z, groundHeight(foot.x, foot.y));
    // Sizes are relative to tree 0's, whose own relative values are ignored.
    const float d0 = forestTreeDiameter(0);
    EXPECT_FLOAT_EQ(forestTreeDiameter(3), d0 + 0.03f);
    // Off the ground, and sizes from outside that would turn negative or NaN.
    many[0].relativeDiameter = 5.0f;
    many[1].position2d[0] = -20.0f;
    many[1].relativeDiameter = -100.0f;
    many[1].relativeLength = std::nanf("");
    setTrees(2, many.data());
    EXPECT_FLOAT_EQ(forestTreeDiameter(0), d0);
    EXPECT_FLOAT_EQ(forestTreePosition(1).z, 0.0f);
    EXPECT_GT(forestTreeDiameter(1), 0.0f);
    EXPECT_GT(forestTreeLength(1), 0.0f);
    setTrees(-5, many.data());
    EXPECT_EQ(forestTreeCount(), 0);
}

TEST_F(ForestLayout, LoadingAKindGivesTreeZeroSizesItCanGrowFrom)
{
    const float maxAngle = treeParameters().maxAngle;
    loadArb("ForestData/none.arb"); // missing: the parameters are kept
    EXPECT_EQ(forestArbFile(), "ForestData/none.arb");
    EXPECT_FLOAT_EQ(treeParameters().maxAngle, maxAngle);
    // Diameter 0 and length NaN, written by another tool.
    const std::string bad = testing::TempDir() + "forest_sizes.arb";
    std::ofstream(bad) << "40\n0\n1.5\n1\n0.1\n0\nnan\n";
    loadArb(bad);
    EXPECT_FLOAT_EQ(forestTreeDiameter(0), 0.02f);
    EXPECT_GT(forestTreeLength(0), 0.0f) << "a number, and positive";
}

TEST_F(ForestLayout, RandomizingRedrawsEveryTreesSeedAndTheOthersSizes)
{
    setTrees(4, records(4).data());
    const std::vector<TreeRecord> before = getTrees();
    const float d0 = forestTreeDiameter(0), l0 = forestTreeLength(0);
    randomizeTrees();
    // New seeds for all; the others' sizes from 3/4 to 5/4 of tree 0's, which keeps its own.
    for (int i = 0; i < 4; ++i) {
        EXPECT_NE(forestTreeSeed(i), before[size_t(i)].seed) << i;
        if (i == 0) continue;
        EXPECT_GE(forestTreeDiameter(i), 0.75f * d0) << i;
        EXPECT_LT(forestTreeDiameter(i), 1.25f * d0) << i;
        EXPECT_GE(forestTreeLength(i), 0.75f * l0) << i;
        EXPECT_LT(forestTreeLength(i), 1.25f * l0) << i;
    }
    EXPECT_EQ(std::pair(forestTreeDiameter(0), forestTreeLength(0)), std::pair(d0, l0));
    // The sample size is 2·diameter plus 16 levels a tree, at most 255.
    treeParameters().diameter = 200.0f;
    computeSampleStatistics(2);
    EXPECT_EQ(treeParameters().sampleSize, 255);
}

TEST_F(ForestLayout, TheWindBendsEveryTreeButTheEditedOneAndIsFollowedWithALag)
{
    setTrees(2, records(2).data());
    setEditedTree(0);
    setTreeCamera(Vec3{-25, 90, 5}, Vec3{1, 0, 0});
    treeDetail().lodThreshold = 0.0f;
    for (int i = 0; i < 2; ++i) {
        forestState().windStrength[i] = 1.0f;
        forestState().windDirection[i] = Vec3{1, 0, 0};
        for (double ms : {0.0, 1500.0}) growForestTree(i, ms);
        const Vec3 bent = growForestTree(i, 3000.0).trunk->children[0].axes[2];
        const Vec3 still = growTree(treeParameters(), forestTreePosition(i)).trunk->children[0].axes[2];
        EXPECT_EQ(norm(bent - still) > 1e-4f, i != 0) << i;
    }
    // Each frame keeps 95 % of the wind at the foot and takes 5 % of the
    // query's (power / 1000): three frames keep 0.95³ = 0.857375 of the start.
    float power, dx, dy;
    windGetInfluence(forestTreePosition(1).x, forestTreePosition(1).y, 0, 0, 0, power, dx, dy);
    const float kept = 0.857375f;
    EXPECT_NEAR(forestState().windStrength[1], kept + (1 - kept) * 0.001f * power, 1e-5f);
    EXPECT_NEAR(forestState().windDirection[1].x, kept + (1 - kept) * dx, 1e-5f);
    EXPECT_NEAR(forestState().windDirection[1].y, (1 - kept) * dy, 1e-5f);
    // Steady, a fresh tree takes the query's wind at once and eases a sixth a frame on a still clock.
    treeDetail().steady = true;
    forestState().animations[1] = TreeAnimation();
    growForestTree(1, 0.0);
    treeDetail().steady = false;
    EXPECT_FLOAT_EQ(forestState().windStrength[1], 0.001f * power);
    EXPECT_FLOAT_EQ(forestState().animations[1].weight[2], 1.0f / 6);
}

TEST_F(ForestLayout, SectionRoundTripAndMissingAttributes)
{
    setTrees(7, records(7).data());
    randomizeTrees();
    const test_support::XmlDocument doc = test_support::parseXml("<velmora/>"), again = test_support::parseXml("<velmora/>");
    const std::string written = test_support::xmlText(writeForestSection(xmlDocGetRootElement(doc.get())));
    setTrees(0, nullptr);
    EXPECT_TRUE(readForestSection(xmlDocGetRootElement(doc.get())));
    EXPECT_EQ(test_support::xmlText(writeForestSection(xmlDocGetRootElement(again.get()))), written);
    // A tree lacking an attribute takes the previous tree's.
    EXPECT_TRUE(readSection("<forest arb='" + kArb + "'><tree position2d='10 20' seed='-7' relativeDiameter='0.05'/>"
                            "<tree position2d='30'/><tree relativeLength='-1.5' seed='4294967295'/></forest>"));
    ASSERT_EQ(forestTreeCount(), 3);
    EXPECT_EQ(forestTreeSeed(1), static_cast<uint32_t>(-7));
    EXPECT_FLOAT_EQ(forestTreePosition(1).y, 20.0f);
    EXPECT_FLOAT_EQ(forestTreeLength(2), forestTreeLength(0) - 1.5f);
    EXPECT_EQ(forestTreeSeed(2), 0xFFFFFFFFu);
    EXPECT_FALSE(readSection("<velmora><grass/></velmora>")); // no forest: nothing changes
    EXPECT_EQ(forestTreeCount(), 3);
    EXPECT_TRUE(readSection("<forest><tree/></forest>")); // no "arb": the current kind
    EXPECT_EQ(forestArbFile(), kArb);
}
