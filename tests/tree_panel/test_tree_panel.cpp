// The tree panel's handler and its dialogs, on the real forest.
#include "tests/support/test_path.h"
#include "forest/forest.h"
#include "forest/tree_panel.h"
#include "util/random.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace fs = std::filesystem;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

// A forest of five trees and a freshly built panel over a 1000 × 500 view.
class Panel : public testing::Test {
protected:
    void SetUp() override
    {
        util::randomSeed(7);
        initForest(); // builds the panel from the run folder's resource file
        setTrees(5, std::vector<TreeRecord>(5).data());
        randomizeTrees();
        panel = treePanel();
        panel->setViewport(1000, 500);
        fs::create_directories(dir);
    }

    TreeParameters& p() { return treeParameters(); }
    void press(int control, int amount, int times = 1)
    {
        for (int i = 0; i < times; ++i) panel->handle(control, amount);
    }
    /// Opens the dialog of `control` (LOAD or SAVE) and ends it on `file` in `folder`.
    std::string choose(int control, const fs::path& folder, const std::string& file, int result = OGL_DIALOG_OK)
    {
        press(control, 1);
        OGLFileDialog* dialog = control == TreePanel::LOAD ? panel->loadDialog() : panel->saveDialog();
        EXPECT_TRUE(dialog->isShown());
        dialog->open(folder.string());
        dialog->setFileName(file);
        CaptureStdout();
        dialog->finish(result);
        return GetCapturedStdout();
    }
    TreePanel* panel = nullptr;
    const fs::path dir = testPath("panel");
};

} // namespace

TEST_F(Panel, valueControlsStepStopAtTheirLimitsAndCyclingOnesWrap)
{
    struct Case {
        int control, amount;
        float TreeParameters::*value;
        float expected;
        const char* label;
    };
    const Case cases[] = {
        {TreePanel::MAX_ANGLE, 2, &TreeParameters::maxAngle, 1.2f, "Max Angle 1.200000"},
        {TreePanel::MAX_ANGLE, -100, &TreeParameters::maxAngle, 0.01f, "Max Angle 0.010000"},
        {TreePanel::GRAVITY, 100, &TreeParameters::gravity, 3, "Gravity 3.000000"},
        {TreePanel::LEAVE_STRETCH, -100, &TreeParameters::leaveStretch, 0.1f, "Leave stretch 0.100000"},
        {TreePanel::ROOT_LENGTH, 1, &TreeParameters::rootLength, 5.5f, "Root Lenght 5.500000"},
    };
    for (const Case& c : cases) {
        press(c.control, c.amount);
        EXPECT_NEAR(p().*c.value, c.expected, 1e-5f) << c.label;
        EXPECT_EQ(c.label, panel->labelOf(c.control));
    }
    // Leaf mode 0 to 3, bark 0 to 9, roots 0 to 6; values from a file outside
    // the range restart at 0 instead of running away.
    for (auto [control, value, top] : {std::tuple{TreePanel::LEAVE_MODE, &TreeParameters::leaveMode, 3},
                                       {TreePanel::TRUNC_TEXTURE, &TreeParameters::truncTexture, 9},
                                       {TreePanel::ROOT_COUNT, &TreeParameters::rootCount, 6}}) {
        p().*value = 0;
        press(control, 1, top);
        EXPECT_EQ(top, p().*value) << control;
        press(control, 1);
        EXPECT_EQ(0, p().*value) << control;
        p().*value = 40;
        press(control, 1);
        EXPECT_EQ(0, p().*value) << control;
    }
}

TEST_F(Panel, sizesMoveTreeZeroAndRerandomiseTheOthersAndTheSeedButtonDrawsNewSeeds)
{
    const float d0 = forestTreeDiameter(0), l3 = forestTreeLength(3);
    const uint32_t seed0 = forestTreeSeed(0), seed3 = forestTreeSeed(3);
    EXPECT_EQ("Lenght 50.000000", panel->labelOf(TreePanel::LENGTH));
    press(TreePanel::DIAMETER, 1);
    EXPECT_FLOAT_EQ(d0 + 1, forestTreeDiameter(0));
    EXPECT_EQ(d0 + 1, p().diameter);
    EXPECT_GE(forestTreeDiameter(3), 0.75f * (d0 + 1));
    EXPECT_EQ(seed3, forestTreeSeed(3));
    EXPECT_EQ(l3, forestTreeLength(3));
    press(TreePanel::DIAMETER, -1000);
    EXPECT_EQ("Diameter 0.020000", panel->labelOf(TreePanel::DIAMETER));
    const float d3 = forestTreeDiameter(3);
    press(TreePanel::LENGTH, -1000);
    EXPECT_EQ("Length 0.020000", panel->labelOf(TreePanel::LENGTH));
    EXPECT_EQ(d3, forestTreeDiameter(3)) << "the length control leaves the diameters";
    EXPECT_LT(forestTreeLength(3), 0.025f);

    CaptureStdout();
    press(TreePanel::RESET_SEED, 1);
    EXPECT_EQ("*************passage button resed seed\n", GetCapturedStdout());
    EXPECT_NE(seed0, forestTreeSeed(0));
    EXPECT_NE(seed3, forestTreeSeed(3));
    EXPECT_EQ(forestTreeSeed(0), p().seed);

    // The detail switch starts at low detail, which also redraws the other trees' sizes.
    for (auto [factor, threshold] : {std::pair{1.0f, 0.2f}, {5.0f, 0.02f}, {1.0f, 0.2f}}) {
        const float before = forestTreeLength(3);
        press(TreePanel::DETAIL, 1);
        EXPECT_EQ(std::pair(treeDetail().tubeFactor, treeDetail().lodThreshold), std::pair(factor, threshold));
        EXPECT_EQ(factor == 1.0f, before != forestTreeLength(3)) << factor;
    }
}

TEST_F(Panel, savedFileLoadsBackAndFailedOrCancelledChoicesChangeNothing)
{
    const TreeParameters before = p();
    choose(TreePanel::SAVE, dir, "cancelled.arb", OGL_DIALOG_CANCEL);
    EXPECT_FALSE(fs::exists(dir / "cancelled.arb"));
    EXPECT_NE(std::string::npos, choose(TreePanel::SAVE, dir / "missing", "tree.arb").find("cannot write"));
    EXPECT_FALSE(fs::exists(dir / "missing"));
    EXPECT_NE(std::string::npos, choose(TreePanel::LOAD, dir, "absent.arb").find("cannot read"));
    EXPECT_EQ(before.gravity, p().gravity);
    EXPECT_EQ(before.diameter, forestTreeDiameter(0));

    press(TreePanel::GRAVITY, 7);
    auto line = panel->curveEditor(6)->polyline(0); // "Leave size"
    line[1] = {0.2f, 0.75f};
    panel->curveEditor(6)->setPolyline(0, line);
    // The drawing leaves the last tree's sizes in the shared record; the file takes tree 0's.
    p().diameter = forestTreeDiameter(4);
    p().sampleSize = 1; // recomputed from sample trees before saving
    const float d0 = forestTreeDiameter(0);
    const uint32_t seed0 = forestTreeSeed(0);
    choose(TreePanel::SAVE, dir, "mine.arb");
    const TreeParameters saved = p();

    util::randomSeed(99);
    initForest();
    setTrees(3, std::vector<TreeRecord>(3).data());
    panel = treePanel();
    choose(TreePanel::LOAD, dir, "mine.arb", OGL_DIALOG_CANCEL);
    EXPECT_NE(saved.gravity, p().gravity);
    const uint32_t seed2 = forestTreeSeed(2);
    choose(TreePanel::LOAD, dir, "mine.arb");
    EXPECT_NEAR(saved.gravity, p().gravity, 1e-5);
    EXPECT_GT(p().sampleSize, 1);
    EXPECT_NE(seed2, forestTreeSeed(2)) << "the other trees get new seeds";
    EXPECT_NEAR(d0, forestTreeDiameter(0), 1e-5);
    EXPECT_EQ(seed0, forestTreeSeed(0));
    // The editors show the loaded kind, so the next read-back keeps it.
    EXPECT_EQ("Gravity " + std::to_string(saved.gravity), panel->labelOf(TreePanel::GRAVITY));
    panel->update(0, 0, 5000);
    const float expected = p().leaveSize.rangeMin + 0.75f * (p().leaveSize.rangeMax - p().leaveSize.rangeMin);
    EXPECT_NEAR(expected, p().leaveSize.boundA(0.2f), 1e-3);
}
