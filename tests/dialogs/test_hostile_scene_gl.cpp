// A scene file with hostile numbers in every section, run as the program runs it.
#include "app/dialogs/dialogs.h"
#include "app/dialogs/forms.h"
#include "app/driver.h"
#include "app/rock.h"
#include "app/scene_file.h"
#include "app/scene_state.h"
#include "app/viewer.h"
#include "forest/forest.h"
#include "grass/grass_field.h"
#include "wind/director.h"
#include "wind/wind.h"
#include "tests/dialogs/program_windows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <initializer_list>

namespace {

bool finite(std::initializer_list<float> values)
{
    for (float v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

bool finite(const BladeSkeleton& s)
{
    return finite({s.P0[0], s.P0[1], s.P0[2], s.P1[0], s.P1[1], s.P1[2], s.T0[0], s.T0[1], s.T0[2], s.T1[0], s.T1[1],
                   s.T1[2], s.baseNormal, s.tipNormal});
}

bool finite(const Branch& b)
{
    const Vec3 tip = b.tip();
    if (!finite({b.diameter, b.length, tip.x, tip.y, tip.z})) return false;
    for (int i = 0; i < b.childCount; ++i)
        if (!finite(b.children[i])) return false;
    return true;
}

void drawFrames(int n)
{
    const int target = theViewer->frameStats().framesDrawn() + n;
    QElapsedTimer waited;
    waited.start();
    while (theViewer->frameStats().framesDrawn() < target && waited.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_GE(theViewer->frameStats().framesDrawn(), target) << "frames stopped coming";
}

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
    ASSERT_TRUE(scene::animation);
    EXPECT_EQ(windDirector().not_born().size() + windDirector().alive().size() + windDirector().dead().size(), 2u);

    const GrassField& grass = scene::grassField();
    int nodes = 0, crushPoints = 0;
    for (int i = 0; i <= grass.getPatchesX(); ++i)
        for (int j = 0; j <= grass.getPatchesY(); ++j) {
            const GrassNode& n = grass.node(i, j);
            nodes += !finite(n.skeleton) || !finite({n.windWeight, n.windX, n.windY, n.height, n.currentHeight});
        }
    for (int i = 0; i < grass.crushPointsX(); ++i)
        for (int j = 0; j < grass.crushPointsY(); ++j) {
            const CrushPoint& c = grass.crushPoint(i, j);
            crushPoints += !finite(c.skeleton) ||
                           !finite({c.z, c.dirX, c.dirY, c.totalTime, c.remainingTime, c.initialAmount, c.amount});
        }
    EXPECT_EQ(nodes, 0) << "grass nodes not finite";
    EXPECT_EQ(crushPoints, 0) << "crush points not finite";
    for (const auto* list : {&windDirector().not_born(), &windDirector().alive(), &windDirector().dead()})
        for (const auto& p : *list) {
            const pose2d pose = p->shape->get_pose();
            EXPECT_TRUE(finite({pose.position.x, pose.position.y, pose.angle, p->intensity, p->power}) &&
                        std::isfinite(p->date_of_birth) && std::isfinite(p->date_of_death));
        }
    float power, dx, dy;
    windGetInfluence(5, 5, 0, 0, 0, power, dx, dy);
    EXPECT_TRUE(finite({power, dx, dy}));
    for (int i = 0; i < forestTreeCount(); ++i) {
        const Tree tree = growForestTree(i, 0.0);
        EXPECT_TRUE(!tree.trunk || finite(*tree.trunk)) << "tree " << i;
    }
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
    closeWindows();
}

} // namespace
