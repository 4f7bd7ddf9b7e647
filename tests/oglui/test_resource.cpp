// The resource file: value forms, inheritance, warnings and declaration errors.
#include "oglui/resource.h"
#include "oglui/widget.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

// Named after the test too: ctest runs tests in parallel.
std::string tempPath(const char* name)
{
    return std::string(testing::TempDir()) + "oglui_" + testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + name;
}

std::string writeFile(const char* name, const std::string& text)
{
    const std::string path = tempPath(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// Declares the widgets' resources, reads `text` as a file and returns what was printed.
std::string load(const std::string& text, const char* name = "ui.cfg")
{
    oglClearResources();
    oglDeclareWidgetResources();
    const std::string path = writeFile(name, text);
    CaptureStdout();
    EXPECT_TRUE(loadResourceFile(path));
    return GetCapturedStdout();
}

void expectColor(const OGLColor& c, float r, float g, float b, float a)
{
    EXPECT_FLOAT_EQ(r, c.r);
    EXPECT_FLOAT_EQ(g, c.g);
    EXPECT_FLOAT_EQ(b, c.b);
    EXPECT_FLOAT_EQ(a, c.a);
}

} // namespace

TEST(ResourceFile, readsEveryColourForm)
{
    const std::string out = load("menu.bgcolor 255 128.7 0\n"
                                 "list.bgcolor 0.5\n"
                                 "list.selcolor\n"
                                 "spline.bgcolor -3 2 0.25\n"
                                 "spline.cursorcolor 1 300\n");
    EXPECT_EQ("", out);
    expectColor(oglColorResource("menu", "bgcolor"), 1, 128 / 255.0f, 0, 1);
    expectColor(oglColorResource("list", "bgcolor"), 0.5f, 0, 0, 1);
    expectColor(oglColorResource("list", "selcolor"), 1, 1, 1, 0);
    expectColor(oglColorResource("spline", "bgcolor"), 0, 2 / 255.0f, 0.25f, 1);
    expectColor(oglColorResource("spline", "cursorcolor"), 1, 1, 0, 1);
}

TEST(ResourceFile, bangInheritsFromTheParentBranch)
{
    load("container.bgcolor 0 0.25 1\n"
         "menu.bgcolor 1 0 0\n"
         "menu.bgcolor !\n"
         "button.bgcolor 0.5 0.5 0.5\n");
    expectColor(oglColorResource("menu", "bgcolor"), 0, 0.25f, 1, 1);
    EXPECT_FALSE(oglFindResource("menu", "bgcolor")->isSet());
    // A branch without the resource reads its nearest ancestor's.
    expectColor(oglColorResource("checkbutton", "bgcolor"), 0.5f, 0.5f, 0.5f, 1);
    // Nothing up the chain: 0 and no picture.
    expectColor(oglColorResource("handle", "nosuchcolor"), 0, 0, 0, 0);
    EXPECT_EQ(nullptr, oglTextureResource("label", "bgtexture"));
}

TEST(ResourceFile, warnsWithLineNumbersBetweenTheFileAndEndLines)
{
    std::string text;
    for (int i = 1; i <= 6; ++i) text += i % 2 ? "# comment\n" : "\n";
    text += "menu bgcolor 1 1 1\n";       // line 7: space instead of "."
    text += "\t  list.bgcolor 0.5\r\n";  // indentation and CRLF are fine
    const std::string path = tempPath("seven.cfg");
    EXPECT_EQ("FILE " + path + "\n   7: WARNING: no ressource qualifier after object menu\nEND\n",
              load(text, "seven.cfg"));
    expectColor(oglColorResource("list", "bgcolor"), 0.5f, 0, 0, 1);
}

TEST(ResourceFile, reportsFaultyLinesAndKeepsReading)
{
    const std::string longName(256, 'x');
    const std::string out = load(longName + ".bgcolor 1\n"          // 1
                                 "menu." + longName + " 1\n"        // 2
                                 "nosuchbranch.whatever 1 2 3\n"    // 3: silent
                                 "menu.nosuchresource 1\n"          // 4
                                 "menu.bgcolor abc\n"               // 5
                                 "button.normalborder sideways\n"   // 6
                                 "button.pressedborder DARK\n"      // 7: case ignored
                                 "list.bgcolor 0.25\n");            // 8
    EXPECT_NE(std::string::npos, out.find("   1: WARNING: no more than 255 characters allowed per class (" + longName + ")\n"));
    EXPECT_NE(std::string::npos, out.find("   2: WARNING: no more than 255 characters allowed per property (" + longName + ")\n"));
    EXPECT_EQ(std::string::npos, out.find("   3:"));
    EXPECT_NE(std::string::npos, out.find("   4: WARNING: nosuchresource is not a resource of menu\n"));
    EXPECT_NE(std::string::npos, out.find("   5: WARNING: numerical value expected\n"));
    EXPECT_NE(std::string::npos, out.find("   6: WARNING: sideways is not a value of button.normalborder\n"));
    EXPECT_EQ(OGL_BORDER_OUT, oglEnumResource("button", "normalborder"));
    EXPECT_EQ(OGL_BORDER_DARK, oglEnumResource("button", "pressedborder"));
    expectColor(oglColorResource("list", "bgcolor"), 0.25f, 0, 0, 1);
    EXPECT_EQ(0u, out.find("FILE "));
    EXPECT_EQ(out.size() - 4, out.rfind("END\n"));
}

TEST(ResourceFile, numbersKeepTheirValueOnBadText)
{
    oglClearResources();
    oglDeclareBranch("b", "");
    oglDeclareResource(std::make_unique<OGLIResourceInt>("i", "b", 7));
    oglDeclareResource(std::make_unique<OGLIResourceFloat>("f", "b", 2.5f));
    const std::string path = writeFile("numbers.cfg", "b.i 12x\nb.f 1e99\nb.i 99999999999\n");
    CaptureStdout();
    loadResourceFile(path);
    const std::string out = GetCapturedStdout();
    EXPECT_NE(std::string::npos, out.find("   1: WARNING: integer value expected\n"));
    EXPECT_NE(std::string::npos, out.find("   2: WARNING: floating point value expected\n"));
    EXPECT_NE(std::string::npos, out.find("   3: WARNING: integer value expected\n"));
    EXPECT_EQ(7, oglIntResource("b", "i"));
    EXPECT_FLOAT_EQ(2.5f, oglFloatResource("b", "f"));
}

TEST(ResourceFile, missingFileLeavesTheDeclaredValues)
{
    oglClearResources();
    oglDeclareWidgetResources();
    const OGLColor before = oglColorResource("container", "bgcolor");
    CaptureStdout();
    EXPECT_FALSE(loadResourceFile(std::string(testing::TempDir()) + "no/such/ui.cfg"));
    EXPECT_NE(std::string::npos, GetCapturedStdout().find("cannot be opened"));
    expectColor(oglColorResource("container", "bgcolor"), before.r, before.g, before.b, before.a);
    EXPECT_EQ("ForestInterfaceData/Buttons/key.tga", oglTextureResource("handle", "texture")->value());
}

TEST(ResourceFile, committedFileReadsWithoutWarnings)
{
    oglClearResources();
    CaptureStdout();
    EXPECT_TRUE(oglLoadWidgetResources(VELMORA_SOURCE_DIR "/data/ForestInterfaceData/ui.cfg"));
    EXPECT_EQ("", GetCapturedStdout());
}

TEST(ResourceDeclarations, reportEachFault)
{
    oglClearResources();
    CaptureStdout();
    EXPECT_TRUE(oglDeclareBranch("a", ""));
    EXPECT_FALSE(oglDeclareBranch("a", ""));
    EXPECT_FALSE(oglDeclareBranch("", "a"));
    EXPECT_TRUE(oglDeclareBranch("child", "ghost"));
    EXPECT_FALSE(oglDeclareResource(std::make_unique<OGLIResourceInt>("", "a")));
    EXPECT_FALSE(oglDeclareResource(std::make_unique<OGLIResourceInt>("r", "")));
    EXPECT_TRUE(oglDeclareResource(std::make_unique<OGLIResourceInt>("r", "a", 1)));
    EXPECT_FALSE(oglDeclareResource(std::make_unique<OGLIResourceFloat>("r", "a", 2)));
    EXPECT_FALSE(oglDeclareResource(std::make_unique<OGLIResourceEnum>("e", "a", OGLIResourceEnum::Table{}, true)));
    EXPECT_TRUE(oglDeclareResource(std::make_unique<OGLIResourceInt>("r", "nobranch")));
    EXPECT_FALSE(oglCheckResourceDeclarations());
    const std::string prefix = "RESOURCE DECLARATION ERROR: ";
    EXPECT_EQ(prefix + "une branche a deja ete define\n"
              + prefix + "une branche n'a pas de nom\n"
              + prefix + "A resource must have a name and a branch name\n"
              + prefix + "A resource must have a name and a branch name\n"
              + prefix + "resource r declared twice for branch a\n"
              + prefix + "You forgot to give and enumeration for resource a.e\n"
              + prefix + "ghost branch from which child inherits was never declared\n"
              + prefix + "resource branch nobranch has resources but was never declared\n",
              GetCapturedStdout());
    EXPECT_EQ(1, oglIntResource("a", "r"));  // the first declaration holds

    // The widgets' own declarations are sound.
    oglClearResources();
    CaptureStdout();
    oglDeclareWidgetResources();
    EXPECT_TRUE(oglCheckResourceDeclarations());
    EXPECT_EQ("", GetCapturedStdout());
}

TEST(ResourceDeclarations, inheritanceCycleEndsTheLookup)
{
    oglClearResources();
    oglDeclareBranch("a", "b");
    oglDeclareBranch("b", "a");
    oglDeclareResource(std::make_unique<OGLIResourceInt>("r", "a"));
    EXPECT_EQ(0, oglIntResource("a", "r"));
}
