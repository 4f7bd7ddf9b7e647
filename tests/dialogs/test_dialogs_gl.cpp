// The five dialogs wired to the real driver, started as the program starts.
#include "app/dialogs/dialogs.h"
#include "app/dialogs/forms.h"
#include "app/driver.h"
#include "app/program.h"
#include "app/rock.h"
#include "app/scene_file.h"
#include "app/scene_state.h"
#include "app/viewer.h"
#include "forest/forest_state.h"
#include "forest/tree_parameters.h"
#include "ground/ground.h"
#include "wind/director.h"
#include "wind/wind.h"
#include "util/frame_clock.h"
#include "tests/support/finite.h"
#include "tests/support/frames.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gmock/gmock.h>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>

namespace {

// The viewer at `width` × `height` over the five dialogs on a fresh scene, stopping
// after `frames` frames (INT_MAX: never), its state file left alone; closeProgram() ends it.
void openProgramWindows(int width, int height, int frames)
{
    scene::resetSceneState();
    rock::resetRock();
    theViewer = new Viewer();
    theViewer->stopAfterFrames(frames, QString());
    theDriver = new MyVelmoraQTDriver();
    assembleDialogs(theDriver);
    theViewer->resize(width, height);
    theViewer->show();
}

// Lets the program's viewer draw `n` more frames, the GL state sound after them.
void drawFrames(int n)
{
    drawFrames(*theViewer, n);
    theViewer->makeCurrent();
    const GLenum error = glGetError();
    theViewer->doneCurrent();
    ASSERT_EQ(error, GLenum(GL_NO_ERROR)) << "frame " << theViewer->frameStats().framesDrawn();
}

// Whether every tree of the forest grows with finite branches.
testing::AssertionResult treesFinite()
{
    for (int i = 0; i < forestTreeCount(); ++i) {
        const Tree tree = growForestTree(i, 0.0);
        if (tree.trunk)
            if (testing::AssertionResult r = finite(*tree.trunk); !r) return r << " of tree " << i;
    }
    return testing::AssertionSuccess();
}

QList<QDialog*> dialogs() { return {sceneDialog(), grassDialog(), treesDialog(), groundDialog(), windDialog()}; }

// Every value control that the driver also sets. The polygon budget has
// no way back, and the trajectory box is disabled and never refreshed.
QList<QWidget*> refreshedControls()
{
    QList<QWidget*> controls;
    for (QDialog* dialog : dialogs())
        for (QWidget* w : dialog->findChildren<QWidget*>()) {
            const QString name = w->objectName();
            if (name == "SpinBox_NbPgMax" || name == "CheckBox_VisuTrajectory" || name == "PushButton_ShowInterface")
                continue;
            auto* button = qobject_cast<QAbstractButton*>(w);
            if (qobject_cast<QAbstractSlider*>(w) || qobject_cast<QSpinBox*>(w) || (button && button->isCheckable()))
                controls << w;
        }
    return controls;
}

int valueOf(QWidget* w) { return w->property(qobject_cast<QAbstractButton*>(w) ? "checked" : "value").toInt(); }

// Whether the scene holds what the dialogs show: after every control's value
// went to its slot, as if set by hand, the driver sends back the same values.
bool dialogsAgreeWithTheScene()
{
    const auto sent = [] {
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        for (int k = 0; k < theDriver->metaObject()->methodCount(); ++k)
            if (theDriver->metaObject()->method(k).name().startsWith("setQT"))
                spies.push_back(std::make_unique<QSignalSpy>(theDriver, theDriver->metaObject()->method(k)));
        theDriver->loadQTInterface();
        QList<QVariant> values;
        for (const auto& spy : spies)
            for (const QList<QVariant>& call : *spy) values << call;
        return values;
    };
    const QList<QVariant> before = sent();
    for (QWidget* w : refreshedControls()) {
        if (qobject_cast<QAbstractButton*>(w))
            QMetaObject::invokeMethod(w, "toggled", Q_ARG(bool, valueOf(w)));
        else
            QMetaObject::invokeMethod(w, "valueChanged", Q_ARG(int, valueOf(w)));
    }
    return sent() == before &&
           grassDialog()->ComboBox_SizeTexture2D5->currentIndex() == theDriver->grassTextureSizeIndex();
}

// Acts on the next modal window of its kind to open (a file dialog, a message
// box), as a person would. Gives up when the driver goes.
template <class Window>
void onNext(std::function<void(Window*)> act)
{
    auto* poll = new QTimer(theDriver);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto* modal = qobject_cast<Window*>(QApplication::activeModalWidget()); modal && modal->isVisible()) {
            poll->deleteLater();
            poll->stop();
            act(modal);
        }
    });
    poll->start(20);
}

class DialogsTest : public testing::Test {
protected:
    void SetUp() override
    {
        openProgramWindows(780, 580, 1);
        QApplication::exec();
    }
    void TearDown() override { closeProgram(); }
};

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

// A person at the real windows: types over a field and presses Return in
// every field, reads tooltips, saves the scene into a folder of their own and
// loads it back, is told why a load and a save failed, brings a closed dialog
// back with D and closes the viewer.
TEST_F(DialogsTest, APersonTypesSavesAnywhereLoadsBackAndClosesTheViewer)
{
    QSpinBox* number = treesDialog()->SpinBox_TreesNumber;
    number->setValue(9);
    QSignalSpy typed(number, qOverload<int>(&QSpinBox::valueChanged));
    number->selectAll();
    QTest::keyClicks(number, "20");
    QTest::keyClick(number, Qt::Key_Return);
    // 20 reaches the slot once: no pass through 2, which keeps only two trees.
    EXPECT_EQ(typed.count(), 1);
    EXPECT_EQ(getTrees().size(), 20u);

    // Return in any field presses no button: no file dialog, no tree panel.
    int opened = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) ++opened, modal->close();
    });
    closer.start(20);
    for (QDialog* d : dialogs())
        for (QSpinBox* box : d->findChildren<QSpinBox*>()) QTest::keyClick(box, Qt::Key_Return);
    closer.stop();
    EXPECT_EQ(opened, 0);
    EXPECT_FALSE(treesDialog()->PushButton_ShowInterface->isChecked());

    for (QWidget* w : refreshedControls())
        EXPECT_TRUE(w->toolTip().contains(": ") || qobject_cast<QPushButton*>(w)) << w->objectName().toStdString();
    sceneDialog()->Slider_RockSize->setValue(250);  // × 0.01 m
    grassDialog()->Slider_GrassWidth->setValue(150);  // × 0.0001 m
    EXPECT_EQ(sceneDialog()->Slider_RockSize->toolTip() + grassDialog()->Slider_GrassWidth->toolTip(),
              "Rock size: 2.50 mBlade width: 0.0150 m");

    // Clicks `button`, then in its file dialog goes to the folder, types `name`
    // and presses Return; a message box that follows is read and closed.
    QTemporaryDir folder;
    QString told;
    const auto choose = [&](QPushButton* button, const QString& name) {
        onNext<QFileDialog>([&](QFileDialog* dialog) {
            dialog->setDirectory(folder.path());
            QTest::keyClicks(dialog->findChild<QLineEdit*>("fileNameEdit"), name);
            QTest::keyClick(dialog->findChild<QLineEdit*>("fileNameEdit"), Qt::Key_Return);
        });
        onNext<QMessageBox>([&](QMessageBox* box) { told = box->text(), box->close(); });
        QTest::mouseClick(button, Qt::LeftButton);
    };
    choose(sceneDialog()->PushButton_SaveScene, "mine");
    sceneDialog()->Slider_RockSize->setValue(50);
    choose(sceneDialog()->PushButton_LoadScene, "mine.xml");
    // The scene saved outside Scene/ loads back.
    EXPECT_EQ(sceneDialog()->Slider_RockSize->value(), 250);

    theDriver->failuresInWindow = true;
    std::ofstream(folder.filePath("broken.xml").toStdString()) << "<scene>";
    choose(sceneDialog()->PushButton_LoadScene, "broken.xml");
    EXPECT_THAT(told.toStdString(), testing::AllOf(testing::HasSubstr("broken.xml"), testing::HasSubstr("parser error")));
    // A link into a folder that is gone: the save cannot make its file there.
    ASSERT_TRUE(QFile::link(folder.filePath("gone/lost.xml"), folder.filePath("lost.xml")));
    choose(sceneDialog()->PushButton_SaveScene, "lost.xml");
    EXPECT_THAT(told.toStdString(), testing::AllOf(testing::HasSubstr("lost.xml"), testing::HasSubstr("No such file")));

    treesDialog()->close();
    QTest::keyClick(theViewer, Qt::Key_D);
    for (QDialog* d : dialogs()) EXPECT_TRUE(d->isVisible()) << d->windowTitle().toStdString();
    // With no window left open the program's event loop ends.
    theViewer->close();
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->windowTitle().toStdString() << " stays open";
}

TEST_F(DialogsTest, DialogsStandWhereAndAsTitledAndGoCleanly)
{
    const QPoint places[] = {{20, 20}, {250, 20}, {20, 600}, {785, 20}, {485, 20}};
    const char* titles[] = {"Scene", "Grass", "Trees", "Ground", "Wind"};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(dialogs()[k]->pos(), places[k]) << titles[k];
        EXPECT_EQ(dialogs()[k]->windowTitle().toStdString(), titles[k]);
        EXPECT_TRUE(dialogs()[k]->isVisible()) << titles[k];
    }
    EXPECT_FALSE(sceneDialog()->CheckBox_VisuTrajectory->isEnabled());

    deleteDialogs();
    for (QDialog* d : dialogs()) EXPECT_EQ(d, nullptr);
    theDriver->loadQTInterface();  // a refresh with the dialogs gone touches nothing
}

// Scene files with hostile numbers, run one after another as the program
// runs them (each in a folder without the document type, as a person's own).
TEST(HostileScene, RunsFiniteFastAndTheDialogsShowWhatTheSceneHolds)
{
    openProgramWindows(320, 240, INT_MAX);
    drawFrames(1);

    QTemporaryDir folder;
    for (const char* name : {"scene", "huge", "refused_camera", "sparse_texture", "negative"}) {
        SCOPED_TRACE(name);
        const QString file = folder.filePath(QStringLiteral("hostile_%1.xml").arg(name));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VELMORA_SOURCE_DIR "/tests/dialogs/hostile_%1.xml").arg(name), file));
        const double start = util::ProcessTime::now().cpu;  // the process's own time, whatever else runs
        std::string reason;
        EXPECT_TRUE(loadSceneFile(file.toLocal8Bit().constData(), &reason)) << reason;
        theDriver->loadQTInterface();
        drawFrames(1);  // the textures are built here
        EXPECT_LT(util::ProcessTime::now().cpu - start, 5000) << "milliseconds to load and draw the first frame";
        EXPECT_LE(theViewer->camera()->position().norm(), 2e6);
        // As a hand-edited viewer state file could set it: the modules still get a bounded camera.
        if (std::strcmp(name, "negative") == 0) theViewer->camera()->setPosition(qglviewer::Vec(1e38, -1e38, 3.4e38));

        theDriver->addWindGust();
        theDriver->addWindBlast();
        drawFrames(200);
        ASSERT_TRUE(scene::switches().animation);
        const god_of_gusts& d = windDirector();
        EXPECT_EQ(d.not_born().size() + d.alive().size() + d.dead().size(), 2u);
        windDirector().delete_all_primitives();

        // The first value that is not finite ends the test.
        const GrassField& grass = scene::grassField();
        for (int i = 0; i <= grass.getPatchesX(); ++i)
            for (int j = 0; j <= grass.getPatchesY(); ++j) {
                const GrassNode& n = grass.node(i, j);
                ASSERT_TRUE(finite(n.skeleton)) << "node " << i << ", " << j;
                ASSERT_TRUE(finite({n.windWeight, n.windX, n.windY, n.height, n.currentHeight, n.distance}))
                    << "(wind weight, x, y, height, current height, distance) of node " << i << ", " << j;
            }
        for (int i = 0; i < grass.crushPointsX(); ++i)
            for (int j = 0; j < grass.crushPointsY(); ++j) {
                const CrushPoint& c = grass.crushPoint(i, j);
                ASSERT_TRUE(finite(c.skeleton)) << "crush point " << i << ", " << j;
                ASSERT_TRUE(finite({c.z, c.dirX, c.dirY, c.totalTime, c.remainingTime, c.initialAmount, c.amount}))
                    << "(z, direction, times, amounts) of crush point " << i << ", " << j;
            }
        float power, dx, dy;
        windGetInfluence(5, 5, 0, 0, 0, power, dx, dy);
        EXPECT_TRUE(finite({power, dx, dy})) << "(power, dx, dy) of the wind";
        EXPECT_TRUE(treesFinite());
        const rock::RockState& r = rock::state();
        const RockRecord& record = rock::record();
        EXPECT_TRUE(finite({r.rockPosition[0], r.rockPosition[1], r.rockPosition[2], r.rockVelocity[0],
                            r.rockVelocity[1], r.rollAngle, r.verticalSpeed, float(r.autoClock), r.rockSpeed,
                            r.rockSize}))
            << "(position, velocity, roll angle, vertical speed, clock, speed, size) of the rock";
        EXPECT_TRUE(finite({record.crushingPower, record.crushingPowerExp, record.crushingMysteryParameter,
                            record.crushingPropagation, record.previousPosition[0], record.previousPosition[1],
                            record.previousPosition[2], record.currentPosition[0], record.currentPosition[1],
                            record.currentPosition[2]}))
            << "(power, exponent, mystery parameter, propagation, previous and current position) of the rock's record";
        EXPECT_TRUE(dialogsAgreeWithTheScene());
    }
    closeProgram();
}

// A person's session in one cycle: the keys, every control through its
// range, every button, a scene and a tree file saved and read back, with the
// GL state sound after each action. `make soak` repeats the cycle for
// VELMORA_SOAK_SECONDS and watches that memory stays flat.
class Session : public testing::Test {
protected:
    // Gusts, blasts, the rock steered and the display keys, each twice, with
    // the animation back on (a control may have stopped it).
    static void keys()
    {
        if (!scene::switches().animation) sceneDialog()->PushButton_Start->click();
        for (int key : {Qt::Key_W, Qt::Key_B, Qt::Key_Up, Qt::Key_Left, Qt::Key_Down, Qt::Key_Right, Qt::Key_F1,
                        Qt::Key_F5, Qt::Key_F6, Qt::Key_F9, Qt::Key_F10, Qt::Key_Return})
            for (int twice = 0; twice < 2; ++twice) {
                QTest::keyClick(theViewer, Qt::Key(key));
                SCOPED_TRACE(key);
                EXPECT_EQ(sceneDialog()->PushButton_Start->isChecked(), scene::switches().animation);
                drawFrames(2);
            }
        EXPECT_TRUE(treesFinite());
    }

    // Every control to its minimum, its maximum, a random value and back;
    // lists through their entries; buttons clicked (checkable ones twice).
    static void sweep(QDialog* dialog, std::mt19937& random)
    {
        for (QWidget* w : dialog->findChildren<QWidget*>()) {
            if (!qobject_cast<QAbstractSlider*>(w) && !qobject_cast<QSpinBox*>(w)) continue;
            const int low = w->property("minimum").toInt(), high = w->property("maximum").toInt(), back = valueOf(w);
            SCOPED_TRACE(w->objectName().toStdString());
            for (int v : {low, high, std::uniform_int_distribution<int>(low, high)(random), back}) {
                w->setProperty("value", v);
                drawFrames(1);
            }
        }
        for (QComboBox* list : dialog->findChildren<QComboBox*>()) {
            const int original = list->currentIndex();
            for (int i = 0; i < list->count(); ++i) {
                list->setCurrentIndex(i);
                drawFrames(1);
            }
            list->setCurrentIndex(original);
        }
        for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
            for (int k = 0; k < (button->isCheckable() ? 2 : 1); ++k) {
                SCOPED_TRACE(button->objectName().toStdString());
                button->click();
                drawFrames(1);
            }
        keys();
    }
};

// Resident memory of this process, megabytes.
double residentMegabytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

TEST_F(Session, EveryActionLeavesTheGLStateSound)
{
    QTemporaryDir folder;
    // Scenes are loaded beside their document type.
    ASSERT_TRUE(QFile::copy("Scene/sceneVelmora.dtd", folder.filePath("sceneVelmora.dtd")));
    const std::string scene = folder.filePath("session.xml").toStdString();
    const std::string trees = folder.filePath("session.arb").toStdString();
    const char* seconds = std::getenv("VELMORA_SOAK_SECONDS");
    const double duration = seconds ? std::atof(seconds) : 0.0;
    openProgramWindows(320, 240, INT_MAX);
    // The file dialogs the buttons open are cancelled; a message box (say,
    // "file not found") fails the run.
    QTimer modalCloser;
    QObject::connect(&modalCloser, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            ADD_FAILURE() << "unexpected message box: " << box->text().toStdString();
            box->done(0);
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            dialog->reject();
        }
    });
    modalCloser.start(30);
    ASSERT_EQ(refreshedControls().size(), 45);
    std::mt19937 random(20240607);
    QElapsedTimer clock;
    clock.start();
    // Caches, textures and the allocator warm up for a minute or more on a
    // busy machine, so memory is measured in long runs only, after that.
    double baseline = -1;
    int cycles = 0;
    do {
        keys();
        ASSERT_TRUE(saveTreeParameters(treeParameters(), trees));
        loadArb(trees);
        ASSERT_TRUE(saveSceneFile(scene.c_str()));
        EXPECT_TRUE(loadSceneFile(scene.c_str()));
        theDriver->loadQTInterface();
        for (QDialog* dialog : dialogs()) sweep(dialog, random);
        ++cycles;
        const double now = residentMegabytes();
        if (baseline < 0 && duration > 0 && clock.elapsed() >= std::min(60000.0, duration * 1000 / 2)) baseline = now;
#if !defined(__SANITIZE_ADDRESS__)
        // The address checker's quarantine grows by design; it finds leaks itself.
        // The slack is the allocator's own bookkeeping between two cycle ends.
        if (baseline >= 0) {
            EXPECT_LE(now, baseline + 32.0) << "memory grows, cycle " << cycles;
        }
#endif
    } while (!testing::Test::HasFailure() && clock.elapsed() < duration * 1000);
    modalCloser.stop();
    closeProgram();
}

} // namespace
