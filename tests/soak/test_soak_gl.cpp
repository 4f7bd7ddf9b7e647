// A scripted session on the whole program, as a user would play with it for
// hours: animation on, gusts and blasts, the rock steered, every dialog
// control moved through its range and every button clicked, scenes and tree
// files saved and loaded, every display key toggled. Each cycle of the script
// is the same, so memory measured at cycle ends must stay flat.
//
// Two cycles by default, for soundness only; VELMORA_SOAK_SECONDS repeats
// the cycle for that long and watches memory too (make soak).
#include "app/dialogs/forms.h"
#include "app/rock.h"
#include "app/scene_file.h"
#include "app/scene_state.h"
#include "forest/tree_parameters.h"
#include "tests/dialogs/program_windows.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QSpinBox>
#include <QTimer>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

// Resident memory of this process, megabytes.
double residentMegabytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Draws `n` frames, the GL state sound after them.
void frames(int n)
{
    drawFrames(n);
    theViewer->makeCurrent();
    const GLenum error = glGetError();
    theViewer->doneCurrent();
    ASSERT_EQ(error, GLenum(GL_NO_ERROR)) << "frame " << theViewer->frameStats().framesDrawn();
}

void press(int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(theViewer, &event);
}

// The animation back on (a control may have stopped it), then the keys: gusts,
// blasts, the rock steered and the viewer's display keys, each twice.
void animateWithKeys()
{
    if (!scene::switches().animation) sceneDialog()->PushButton_Start->click();
    for (int key : {Qt::Key_W, Qt::Key_B, Qt::Key_Up, Qt::Key_Left, Qt::Key_Down, Qt::Key_Right, Qt::Key_F1,
                    Qt::Key_F5, Qt::Key_F6, Qt::Key_F9, Qt::Key_F10, Qt::Key_Return})
        for (int twice = 0; twice < 2; ++twice) {
            press(key);
            frames(2);
        }
    // The grass, the rock and the trees stay finite.
    const GrassField& grass = scene::grassField();
    for (int i = 0; i <= grass.getPatchesX(); ++i)
        for (int j = 0; j <= grass.getPatchesY(); ++j)
            ASSERT_TRUE(finite(grass.node(i, j).skeleton)) << "grass node " << i << ", " << j;
    const float* p = rock::state().rockPosition;
    EXPECT_TRUE(finite({p[0], p[1], p[2]})) << "the rock's position";
    EXPECT_TRUE(treesFinite());
}

// Every control of `dialog` to its minimum, its maximum, a random value and
// back, with frames between; buttons clicked (checkable ones twice).
void sweepControls(QDialog* dialog, std::mt19937& random)
{
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (!qobject_cast<QAbstractSlider*>(w) && !qobject_cast<QSpinBox*>(w)) continue;
        const int low = w->property("minimum").toInt(), high = w->property("maximum").toInt();
        const int original = w->property("value").toInt();
        for (int v : {low, high, std::uniform_int_distribution<int>(low, high)(random), original}) {
            w->setProperty("value", v);
            frames(2);
        }
    }
    for (QComboBox* list : dialog->findChildren<QComboBox*>()) {
        const int original = list->currentIndex();
        for (int i = 0; i < list->count(); ++i) {
            list->setCurrentIndex(i);
            frames(2);
        }
        list->setCurrentIndex(original);
    }
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        for (int k = 0; k < (button->isCheckable() ? 2 : 1); ++k) {
            button->click();
            frames(2);
        }
    animateWithKeys();
}

TEST(Soak, ScriptedSessionStaysSoundAndFlat)
{
    const fs::path scratch = fs::path(testing::TempDir()) / ("velmora-soak-" + std::to_string(getpid()));
    fs::create_directories(scratch);
    // Scenes are loaded beside their document type.
    fs::copy_file("Scene/sceneVelmora.dtd", scratch / "sceneVelmora.dtd", fs::copy_options::overwrite_existing);
    const std::string scene = (scratch / "soak.xml").string(), trees = (scratch / "soak.arb").string();
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
    std::mt19937 random(20240607);
    QElapsedTimer clock;
    clock.start();
    // Caches, textures and the allocator warm up for a minute or more on a
    // busy machine, so memory is measured in long runs only, after that.
    double baseline = -1;
    int cycles = 0;
    do {
        animateWithKeys();
        // A tree file and a scene, with the pictures it names, written and read back.
        ASSERT_TRUE(saveTreeParameters(treeParameters(), trees));
        loadArb(trees);
        ASSERT_TRUE(saveSceneFile(scene.c_str()));
        EXPECT_TRUE(loadSceneFile(scene.c_str()));
        theDriver->loadQTInterface();
        for (QDialog* dialog : std::initializer_list<QDialog*>{sceneDialog(), grassDialog(), treesDialog(),
                                                               groundDialog(), windDialog()})
            sweepControls(dialog, random);
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
    } while (!testing::Test::HasFailure() && (clock.elapsed() < duration * 1000 || cycles < 2));
    modalCloser.stop();
    closeProgram();
    fs::remove_all(scratch);
}

} // namespace
