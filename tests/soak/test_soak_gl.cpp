// A scripted session on the whole program, as a user would play with it for
// hours: animation on, gusts and blasts, the rock steered, every dialog
// control moved through its range, scenes and tree files saved and loaded
// through the buttons, every display switch and key toggled. Each cycle of
// the script is the same, so memory measured at cycle ends must stay flat.
//
// The short run (two cycles) is part of the test suite; set
// VELMORA_SOAK_SECONDS to repeat the cycle for that long (make soak).
#include "app/dialogs/dialogs.h"
#include "app/dialogs/forms.h"
#include "app/driver.h"
#include "app/rock.h"
#include "app/scene_file.h"
#include "app/scene_state.h"
#include "app/viewer.h"
#include "forest/forest.h"
#include "forest/tree_parameters.h"
#include "grass/grass_field.h"
#include "tests/dialogs/program_windows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>

namespace fs = std::filesystem;

namespace {

// Resident memory of this process, megabytes.
double residentMegabytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

bool finite3(const float v[3]) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); }

bool skeletonFinite(const BladeSkeleton& s)
{
    return finite3(s.P0) && finite3(s.P1) && finite3(s.T0) && finite3(s.T1) && std::isfinite(s.baseNormal)
        && std::isfinite(s.tipNormal);
}

bool branchFinite(const Branch& b)
{
    const Vec3 tip = b.tip();
    if (!std::isfinite(b.diameter) || !std::isfinite(b.length) || !std::isfinite(tip.x) || !std::isfinite(tip.y)
        || !std::isfinite(tip.z))
        return false;
    for (int i = 0; i < b.childCount; ++i)
        if (!branchFinite(b.children[i])) return false;
    return true;
}

class Soak {
public:
    explicit Soak(const fs::path& scratch) : scratch(scratch), random(20240607)
    {
        openProgramWindows(320, 240, INT_MAX);  // never stops on its own
        // Scenes are loaded beside their document type.
        fs::copy_file("Scene/sceneVelmora.dtd", scratch / "sceneVelmora.dtd", fs::copy_options::overwrite_existing);
        answers = {
            {"PushButton_HeightMap", fs::absolute("GroundData/heightMap1.bmp")},
            {"PushButton_Texture", fs::absolute("GroundData/ground3.bmp")},
            {"PushButton_GrassDensity", fs::absolute("GrassData/densityMap1.bmp")},
            {"PushButton_Texture3D", fs::absolute("GrassData/grassBlade.tga")},
            {"PushButton_loadARB", scratch / "soak.arb"},
            {"PushButton_SaveScene", scratch / "soak.xml"},
            {"PushButton_LoadScene", scratch / "soak.xml"},
        };
        frames(1);
    }

    ~Soak()
    {
        closeWindows();
    }

    // One pass of the script.
    void cycle()
    {
        std::vector<QDialog*> dialogs = {sceneDialog(), grassDialog(), treesDialog(), groundDialog(), windDialog()};
        animate();
        keys();
        fileRoundTrips();
        for (QDialog* dialog : dialogs) {
            ASSERT_NE(dialog, nullptr);
            sweepControls(dialog);
            if (testing::Test::HasFatalFailure()) return;
        }
        keys();
        animate();
    }

    int failures = 0;

private:
    // Draws `n` frames, checking each; gives up when none comes for a minute.
    void frames(int n)
    {
        const int target = theViewer->frameStats().framesDrawn() + n;
        QElapsedTimer waited;
        waited.start();
        while (theViewer->frameStats().framesDrawn() < target) {
            const int before = theViewer->frameStats().framesDrawn();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (theViewer->frameStats().framesDrawn() != before) waited.restart();
            if (waited.elapsed() > 60000) {
                ADD_FAILURE() << "no frame drawn for a minute";
                return;
            }
            checkFrame();
        }
    }

    void checkFrame()
    {
        const GrassField& grass = scene::grassField();
        for (int i = 0; i <= grass.getPatchesX(); ++i)
            for (int j = 0; j <= grass.getPatchesY(); ++j)
                if (!skeletonFinite(grass.node(i, j).skeleton)) {
                    report("a grass blade is not finite at node " + std::to_string(i) + ", " + std::to_string(j));
                    return;
                }
        if (!finite3(rock::state().rockPosition)) report("the rock's position is not finite");
        theViewer->makeCurrent();
        const GLenum error = glGetError();
        theViewer->doneCurrent();
        if (error != GL_NO_ERROR) report("GL error " + std::to_string(error));
    }

    void checkTrees()
    {
        for (int i = 0; i < forestTreeCount(); ++i) {
            const Tree tree = growForestTree(i, 0.0);
            if (tree.trunk && !branchFinite(*tree.trunk)) {
                report("tree " + std::to_string(i) + " is not finite");
                return;
            }
        }
    }

    // Reports a fault once per kind of message, so a broken run stays readable.
    void report(const std::string& what)
    {
        ++failures;
        if (reported.insert(what.substr(0, 30)).second) ADD_FAILURE() << what << " (frame "
                                                                       << theViewer->frameStats().framesDrawn() << ")";
    }

    // The animation back on (a control may have stopped it), a few frames.
    void animate()
    {
        if (!scene::animation) sceneDialog()->PushButton_Start->click();
        frames(20);
        checkTrees();
    }

    void press(int key)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(theViewer, &event);
    }

    // Gusts, blasts, the rock steered and the viewer's display keys, each twice.
    void keys()
    {
        for (int key : {Qt::Key_W, Qt::Key_B, Qt::Key_Up, Qt::Key_Left, Qt::Key_Down, Qt::Key_Right, Qt::Key_F1,
                        Qt::Key_F5, Qt::Key_F6, Qt::Key_F9, Qt::Key_F10, Qt::Key_Return}) {
            press(key);
            frames(2);
            press(key);
            frames(2);
        }
        for (int i = 0; i < 10; ++i) {
            press(Qt::Key_W);
            press(Qt::Key_B);
            press(i % 2 ? Qt::Key_Left : Qt::Key_Up);
            frames(3);
        }
    }

    // A tree file and a scene written and read back, the files answered
    // through the file dialogs the buttons open.
    void fileRoundTrips()
    {
        ASSERT_TRUE(saveTreeParameters(treeParameters(), (scratch / "soak.arb").string()));
        click(treesDialog()->PushButton_loadARB);
        click(sceneDialog()->PushButton_SaveScene);
        ASSERT_TRUE(fs::exists(scratch / "soak.xml"));
        click(sceneDialog()->PushButton_LoadScene);
        frames(5);
    }

    // Clicks `button`, answering the file dialog it may open from `answers`
    // (an unexpected one is cancelled) by typing the full name into it, as a
    // user may. A message box (say, "file not found") fails the run.
    void click(QAbstractButton* button)
    {
        QTimer answer;
        const auto it = answers.find(button->objectName());
        const QString file = it == answers.end() ? QString() : QString::fromStdString(it->second.string());
        bool sent = false;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                report("unexpected message box: " + box->text().toStdString());
                box->done(0);
                return;
            }
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog || sent) return;
            sent = true;
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            if (file.isEmpty() || !name) {
                if (!name) report("a file dialog without its name field");
                dialog->reject();
                return;
            }
            name->setText(file);
            // Saving over the last round's file is the point: no question.
            dialog->setOption(QFileDialog::DontConfirmOverwrite);
            // Queued, so that this timer still runs while the dialog closes.
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        });
        answer.start(30);
        button->click();
        answer.stop();
        frames(2);
    }

    // Every control of `dialog` to its minimum, its maximum, a random value
    // and back, with frames between; switches and buttons clicked (checkable
    // ones twice).
    void sweepControls(QDialog* dialog)
    {
        std::printf("soak: %s controls, frame %d\n", qPrintable(dialog->objectName()),
                    theViewer->frameStats().framesDrawn());
        std::fflush(stdout);
        for (QAbstractSlider* slider : dialog->findChildren<QAbstractSlider*>()) {
            const int original = slider->value();
            for (int v : {slider->minimum(), slider->maximum(), pick(slider->minimum(), slider->maximum()), original}) {
                slider->setValue(v);
                frames(2);
            }
        }
        for (QSpinBox* box : dialog->findChildren<QSpinBox*>()) {
            const int original = box->value();
            for (int v : {box->minimum(), box->maximum(), pick(box->minimum(), box->maximum()), original}) {
                box->setValue(v);
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
        for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
            click(button);
            if (button->isCheckable()) click(button);
        }
        animate();
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

    fs::path scratch;
    std::mt19937 random;
    std::map<QString, fs::path> answers;
    std::set<std::string> reported;
};

// Slack for the allocator's own bookkeeping between two cycle ends.
constexpr double MEMORY_BOUND_MB = 32.0;

TEST(Soak, ScriptedSessionStaysSoundAndFlat)
{
    const fs::path scratch = fs::path(testing::TempDir()) / ("velmora-soak-" + std::to_string(getpid()));
    fs::create_directories(scratch);
    const char* seconds = std::getenv("VELMORA_SOAK_SECONDS");
    const double duration = seconds ? std::atof(seconds) : 0.0;
    {
        Soak soak(scratch);
        QElapsedTimer clock;
        clock.start();
        // The first cycle (and, in long runs, the first minute) warms up
        // caches, textures and the allocator; memory is measured after it.
        double baseline = -1;
        int cycles = 0;
        do {
            soak.cycle();
            ++cycles;
            if (testing::Test::HasFatalFailure()) break;
            const double now = residentMegabytes();
            if (baseline < 0 && clock.elapsed() >= std::min(60000.0, duration * 1000 / 2)) baseline = now;
            std::printf("soak: cycle %d, %lld s, frames %d, resident %.1f MB\n", cycles, clock.elapsed() / 1000,
                        theViewer->frameStats().framesDrawn(), now);
            std::fflush(stdout);
#if !defined(__SANITIZE_ADDRESS__)
            // The address checker's quarantine grows by design; it finds leaks itself.
            if (baseline >= 0) {
                EXPECT_LE(now, baseline + MEMORY_BOUND_MB) << "memory grows from cycle to cycle";
            }
#endif
        } while (clock.elapsed() < duration * 1000 || cycles < 2);
        EXPECT_EQ(soak.failures, 0);
    }
    fs::remove_all(scratch);
}

} // namespace
