#include "forest/tree_parameters.h"
#include "forest_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

void expectCurvesNear(const ParameterCurve& a, const ParameterCurve& b, float tolerance)
{
    EXPECT_NEAR(a.rangeMin, b.rangeMin, tolerance);
    EXPECT_NEAR(a.rangeMax, b.rangeMax, tolerance);
    for (float t : {0.0f, 0.2f, 0.4f, 0.5f, 0.7f, 0.95f, 1.0f}) {
        EXPECT_NEAR(a.boundA(t), b.boundA(t), tolerance) << "t=" << t;
        EXPECT_NEAR(a.boundB(t), b.boundB(t), tolerance) << "t=" << t;
    }
}

std::vector<std::string> readLines(const std::string& file)
{
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

} // namespace

TEST(PiecewiseLinear, DegenerateBreakPointsStayFinite)
{
    const float y[4] = {1.0f, 2.0f, 3.0f, 4.0f};
    // x1 = x2: the middle segment is empty.
    const PiecewiseLinear same = PiecewiseLinear::fromPoints(0.5f, 0.5f, y);
    EXPECT_NEAR(same(0.25f), 1.5f, 1e-6f);
    EXPECT_NEAR(same(0.5f), 2.0f, 1e-6f);
    EXPECT_NEAR(same(0.75f), 3.5f, 1e-6f);
    // Break points at the ends or out of order, as a file may hold them.
    for (auto [x1, x2] : {std::pair{0.0f, 1.0f}, std::pair{0.8f, 0.2f}, std::pair{-3.0f, 7.0f},
                          std::pair{std::nanf(""), 0.5f}}) {
        const PiecewiseLinear f = PiecewiseLinear::fromPoints(x1, x2, y);
        EXPECT_LE(f.x1, f.x2);
        for (float t = 0.0f; t <= 1.0f; t += 0.125f) EXPECT_TRUE(std::isfinite(f(t))) << x1 << " " << x2;
    }
    const PiecewiseLinear ends = PiecewiseLinear::fromPoints(0.0f, 1.0f, y);
    EXPECT_FLOAT_EQ(ends(0.0f), 1.0f);
    EXPECT_NEAR(ends(0.5f), 2.5f, 1e-6f);
    float back[4];
    ends.controlValues(back);
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(back[k], y[k], 1e-6f);
}

TEST(TreeParameterFile, DefaultsSurviveAWriteAndRead)
{
    TreeParameters written = defaultTreeParameters();
    written.seed = 0x3F8CCCCDu;
    written.rootCount = 3;
    written.sampleMin[1] = -12.5f;
    const std::string file = scratchFile("defaults.arb");
    ASSERT_TRUE(saveTreeParameters(written, file));
    EXPECT_EQ(readLines(file).size(), 150u);

    TreeParameters read;
    read.maxAngle = 99.0f; // every field must be overwritten
    read.branchCone = flatCurve(5, 6, 0, 1);
    ASSERT_TRUE(loadTreeParameters(read, file));
    EXPECT_EQ(read.reserved1, 40);
    EXPECT_EQ(read.seed, written.seed);
    EXPECT_FLOAT_EQ(read.maxAngle, written.maxAngle);
    EXPECT_FLOAT_EQ(read.gravity, written.gravity);
    EXPECT_FLOAT_EQ(read.length, written.length);
    const ParameterCurve TreeParameters::*curves[] = {
        &TreeParameters::branchCount, &TreeParameters::subBranchDiameter, &TreeParameters::angleNoise,
        &TreeParameters::branchLength, &TreeParameters::branchCone, &TreeParameters::leaveCount,
        &TreeParameters::leaveSize, &TreeParameters::leavePosition, &TreeParameters::leaveTexture};
    for (auto c : curves) expectCurvesNear(read.*c, written.*c, 2e-5f * (1.0f + std::fabs((written.*c).rangeMax)));
    EXPECT_FLOAT_EQ(read.noiseP, written.noiseP);
    EXPECT_EQ(read.leaveMode, written.leaveMode);
    EXPECT_FLOAT_EQ(read.appearSpeed, written.appearSpeed);
    EXPECT_EQ(read.useLodLeaves, written.useLodLeaves);
    EXPECT_EQ(read.rootCount, 3);
    EXPECT_FLOAT_EQ(read.rootHeight, written.rootHeight);
    EXPECT_EQ(read.sampleSize, written.sampleSize);
    EXPECT_FLOAT_EQ(read.sampleMin[1], -12.5f);
    EXPECT_FLOAT_EQ(read.sampleMax[2], written.sampleMax[2]);
}

TEST(TreeParameterFile, SeedLineGivesEveryBitPatternBack)
{
    const uint32_t seeds[] = {0u, 1u /* smallest denormal */, 0x007FFFFFu, 0x80000001u, 0x3F800000u,
                              0x7F800000u /* +inf */, 0xFF800000u, 0x7FC00000u /* quiet NaN */,
                              0x7F800001u /* signalling NaN */, 0xFFFFFFFFu, 12345u, 0xDEADBEEFu};
    for (uint32_t seed : seeds) {
        uint32_t back = ~seed;
        ASSERT_TRUE(parseSeedLine(formatSeedLine(seed).c_str(), back)) << formatSeedLine(seed);
        EXPECT_EQ(back, seed) << std::hex << seed << " written as " << formatSeedLine(seed);
    }
    // Plain decimal lines, as other tools write them, are a float's bits.
    uint32_t seed = 0;
    ASSERT_TRUE(parseSeedLine("1.000000", seed));
    EXPECT_EQ(seed, 0x3F800000u);
    EXPECT_FALSE(parseSeedLine("seed", seed));
    EXPECT_FALSE(parseSeedLine("nan(0)", seed));
}

TEST(TreeParameterFile, ShortFileChangesOnlyWhatItHolds)
{
    // Written by another tool, with blanks and a sign.
    const std::string file = scratchFile("five.arb");
    const std::string command = "python3 -c \"open('" + file + "','w').write('7\\n-3\\n 2.5\\n+0.25\\n-1.5\\n')\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const TreeParameters before = testParameters();
    TreeParameters p = before;
    ASSERT_TRUE(loadTreeParameters(p, file));
    EXPECT_EQ(p.reserved1, 7);
    EXPECT_EQ(p.reserved2, -3);
    float seedAsFloat;
    std::memcpy(&seedAsFloat, &p.seed, sizeof seedAsFloat);
    EXPECT_FLOAT_EQ(seedAsFloat, 2.5f);
    EXPECT_FLOAT_EQ(p.maxAngle, 0.25f);
    EXPECT_FLOAT_EQ(p.gravity, -1.5f);
    EXPECT_FLOAT_EQ(p.diameter, before.diameter);
    EXPECT_FLOAT_EQ(p.length, before.length);
    expectCurvesNear(p.branchCount, before.branchCount, 0.0f);
    EXPECT_EQ(p.leaveMode, before.leaveMode);

    // A missing file changes nothing and says so.
    TreeParameters untouched = before;
    EXPECT_FALSE(loadTreeParameters(untouched, scratchFile("missing.arb")));
    EXPECT_FLOAT_EQ(untouched.maxAngle, before.maxAngle);
}

TEST(TreeParameterFile, CurveGroupsStopAtTheFirstBadLine)
{
    TreeParameters source = testParameters();
    source.branchCount = flatCurve(0, 10, 0.9f, 1.0f);
    const std::string good = scratchFile("good.arb");
    ASSERT_TRUE(saveTreeParameters(source, good));
    std::vector<std::string> lines = readLines(good);
    ASSERT_EQ(lines.size(), 150u);

    // Lines 8..21 are "Branch count"; line 18 lies in its boundB. boundA is
    // taken, boundB keeps its old value and nothing after the bad line is read.
    lines[17] = "nan"; // not a number a tree can use: stops the reading like text
    const std::string bad = scratchFile("bad.arb");
    {
        std::ofstream out(bad);
        for (const std::string& l : lines) out << l << '\n';
    }
    const TreeParameters before = testParameters();
    TreeParameters p = before;
    ASSERT_TRUE(loadTreeParameters(p, bad));
    EXPECT_NEAR(p.branchCount.boundA(0.5f), 9.0f, 1e-4f);
    EXPECT_NEAR(p.branchCount.boundB(0.5f), before.branchCount.boundB(0.5f), 1e-6f);
    EXPECT_NEAR(p.subBranchDiameter.boundA(0.5f), before.subBranchDiameter.boundA(0.5f), 1e-6f);
    EXPECT_FLOAT_EQ(p.noise, before.noise);
}

TEST(TreeParameterFile, CurveOfHalvesReadsAsTheMiddleOfItsRange)
{
    const std::string file = scratchFile("halves.arb");
    ASSERT_TRUE(saveTreeParameters(testParameters(), file));
    std::vector<std::string> lines = readLines(file);
    // "Angle noise" (range -1 to 1) is the third curve, from line 36 on.
    for (int k : {39, 40, 41, 42, 45, 46, 47, 48}) lines[k] = "0.500000";
    {
        std::ofstream out(file);
        for (const std::string& l : lines) out << l << '\n';
    }
    TreeParameters p = testParameters();
    ASSERT_TRUE(loadTreeParameters(p, file));
    ASSERT_FLOAT_EQ(p.angleNoise.rangeMin, -1.0f);
    for (float t : {0.0f, 0.3f, 0.5f, 0.9f, 1.0f}) {
        EXPECT_NEAR(p.angleNoise.boundA(t), 0.0f, 1e-6f);
        EXPECT_NEAR(p.angleNoise.boundB(t), 0.0f, 1e-6f);
    }
}

TEST(TreeParameterFile, CommittedKindsLoadCompletely)
{
    for (const char* name : {"arb01.arb", "arb02.arb", "arb03.arb"}) {
        const std::string file = std::string(VELMORA_SOURCE_DIR) + "/data/ForestData/" + name;
        EXPECT_EQ(readLines(file).size(), 150u) << name;
        TreeParameters p;
        p.sampleMax[2] = -1.0f; // the last value: proves the whole file was read
        ASSERT_TRUE(loadTreeParameters(p, file)) << name;
        EXPECT_GT(p.sampleMax[2], 0.0f) << name;
        EXPECT_GT(p.diameter, 0.05f) << name;
    }
}
