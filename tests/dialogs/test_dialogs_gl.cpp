// The five dialogs wired to the real driver, started as the program starts.
#include "app/dialogs/dialogs.h"
#include "app/dialogs/forms.h"
#include "app/driver.h"
#include "app/rock.h"
#include "app/scene_file.h"
#include "app/scene_state.h"
#include "app/viewer.h"
#include "forest/forest.h"
#include "grass/grass_field.h"
#include "ground/ground.h"
#include "wind/wind.h"
#include "tests/dialogs/program_windows.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

class DialogsTest : public testing::Test {
protected:
    void SetUp() override
    {
        scene::resetSceneState();
        rock::resetRock();
        openProgramWindows(780, 580, 1);
        QApplication::exec();
    }
    void TearDown() override
    {
        closeWindows();
    }

    static QList<QDialog*> dialogs()
    {
        return {sceneDialog(), grassDialog(), treesDialog(), groundDialog(), windDialog()};
    }

    // Every value control that the driver also sets. The polygon budget has
    // no way back, and the trajectory box is disabled and never refreshed.
    static QList<QWidget*> refreshedControls()
    {
        QList<QWidget*> controls;
        for (QDialog* dialog : dialogs())
            for (QWidget* w : dialog->findChildren<QWidget*>()) {
                const QString name = w->objectName();
                if (name == "SpinBox_NbPgMax" || name == "CheckBox_VisuTrajectory" ||
                    name == "PushButton_ShowInterface")
                    continue;
                auto* button = qobject_cast<QAbstractButton*>(w);
                if (qobject_cast<QAbstractSlider*>(w) || qobject_cast<QSpinBox*>(w) || (button && button->isCheckable()))
                    controls << w;
            }
        return controls;
    }

    static int valueOf(QWidget* w)
    {
        return w->property(qobject_cast<QAbstractButton*>(w) ? "checked" : "value").toInt();
    }

    // A different value that the slot can store exactly enough to come back:
    // ten steps away, or the other state of a check box.
    static void change(QWidget* w)
    {
        const int v = valueOf(w);
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            b->setChecked(!v);
        else
            w->setProperty("value", v + 10 <= w->property("maximum").toInt() ? v + 10 : v - 10);
    }
};

TEST_F(DialogsTest, EveryControlReachesItsSlotAndComesBack)
{
    const QList<QWidget*> controls = refreshedControls();
    ASSERT_EQ(controls.size(), 45);
    for (QWidget* w : controls) {
        const std::string name = w->objectName().toStdString();
        const int old = valueOf(w);
        {
            // Moved without telling the driver: the refresh puts the driver's value back.
            const QSignalBlocker quiet(w);
            change(w);
        }
        ASSERT_NE(valueOf(w), old) << name;
        theDriver->loadQTInterface();
        EXPECT_EQ(valueOf(w), old) << name << ": not refreshed from the driver";

        // Moved for real: the slot keeps the value, so the refresh sends it back unchanged.
        change(w);
        const int moved = valueOf(w);
        theDriver->loadQTInterface();
        EXPECT_EQ(valueOf(w), moved) << name << ": the driver did not take it";
    }
}

TEST_F(DialogsTest, ControlsApplyTheirScale)
{
    FormScene* s = sceneDialog();
    FormGrass* g = grassDialog();
    const GrassField& grass = scene::grassField();
    struct Case {
        QWidget* control;
        int value;
        std::function<float()> parameter;
        float expected;
    };
    const Case cases[] = {
        {s->Slider_DT, 1, [] { return scene::animation_dt; }, 0.001f},
        {s->Slider_RockSize, 250, [] { return rock::state().rockSize; }, 2.5f},
        {s->Slider_RockCrushingPropagation, 30, [] { return rock::record().crushingPropagation; }, 0.03f},
        {s->CheckBox_RockMvtAuto, 1, [] { return float(rock::state().direct); }, 0.0f},
        {g->Slider_GrassWidth, 150, [&] { return grass.getWidth(); }, 0.015f},
        {g->Slider_crushingDamping, 35, [&] { return grass.getCrushingDamping(); }, 3.5f},
        {g->Slider_AntiAliasingTexture2D5, 7, [&] { return grass.getAntialiasing2D5(); }, 0.7f},
        {groundDialog()->Slider_GroundSize, 50, [] { return groundSizeX(); }, 12.5f},
        {groundDialog()->Slider_GroundHeight, 40, [] { return groundMaxHeight(); }, 1.0f},
        {treesDialog()->SpinBox_NbPgMax, 20000, [] { return float(forestPolygonBudget()); }, 20000.0f},
        {windDialog()->Slider_BlastParam, 1, [] { return windGetBlastParam(); }, 0.001f},
    };
    for (const Case& c : cases) {
        c.control->setProperty(qobject_cast<QAbstractButton*>(c.control) ? "checked" : "value", c.value);
        EXPECT_NEAR(c.parameter(), c.expected, 1e-6f) << c.control->objectName().toStdString();
    }
    emit g->ComboBox_SizeTexture2D5->activated(7);
    EXPECT_EQ(grass.getSizeX2D5() * 1000 + grass.getSizeY2D5(), 1024064);
}

TEST_F(DialogsTest, StartButtonFollowsTheAnimation)
{
    QPushButton* start = sceneDialog()->PushButton_Start;
    const bool before = scene::animation;
    start->click();
    EXPECT_TRUE(scene::animation != before && start->isChecked() == scene::animation);

    // Return in the viewer toggles the animation and the button with it.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(theViewer, &press);
    EXPECT_TRUE(scene::animation == before && start->isChecked() == scene::animation);
}

TEST_F(DialogsTest, OutOfRangeValuesClampAndFlowBack)
{
    theDriver->setGrassRadius3D(150);
    theDriver->setTreesNumber(300);
    theDriver->loadQTInterface();
    EXPECT_EQ(grassDialog()->Slider_GrassDist3D->value(), 100);
    EXPECT_FLOAT_EQ(scene::grassField().getDistance3D(), 100.0f);
    EXPECT_EQ(treesDialog()->SpinBox_TreesNumber->value(), forestTreeCount());
    EXPECT_LE(forestTreeCount(), 255);
}

// Compares every attribute of `expected` and its descendants with the same
// place in `actual`: numbers to a relative 1e-4, other text exactly.
void expectSameAttributes(xmlNodePtr expected, xmlNodePtr actual, const std::string& where)
{
    for (xmlAttrPtr a = expected->properties; a; a = a->next) {
        const std::string name = reinterpret_cast<const char*>(a->name);
        if (where == "scene/parameters/rock" && name == "position") continue;  // the first frame moves the rock
        xmlChar* e = xmlGetProp(expected, a->name);
        xmlChar* g = xmlGetProp(actual, a->name);
        const std::string want = reinterpret_cast<const char*>(e), got = g ? reinterpret_cast<const char*>(g) : "";
        xmlFree(e), xmlFree(g);
        const char *p = want.c_str(), *q = got.c_str();
        bool same = true;
        for (char *pe, *qe;; p = pe, q = qe) {
            const double x = std::strtod(p, &pe), y = std::strtod(q, &qe);
            if (pe == p || qe == q) {
                same = same && std::string(p) == q;
                break;
            }
            same = same && std::fabs(x - y) <= 1e-4 * std::fmax(1.0, std::fabs(x));
        }
        EXPECT_TRUE(same) << where << " " << name << ": init.xml says " << want << ", the scene holds " << got;
    }
    xmlNodePtr other = actual->children;
    for (xmlNodePtr child = expected->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        while (other && other->type != XML_ELEMENT_NODE) other = other->next;
        ASSERT_TRUE(other && xmlStrcmp(other->name, child->name) == 0) << where << ": " << child->name;
        expectSameAttributes(child, other, where + "/" + reinterpret_cast<const char*>(child->name));
        other = other->next;
    }
}

TEST_F(DialogsTest, StartSceneKeepsItsOwnValuesThroughTheControls)
{
    QTemporaryDir folder;
    const std::string saved = folder.filePath("started.xml").toStdString();
    ASSERT_TRUE(saveSceneFile(saved.c_str()));
    xmlDocPtr init = xmlReadFile("Scene/init.xml", nullptr, XML_PARSE_NOBLANKS);
    xmlDocPtr now = xmlReadFile(saved.c_str(), nullptr, XML_PARSE_NOBLANKS);
    ASSERT_TRUE(init && now);
    expectSameAttributes(xmlDocGetRootElement(init), xmlDocGetRootElement(now), "scene");
    xmlFreeDoc(init);
    xmlFreeDoc(now);
}

TEST_F(DialogsTest, DialogsStandWhereAndAsTitledWithTheScenesValues)
{
    const QPoint places[] = {{20, 20}, {250, 20}, {20, 600}, {785, 20}, {485, 20}};
    const char* titles[] = {"Scene", "Grass", "Trees", "Ground", "Wind"};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(dialogs()[k]->pos(), places[k]) << titles[k];
        EXPECT_EQ(dialogs()[k]->windowTitle(), titles[k]);
        EXPECT_TRUE(dialogs()[k]->isVisible()) << titles[k];
    }
    EXPECT_FALSE(sceneDialog()->CheckBox_VisuTrajectory->isEnabled());
    // The scene's values, not the forms' defaults.
    EXPECT_EQ(groundDialog()->Slider_GroundSize->value(), int(groundSizeX() * 4));
    EXPECT_EQ(treesDialog()->SpinBox_TreesNumber->value(), forestTreeCount());
    EXPECT_EQ(windDialog()->Slider_BreezePower->value(), int(windGetBreezePower() / 0.1f));

    deleteDialogs();
    for (QDialog* d : dialogs()) EXPECT_EQ(d, nullptr);
    theDriver->loadQTInterface();  // a refresh with the dialogs gone touches nothing
}

} // namespace
