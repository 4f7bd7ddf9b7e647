// The resource file: value forms, inheritance, warnings and declaration errors.
#include "oglui/resource.h"
#include "oglui/widget.h"
#include "tests/support/test_path.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

// Reads `text` over the declared resources (the widgets' unless `declared`); returns what was printed.
std::string load(const std::string& text, bool declared = false)
{
    if (!declared) oglClearResources(), oglDeclareWidgetResources();
    std::ofstream(testPath("ui.cfg"), std::ios::binary) << text;
    CaptureStdout();
    EXPECT_TRUE(loadResourceFile(testPath("ui.cfg")));
    return GetCapturedStdout();
}

using Rgba = std::vector<float>;

Rgba color(const char* branch, const char* name)
{
    const OGLColor c = oglColorResource(branch, name);
    return {c.r, c.g, c.b, c.a};
}

} // namespace

TEST(ResourceFile, readsEveryColourFormAndInheritsOnBang)
{
    EXPECT_EQ("", load("spline.bgcolor 255 128.7 0\nspline.cursorcolor -3 2 0.25\nspline.horizcolor 1 300\n"
                       "list.bgcolor 0.5\nlist.selcolor\ncontainer.bgcolor 0 0.25 1\n"
                       "menu.bgcolor 1 0 0\nmenu.bgcolor!\nbutton.bgcolor 0.5 0.5 0.5\n"));
    // Unset (menu, checkbutton): the nearest set ancestor's, or nothing.
    const std::pair<std::pair<const char*, const char*>, Rgba> cases[] = {
        {{"spline", "bgcolor"}, {1, 128 / 255.0f, 0, 1}}, {{"spline", "cursorcolor"}, {0, 2 / 255.0f, 0.25f, 1}},
        {{"spline", "horizcolor"}, {1, 1, 0, 1}}, {{"list", "bgcolor"}, {0.5f, 0, 0, 1}},
        {{"list", "selcolor"}, {1, 1, 1, 0}}, {{"menu", "bgcolor"}, {0, 0.25f, 1, 1}},
        {{"checkbutton", "bgcolor"}, {0.5f, 0.5f, 0.5f, 1}}, {{"handle", "nosuchcolor"}, {0, 0, 0, 0}}};
    for (const auto& [resource, rgba] : cases) EXPECT_EQ(color(resource.first, resource.second), rgba) << resource.first;
}

TEST(ResourceFile, reportsFaultyLinesByNumberBetweenTheFileAndEndLinesAndKeepsReading)
{
    const std::string longName(256, 'x');
    const std::string out = load("# comment\n\n# comment\n\n# comment\n\n"
                                 "menu bgcolor 1 1 1\n"  // line 7: space instead of "."
                                 + longName + ".bgcolor 1\n"
                                 "menu." + longName + " 1\n"
                                 "nosuchbranch.whatever 1 2 3\n"  // silent
                                 "menu.nosuchresource 1\n"
                                 "menu.bgcolor abc\n"
                                 "button.normalborder sideways\n"
                                 "button.pressedborder DARK \r\n"       // case ignored
                                 "scrollbar.normalborder In\n"
                                 "\t  list.bgcolor 0.25\r\n"            // indentation and CRLF are fine
                                 + longName.substr(1) + ".bgcolor 1\n");  // a long name, but not too long
    EXPECT_EQ("FILE " + testPath("ui.cfg") + "\n"
              "   7: WARNING: no ressource qualifier after object menu\n"
              "   8: WARNING: no more than 255 characters allowed per class (" + longName + ")\n"
              "   9: WARNING: no more than 255 characters allowed per property (" + longName + ")\n"
              "  11: WARNING: nosuchresource is not a resource of menu\n"
              "  12: WARNING: numerical value expected\n"
              "  13: WARNING: sideways is not a value of button.normalborder\n"
              "END\n", out);
    EXPECT_EQ(oglEnumResource("button", "normalborder"), OGL_BORDER_OUT);
    EXPECT_EQ(oglEnumResource("button", "pressedborder"), OGL_BORDER_DARK);
    EXPECT_EQ(oglEnumResource("scrollbar", "normalborder"), OGL_BORDER_IN);
    EXPECT_EQ(color("list", "bgcolor"), Rgba({0.25f, 0, 0, 1}));
    EXPECT_EQ(oglFloatResource("list", "bgcolor"), 0);
    // A file that cannot be opened changes nothing.
    CaptureStdout();
    EXPECT_FALSE(loadResourceFile(testPath("ui.cfg") + "/no/such/ui.cfg"));
    EXPECT_EQ("WARNING: resource file " + testPath("ui.cfg") + "/no/such/ui.cfg cannot be opened\n", GetCapturedStdout());
}

TEST(ResourceDeclarations, reportEachFaultAndLookupsStaySafe)
{
    oglClearResources();
    CaptureStdout();
    const std::vector<bool> accepted = {
        oglDeclareBranch("a", ""), oglDeclareBranch("a", ""), oglDeclareBranch("", "a"), oglDeclareBranch("child", "ghost"),
        oglDeclareResource(std::make_unique<OGLIResourceInt>("", "a")),
        oglDeclareResource(std::make_unique<OGLIResourceInt>("r", "a", 1)),
        oglDeclareResource(std::make_unique<OGLIResourceFloat>("r", "a", 2)),
        oglDeclareResource(std::make_unique<OGLIResourceEnum>("e", "a", OGLIResourceEnum::Table{}, true)),
        oglDeclareResource(std::make_unique<OGLIResourceInt>("r", "nobranch")),
        oglDeclareResource(std::make_unique<OGLIResourceInt>("s", "nobranch")), oglCheckResourceDeclarations()};
    EXPECT_EQ(accepted, (std::vector<bool>{1, 0, 0, 1, 0, 1, 0, 0, 1, 1, 0}));
    const std::string prefix = "RESOURCE DECLARATION ERROR: ";
    EXPECT_EQ(prefix + "une branche a deja ete define\n"
              + prefix + "une branche n'a pas de nom\n"
              + prefix + "A resource must have a name and a branch name\n"
              + prefix + "resource r declared twice for branch a\n"
              + prefix + "You forgot to give and enumeration for resource a.e\n"
              + prefix + "ghost branch from which child inherits was never declared\n"
              + prefix + "resource branch nobranch has resources but was never declared\n",
              GetCapturedStdout());
    // Numbers keep their value on bad or out-of-range text.
    oglDeclareResource(std::make_unique<OGLIResourceFloat>("f", "a", 2.5f));
    EXPECT_EQ("FILE " + testPath("ui.cfg") + "\n   1: WARNING: integer value expected\n"
              "   2: WARNING: floating point value expected\n   3: WARNING: integer value expected\nEND\n",
              load("a.r 12x\na.f 1e99\na.r 99999999999\n", true));
    EXPECT_EQ(oglIntResource("a", "r"), 1);
    EXPECT_EQ(oglFloatResource("a", "f"), 2.5f);
    EXPECT_EQ("", load("a.f\na.r -7 \n", true));  // an empty number is 0
    EXPECT_EQ(oglIntResource("a", "r"), -7);
    EXPECT_EQ(oglFloatResource("a", "f"), 0);
    // An inheritance cycle ends the lookup.
    oglDeclareBranch("b", "c");
    oglDeclareBranch("c", "b");
    oglDeclareResource(std::make_unique<OGLIResourceInt>("r", "b"));
    EXPECT_EQ(0, oglIntResource("b", "r"));
}
