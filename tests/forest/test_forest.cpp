#include "forest/forest.h"
#include "forest/forest_section.h"
#include "forest/forest_state.h"
#include "forest/tree.h"
#include "ground/ground.h"
#include "util/random.h"
#include "wind/wind.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

const std::string kArb = std::string(VELMORA_SOURCE_DIR) + "/data/ForestData/arb03.arb";

class ForestLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        const float area[4] = {0, 0, 100, 100};
        // The generated height map of the run folder: hills, so heights differ.
        createGround(area, 5.0f, 400, "GroundData/heightMap1.bmp", nullptr, 8.0f);
        util::randomSeed(42);
        initForest();
        loadArb(kArb);
    }

    static std::vector<TreeRecord> records(int n)
    {
        std::vector<TreeRecord> r(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) r[i] = TreeRecord{{5.0f + 0.4f * i, 90.0f - 0.3f * i}, 1000 + i, 0.01f * (i % 5), -0.1f * (i % 3)};
        return r;
    }
};

/// Reads the forest section under the root of an XML text.
bool readSection(const std::string& text)
{
    xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "scene.xml", nullptr, 0);
    const bool read = doc && readForestSection(xmlDocGetRootElement(doc));
    xmlFreeDoc(doc);
    return read;
}

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
    EXPECT_FLOAT_EQ(forestTreeDiameter(3), forestTreeDiameter(0) + 0.03f);
    EXPECT_NEAR(getTrees()[3].relativeDiameter, 0.03f, 1e-6f);
    const float d0 = forestTreeDiameter(0);
    many[0].relativeDiameter = 5.0f;

    // Off the ground, and sizes from outside that would turn negative or NaN.
    many[1].position2d[0] = -20.0f;
    many[1].relativeDiameter = -100.0f;
    many[2].relativeLength = std::nanf("");
    setTrees(3, many.data());
    EXPECT_FLOAT_EQ(forestTreeDiameter(0), d0);
    EXPECT_FLOAT_EQ(forestTreePosition(1).z, 0.0f);
    EXPECT_GT(forestTreeDiameter(1), 0.0f);
    EXPECT_TRUE(std::isfinite(forestTreeLength(2)) && forestTreeLength(2) > 0.0f);
    setTrees(-5, many.data());
    EXPECT_EQ(forestTreeCount(), 0);
}

TEST_F(ForestLayout, LoadingAKindRedrawsTheTreesAroundTreeZero)
{
    const std::vector<TreeRecord> in = records(12);
    setTrees(12, in.data());
    const float maxAngle = treeParameters().maxAngle;
    loadArb("ForestData/none.arb"); // missing: parameters kept, trees re-randomised
    EXPECT_EQ(forestArbFile(), "ForestData/none.arb");
    EXPECT_FLOAT_EQ(treeParameters().maxAngle, maxAngle);
    const float d0 = forestTreeDiameter(0), l0 = forestTreeLength(0);
    EXPECT_FLOAT_EQ(d0, treeParameters().diameter);
    EXPECT_NE(forestTreeSeed(0), in[0].seed);
    for (int i = 1; i < 12; ++i) {
        EXPECT_TRUE(forestTreeDiameter(i) >= 0.75f * d0 && forestTreeDiameter(i) < 1.25f * d0) << i;
        EXPECT_GE(forestTreeLength(i), 0.75f * l0);
    }

    // Diameter 0 and length NaN, written by another tool, cannot grow a tree.
    const std::string bad = testing::TempDir() + "forest_sizes.arb";
    ASSERT_EQ(std::system(("python3 -c \"open('" + bad + "','w').write('40\\n0\\n1.5\\n1\\n0.1\\n0\\nnan\\n')\"").c_str()), 0);
    loadArb(bad);
    EXPECT_FLOAT_EQ(forestTreeDiameter(0), 0.02f);
    EXPECT_TRUE(std::isfinite(forestTreeLength(0)) && forestTreeLength(0) > 0.0f);
    EXPECT_GT(growTree(treeParameters(), Vec3{}).trunk->length, 0.0f);
}

TEST_F(ForestLayout, RandomizingRedrawsEveryTreesSeedAndTheOthersSizes)
{
    setTrees(4, records(4).data());
    const float d0 = forestTreeDiameter(0), l0 = forestTreeLength(0);
    util::randomSeed(5);
    randomizeTrees();
    util::randomSeed(5);
    EXPECT_EQ(forestTreeSeed(0), uint32_t(util::randomDraw()));
    for (int i = 1; i < 4; ++i) {
        const int r1 = util::randomDraw(), r2 = util::randomDraw(), r3 = util::randomDraw();
        EXPECT_FLOAT_EQ(forestTreeDiameter(i), d0 * (0.75f + (r1 % 1024) / 2048.0f)) << i;
        EXPECT_FLOAT_EQ(forestTreeLength(i), l0 * (0.75f + (r2 % 1024) / 2048.0f)) << i;
        EXPECT_EQ(forestTreeSeed(i), uint32_t(r3)) << i;
    }
    EXPECT_TRUE(forestTreeDiameter(0) == d0 && forestTreeLength(0) == l0);

    // The sample size is 2·diameter plus 16 levels a tree, at most 255.
    treeParameters().diameter = 200.0f;
    computeSampleStatistics(2);
    EXPECT_EQ(treeParameters().sampleSize, 255);
}

TEST_F(ForestLayout, TheWindBendsEveryTreeButTheEditedOne)
{
    const float area[4] = {0, 0, 100, 100};
    windInit(area, 5.0f);
    setTrees(2, records(2).data());
    setEditedTree(0);
    setTreeCamera(Vec3{-25, 90, 5}, Vec3{1, 0, 0});
    treeDetail().lodThreshold = 0.0f;
    Forest& f = forestState();
    for (int i = 0; i < 2; ++i) {
        f.windStrength[i] = 1.0f;
        f.windDirection[i] = Vec3{1, 0, 0};
    }
    for (double ms : {0.0, 1500.0})
        for (int i = 0; i < 2; ++i) growForestTree(i, ms);
    for (int i = 0; i < 2; ++i) {
        const Vec3 bent = growForestTree(i, 3000.0).trunk->children[0].axes[2];
        const Vec3 still = growTree(treeParameters(), forestTreePosition(i)).trunk->children[0].axes[2];
        EXPECT_EQ(norm(bent - still) > 1e-4f, i != 0) << i;
    }
    setEditedTree(-1);
}

TEST_F(ForestLayout, SectionRoundTripAndMissingAttributes)
{
    const std::vector<TreeRecord> in = records(7);
    setTrees(7, in.data());
    randomizeTrees();
    const std::vector<TreeRecord> before = getTrees();
    xmlDocPtr doc = xmlNewDoc(BAD_CAST "1.0");
    xmlDocSetRootElement(doc, xmlNewNode(nullptr, BAD_CAST "velmora"));
    writeForestSection(xmlDocGetRootElement(doc));
    setTrees(0, nullptr);
    EXPECT_TRUE(readForestSection(xmlDocGetRootElement(doc)));
    xmlFreeDoc(doc);
    EXPECT_EQ(forestArbFile(), kArb);
    const std::vector<TreeRecord> after = getTrees();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i)
        EXPECT_TRUE(after[i].seed == before[i].seed && std::fabs(after[i].position2d[1] - before[i].position2d[1]) < 1e-5f &&
                    std::fabs(after[i].relativeLength - before[i].relativeLength) < 1e-5f) << i;

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
