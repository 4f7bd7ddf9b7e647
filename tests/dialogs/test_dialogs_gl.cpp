// The five dialogs wired to the real driver, started as the program starts.
#include "app/dialogs/forms.h"
#include "app/rock.h"
#include "app/scene_file.h"
#include "app/scene_state.h"
#include "ground/ground.h"
#include "wind/director.h"
#include "wind/wind.h"
#include "tests/dialogs/program_windows.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <climits>
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
    void TearDown() override { closeProgram(); }

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
        {s->Slider_DT, 1, [] { return scene::switches().animation_dt; }, 0.001f},
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
    const bool before = scene::switches().animation;
    start->click();
    EXPECT_TRUE(scene::switches().animation != before && start->isChecked() == scene::switches().animation);

    // Return in the viewer toggles the animation and the button with it.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(theViewer, &press);
    EXPECT_TRUE(scene::switches().animation == before && start->isChecked() == scene::switches().animation);
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

// Whether two attribute texts hold the same numbers to a relative `tolerance`, or else the same text.
bool sameValue(const QString& expected, const QString& actual, double tolerance)
{
    const QStringList x = expected.split(' '), y = actual.split(' ');
    bool same = x.size() == y.size();
    for (int i = 0; same && i < x.size(); ++i) {
        bool number = false;
        const double p = x[i].toDouble(&number), q = y[i].toDouble();
        same = number ? std::fabs(p - q) <= tolerance * std::fmax(1.0, std::fabs(p)) : x[i] == y[i];
    }
    return same;
}

// The file's attributes in document order, as name and value.
QList<QRegularExpressionMatch> attributes(const QString& file)
{
    QFile in(file);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << file.toStdString();
    QList<QRegularExpressionMatch> list;
    for (auto it = QRegularExpression("(\\w+)=\"([^\"]*)\"").globalMatch(in.readAll()); it.hasNext();)
        list << it.next();
    return list;
}

TEST_F(DialogsTest, StartSceneKeepsItsOwnValuesThroughTheControls)
{
    QTemporaryDir folder;
    const QString saved = folder.filePath("started.xml");
    ASSERT_TRUE(saveSceneFile(saved.toLocal8Bit().constData()));
    const QList<QRegularExpressionMatch> init = attributes("Scene/init.xml"), now = attributes(saved);
    ASSERT_EQ(init.size(), now.size());
    for (int k = 0; k < init.size(); ++k) {
        const QString name = init[k].captured(1);
        // The first frame has moved the rock a little.
        EXPECT_TRUE(now[k].captured(1) == name && sameValue(init[k].captured(2), now[k].captured(2),
                                                            name == "position" ? 0.1 : 1e-4))
            << name.toStdString() << ": init.xml says " << init[k].captured(2).toStdString() << ", the scene holds "
            << now[k].captured(0).toStdString();
    }
}

TEST_F(DialogsTest, DialogsStandWhereAndAsTitledAndGoCleanly)
{
    const QPoint places[] = {{20, 20}, {250, 20}, {20, 600}, {785, 20}, {485, 20}};
    const char* titles[] = {"Scene", "Grass", "Trees", "Ground", "Wind"};
    for (int k = 0; k < 5; ++k)
        EXPECT_TRUE(dialogs()[k]->pos() == places[k] && dialogs()[k]->windowTitle() == titles[k] &&
                    dialogs()[k]->isVisible()) << titles[k];
    EXPECT_FALSE(sceneDialog()->CheckBox_VisuTrajectory->isEnabled());

    deleteDialogs();
    for (QDialog* d : dialogs()) EXPECT_EQ(d, nullptr);
    theDriver->loadQTInterface();  // a refresh with the dialogs gone touches nothing
}

// A scene file with hostile numbers in every section, run as the program runs it.
TEST(HostileScene, RunsFiniteAndShowsAtTheControlsEnds)
{
    scene::resetSceneState();
    rock::resetRock();
    openProgramWindows(320, 240, INT_MAX);
    drawFrames(1);

    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy("Scene/sceneVelmora.dtd", folder.filePath("sceneVelmora.dtd")));
    ASSERT_TRUE(QFile::copy(VELMORA_SOURCE_DIR "/tests/dialogs/hostile_scene.xml", folder.filePath("hostile.xml")));
    EXPECT_TRUE(loadSceneFile(folder.filePath("hostile.xml").toLocal8Bit().constData()));
    theDriver->addWindGust();
    theDriver->addWindBlast();
    drawFrames(200);
    ASSERT_TRUE(scene::switches().animation);
    const god_of_gusts& d = windDirector();
    EXPECT_EQ(d.not_born().size() + d.alive().size() + d.dead().size(), 2u);

    const GrassField& grass = scene::grassField();
    bool nodes = true, crushPoints = true;
    for (int i = 0; i <= grass.getPatchesX(); ++i)
        for (int j = 0; j <= grass.getPatchesY(); ++j) {
            const GrassNode& n = grass.node(i, j);
            nodes = nodes && finite(n.skeleton) && finite({n.windWeight, n.windX, n.windY, n.height, n.currentHeight});
        }
    for (int i = 0; i < grass.crushPointsX(); ++i)
        for (int j = 0; j < grass.crushPointsY(); ++j) {
            const CrushPoint& c = grass.crushPoint(i, j);
            crushPoints = crushPoints && finite(c.skeleton) &&
                          finite({c.z, c.dirX, c.dirY, c.totalTime, c.remainingTime, c.initialAmount, c.amount});
        }
    EXPECT_TRUE(nodes && crushPoints) << "grass nodes " << nodes << ", crush points " << crushPoints;
    for (const auto* list : {&d.not_born(), &d.alive(), &d.dead()})
        for (const auto& p : *list) {
            const pose2d pose = p->shape->get_pose();
            EXPECT_TRUE(finite({pose.position.x, pose.position.y, pose.angle, p->intensity, p->power,
                                float(p->date_of_birth), float(p->date_of_death)}));
        }
    float power, dx, dy;
    windGetInfluence(5, 5, 0, 0, 0, power, dx, dy);
    EXPECT_TRUE(finite({power, dx, dy}));
    EXPECT_TRUE(treesFinite());
    const rock::RockState& r = rock::state();
    const RockRecord& record = rock::record();
    EXPECT_TRUE(finite({r.rockPosition[0], r.rockPosition[1], r.rockPosition[2], r.rockVelocity[0], r.rockVelocity[1],
                        r.rollAngle, r.verticalSpeed, float(r.autoClock), r.rockSpeed, r.rockSize}));
    EXPECT_TRUE(finite({record.crushingPower, record.crushingPowerExp, record.crushingMysteryParameter,
                        record.crushingPropagation, record.previousPosition[0], record.previousPosition[1],
                        record.previousPosition[2], record.currentPosition[0], record.currentPosition[1],
                        record.currentPosition[2]}));

    // A huge value shows as its control's maximum, a hugely negative one as its minimum.
    theDriver->loadQTInterface();
    FormScene* s = sceneDialog();
    FormGrass* g = grassDialog();
    FormWind* w = windDialog();
    for (QAbstractSlider* top : {s->Slider_RockSpeed, s->Slider_RockCrushingPower, s->Slider_RockCrushingPowerExp,
                                 g->Slider_GrassHeight, g->Slider_GrassNoisePositions, g->Slider_crushingMaxTime,
                                 g->Slider_GrassDist3D, g->Slider_AntiAliasingTexture3D, w->Slider_BreezeSpeed,
                                 w->Slider_BreezePower, w->Slider_GustSpeed, w->Slider_BlastParam,
                                 groundDialog()->Slider_GroundSize, groundDialog()->Slider_GroundHeight})
        EXPECT_EQ(top->value(), top->maximum()) << top->objectName().toStdString();
    for (QAbstractSlider* bottom : {s->Slider_RockSize, s->Slider_RockCrushingMysteryParam, g->Slider_GrassWidth,
                                    g->Slider_GrassDist2D5, g->Slider_crushingDamping, w->Slider_GustPower,
                                    g->Slider_AntiAliasingTexture2D5})
        EXPECT_EQ(bottom->value(), bottom->minimum()) << bottom->objectName().toStdString();
    closeProgram();
}

} // namespace
