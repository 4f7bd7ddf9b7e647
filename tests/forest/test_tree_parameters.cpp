#include "forest/tree_parameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <tuple>
#include <utility>

TEST(PiecewiseLinear, DegenerateBreakPointsStayFinite)
{
    const float y[4] = {1.0f, 2.0f, 3.0f, 4.0f};
    EXPECT_NEAR(PiecewiseLinear::fromPoints(0.5f, 0.5f, y)(0.75f), 3.5f, 1e-6f); // empty middle
    // Break points at the ends or out of order, as a file may hold them.
    for (auto [x1, x2] : {std::pair{0.0f, 1.0f}, {0.8f, 0.2f}, {-3.0f, 7.0f}, {std::nanf(""), 0.5f}}) {
        const PiecewiseLinear f = PiecewiseLinear::fromPoints(x1, x2, y);
        EXPECT_LE(f.x1, f.x2);
        for (float t = 0.0f; t <= 1.0f; t += 0.125f) EXPECT_TRUE(std::isfinite(f(t))) << x1 << " " << x2;
    }
}

TEST(TreeParameterFile, WriteAndReadGiveTheParametersBack)
{
    TreeParameters written = defaultTreeParameters();
    written.seed = 0x3F8CCCCDu;
    written.rootCount = 3;
    written.sampleMin[1] = -12.5f;
    const float noise[4] = {-1, -0.5f, 0.5f, 0.9f};
    written.angleNoise.boundA = PiecewiseLinear::fromPoints(0.25f, 0.75f, noise);
    written.truncTexture = 7;
    const std::string file = testing::TempDir() + "forest_defaults.arb";
    ASSERT_TRUE(saveTreeParameters(written, file));
    TreeParameters read;
    ASSERT_TRUE(loadTreeParameters(read, file));
    EXPECT_EQ(read.seed, written.seed);
    // Through (0, -1), (0.25, -0.5), (0.75, 0.5), (1, 0.9): each piece checked half way along.
    for (auto [t, v] : {std::pair{0.0f, -1.0f}, {0.125f, -0.75f}, {0.5f, 0.0f}, {0.875f, 0.7f}, {1.0f, 0.9f}})
        EXPECT_NEAR(read.angleNoise.boundA(t), v, 1e-5f) << t;
    EXPECT_EQ(std::tuple(read.diameter, read.length, read.truncTexture, read.rootCount, read.sampleMin[1]),
              std::tuple(written.diameter, written.length, 7, 3, -12.5f));
}

TEST(TreeParameterFile, SeedLineGivesEveryBitPatternBack)
{
    // Zero, a denormal, a negative, infinity, quiet and signalling NaNs.
    for (uint32_t seed : {0u, 1u, 0x80000001u, 0x7F800000u, 0x7FC00000u, 0x7F800001u, 0xFFFFFFFFu}) {
        uint32_t back = ~seed;
        ASSERT_TRUE(parseSeedLine(formatSeedLine(seed).c_str(), back)) << formatSeedLine(seed);
        EXPECT_EQ(back, seed) << std::hex << seed << " written as " << formatSeedLine(seed);
    }
    uint32_t seed = 0;
    EXPECT_FALSE(parseSeedLine("seed", seed));
}

TEST(TreeParameterFile, FilesFromElsewhereChangeOnlyWhatTheyHold)
{
    for (const char* name : {"arb01.arb", "arb02.arb", "arb03.arb"}) {
        TreeParameters p;
        p.sampleMax[2] = -1.0f; // the last value: proves the whole file was read
        ASSERT_TRUE(loadTreeParameters(p, std::string(VELMORA_SOURCE_DIR) + "/data/ForestData/" + name)) << name;
        EXPECT_GT(p.sampleMax[2], 0.0f) << name;
    }
    // Five lines from another tool.
    const std::string file = testing::TempDir() + "forest_five.arb";
    std::ofstream(file) << "7\n-3\n 2.5\n+0.25\n-1.5\n";
    TreeParameters p = defaultTreeParameters();
    ASSERT_TRUE(loadTreeParameters(p, file));
    EXPECT_EQ(p.seed, 0x40200000u); // a plain decimal seed line is a float's bits
    EXPECT_FLOAT_EQ(p.maxAngle, 0.25f);
    EXPECT_FLOAT_EQ(p.gravity, -1.5f);
    EXPECT_FLOAT_EQ(p.diameter, defaultTreeParameters().diameter);
    // A line no tree can use stops the reading: what came before it stays read.
    std::ofstream(file) << "7\n-3\n 2.5\n+0.25\nnan\n3\n";
    p = defaultTreeParameters();
    ASSERT_TRUE(loadTreeParameters(p, file));
    EXPECT_FLOAT_EQ(p.maxAngle, 0.25f);
    EXPECT_EQ(std::pair(p.gravity, p.diameter),
              std::pair(defaultTreeParameters().gravity, defaultTreeParameters().diameter));
    EXPECT_FALSE(loadTreeParameters(p, testing::TempDir() + "forest_missing.arb"));
}
