// The viewer is made but never shown: only its camera is needed.
#include "app/default_scene.h"
#include "app/rock.h"
#include "app/scene_file.h"
#include "app/scene_state.h"
#include "app/viewer.h"
#include "forest/forest.h"
#include "grass/grass_field.h"
#include "ground/ground.h"
#include "wind/wind.h"

#include <QDir>
#include <QFile>
#include <QGLViewer/manipulatedCameraFrame.h>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <tuple>

namespace {

using qglviewer::Quaternion;
using qglviewer::Vec;

class SceneFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(VELMORA_SOURCE_DIR "/data/Scene/sceneVelmora.dtd", folder.filePath("sceneVelmora.dtd")));
        scene::resetSceneState();
        rock::resetRock();
        buildDefaultScene();
        theViewer = &viewer;
    }
    void TearDown() override { theViewer = nullptr; }

    std::string path(const char* name) const { return folder.filePath(name).toStdString(); }

    // A scene document with the given body, declared against the document type unless told otherwise.
    std::string write(const char* name, const std::string& body, bool declared = true) const
    {
        const std::string file = path(name);
        std::ofstream(file) << "<?xml version=\"1.0\"?>\n"
                            << (declared ? "<!DOCTYPE scene SYSTEM \"sceneVelmora.dtd\">\n" : "") << body;
        return file;
    }

    static qglviewer::Camera* camera() { return theViewer->camera(); }

    QTemporaryDir folder;
    Viewer viewer;
};

std::string contents(const std::string& file)
{
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A scene with every value away from the start, loaded over the built-in one
// (whose hills stand under the file's rock), saves back to the same text.
TEST_F(SceneFileTest, SavedSceneLoadsBackEveryValue)
{
    const std::string file = path("every_value.xml"), again = path("again.xml");
    ASSERT_TRUE(QFile::copy(VELMORA_SOURCE_DIR "/tests/scene_file/every_value.xml", QString::fromStdString(file)));
    ASSERT_GT(groundHeight(30.5f, 60.25f), 0.01f) << "the rock would stand higher on this ground";
    ASSERT_TRUE(loadSceneFile(file.c_str()));
    ASSERT_TRUE(saveSceneFile(again.c_str()));
    EXPECT_EQ(contents(again), contents(file));

    // What the file does not hold: the last grass update due, the look not
    // taken for another switch, and the rock's height, from the loaded flat
    // ground and raised by the loaded crushing exponent.
    EXPECT_TRUE(scene::switches().refreshGrassOnce);
    EXPECT_TRUE(scene::switches().look);
    EXPECT_EQ(Vec(rock::state().rockPosition), Vec(30.5, 60.25, 0));
    EXPECT_FLOAT_EQ(rock::record().currentPosition[2], 0.75f);
    EXPECT_FLOAT_EQ(rock::record().previousPosition[2], 0.75f);
}

TEST_F(SceneFileTest, SavedFileIsValidForOtherToolsAndLoadsPlainOrCompressed)
{
    const std::string file = path("lint.xml");
    ASSERT_TRUE(saveSceneFile(file.c_str()));
    EXPECT_EQ(std::system(("xmllint --valid --noout '" + file + "'").c_str()), 0);
    // A scene written before the look existed stays valid, as does the default one, which has it.
    EXPECT_EQ(std::system("xmllint --noout --dtdvalid " VELMORA_SOURCE_DIR "/data/Scene/sceneVelmora.dtd "
                          VELMORA_SOURCE_DIR "/fuzz/corpus/scene_file/valid_scene 2>/dev/null"), 0);
    EXPECT_EQ(std::system("xmllint --valid --noout " VELMORA_SOURCE_DIR "/data/Scene/init.xml"), 0);
    EXPECT_EQ(QDir(folder.path()).entryList({"*.xml*"}, QDir::Files).join(' ').toStdString(), "lint.xml")
        << "no temporary file left behind";

    const std::string packed = path("packed.xml");
    ASSERT_EQ(std::system(("gzip -9 -c '" + file + "' > '" + packed + "'").c_str()), 0);
    EXPECT_TRUE(loadSceneFile(packed.c_str()));
    const std::string accented = path("pr\xc3\xa9" "e d'\xc3\xa9t\xc3\xa9.xml");
    EXPECT_TRUE(saveSceneFile(accented.c_str()));
    EXPECT_TRUE(loadSceneFile(accented.c_str()));

    EXPECT_EQ(sceneFileName("myscene"), "myscene.xml");
    EXPECT_EQ(sceneFileName("a.xml.bak"), "a.xml.bak");
    EXPECT_EQ(sceneFileName("Scene/old.XML"), "Scene/old.XML.xml");
}

TEST_F(SceneFileTest, UnreadableOrInvalidFilesApplyNothingAndSayWhy)
{
    const std::pair<std::string, const char*> cases[] = {  // each with its reason, the library's first line
        {path("missing.xml"), "missing.xml"},
        {write("broken.xml", "<scene><parameters animation_dt=\"0.5\"></scene>"), "parser error"},
        {write("undeclared.xml", "<scene><parameters animation_dt=\"0.5\"/></scene>", false), "no DTD found"},
        {write("invalid.xml", "<scene><parameters animation_dt=\"0.5\" colour=\"red\"/></scene>"), "colour"},
    };
    EXPECT_FALSE(loadSceneFile(nullptr));
    for (const auto& [file, why] : cases) {
        std::string reason;
        EXPECT_FALSE(loadSceneFile(file.c_str(), &reason)) << file;
        EXPECT_NE(reason.find(why), std::string::npos) << reason;
        EXPECT_FLOAT_EQ(scene::switches().animation_dt, 0.05f) << file;
    }
    // Without its document type beside it (a scene saved outside Scene/), a
    // file is checked against the program's own: a bad one is still refused.
    QFile::remove(folder.filePath("sceneVelmora.dtd"));
    EXPECT_FALSE(loadSceneFile(cases[3].first.c_str()));
}

TEST_F(SceneFileTest, MissingSectionsFailButTheRestIsApplied)
{
    camera()->setPosition(Vec(5, 6, 7));
    EXPECT_FALSE(loadSceneFile(write("no_wind.xml", "<scene><parameters draw_sky=\"true\"/>"
        "<velmora><ground max_height=\"3\"/><grass grass_height=\"1.5\"/><forest><tree/></forest></velmora></scene>").c_str()));
    EXPECT_TRUE(scene::switches().draw_sky);
    EXPECT_EQ(camera()->position(), Vec(5, 6, 7)) << "no camera element, camera kept";
    EXPECT_FLOAT_EQ(scene::grassField().getHeight(), 1.5f) << "the sections after the missing one are read";
    EXPECT_EQ(forestTreeCount(), 1);

    EXPECT_FALSE(loadSceneFile(write("no_velmora.xml", "<scene><parameters draw_trees=\"true\"/></scene>").c_str()));
    EXPECT_TRUE(scene::switches().draw_trees);
}

// Numbers read as atof reads them, unfit ones are refused by name in every
// section, extra ones are ignored, empty ones read as zeros and only "true" is
// true. The values of the modules' sections are their own readers' tests.
TEST_F(SceneFileTest, AttributesOfEverySectionReadStrictly)
{
    rock::setSpeed(3);
    rock::setSize(2);
    camera()->setOrientation(Quaternion(Vec(1, 0, 0), 0.5));
    camera()->setPosition(Vec(1, 2, 3));
    testing::internal::CaptureStdout();
    loadSceneFile(write("numbers.xml",
        "<scene><parameters animation=\"True\" draw_ground=\"\" animation_dt=\"0x1p-4\">"
        "<camera position=\"0x10 1e39 -2\"/><rock position=\"10 20 30 40\" bound=\"yes\" speed=\"\" "
        "size=\"1e39\" crushing_power=\" 0x10\"/></parameters><velmora>"
        "<ground quads_number=\"1e39\"/><wind breeze_speed=\"1e39\"/><grass lod_3D=\"7 nan\"/>"
        "<forest arb=\"\"><tree seed=\"12\"/><tree relativeDiameter=\"\" relativeLength=\"0x1p-3\" seed=\"99999999999\"/>"
        "<tree seed=\"\"/>"
        "</forest></velmora></scene>").c_str());
    const std::string lines = testing::internal::GetCapturedStdout();
    // Only "true" is true; an empty switch is off.
    EXPECT_EQ(std::tuple(scene::switches().animation, scene::switches().draw_ground, rock::state().bound),
              std::tuple(false, false, false));
    EXPECT_FLOAT_EQ(scene::switches().animation_dt, 0.0625f);
    EXPECT_EQ(camera()->position(), Vec(16, 2, -2)) << "a refused number keeps its value";
    EXPECT_EQ(Vec(rock::state().rockPosition), Vec(10, 20, groundHeight(10, 20)));
    EXPECT_EQ(std::tuple(rock::state().rockSpeed, rock::state().rockSize, rock::record().crushingPower),
              std::tuple(0.0f, 2.0f, 16.0f)) << "an empty number is 0, a refused one keeps its value";
    const std::vector<TreeRecord> trees = getTrees();
    ASSERT_EQ(trees.size(), 3u);
    EXPECT_EQ(trees[1].seed, 12);
    EXPECT_EQ(trees[2].seed, 0) << "an empty seed reads as 0";
    EXPECT_EQ(forestArbFile(), "") << "an empty tree file names none";
    EXPECT_EQ(trees[1].relativeDiameter, 0);
    EXPECT_NEAR(trees[1].relativeLength, 0.125f, 1e-5f);
    for (const char* name : {"position", "size", "quads_number", "breeze_speed", "lod_3D", "seed"})
        EXPECT_NE(lines.find(std::string("refused for ") + name + ":"), std::string::npos) << name << "\n" << lines;

    // The missing orientation reads as zeros, which the camera takes as the
    // identity: it must survive a mouse rotation without turning into NaNs.
    camera()->frame()->rotate(Quaternion(Vec(0, 0, 1), 0.1));
    const Vec up = camera()->upVector();
    EXPECT_NEAR(up.y, std::cos(0.1), 1e-6);
    EXPECT_NEAR(up.x, -std::sin(0.1), 1e-6);
}

} // namespace
