#include "app/dialogs/dialogs.h"
#include "app/driver.h"
#include "app/options.h"
#include "app/program.h"
#include "app/viewer.h"
#include <GL/freeglut.h>
#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <string>
#include <thread>

/// Settings for the software renderer, made before any GL context exists.
static void prepareRenderer()
{
    // One raster thread per core, unless the user chose otherwise.
    if (const unsigned cores = std::thread::hardware_concurrency(); cores > 0)
        setenv("LP_NUM_THREADS", std::to_string(cores).c_str(), 0);
    // The renderer allocates large buffers every frame. Under memory pressure
    // glibc would hand them back to the system and map them again each time,
    // paying page faults on every frame.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
}

int main(int argc, char** argv)
{
    prepareRenderer();
    // freeglut stops the program at its first call unless initialised.
    glutInit(&argc, argv);

    QApplication* application = new QApplication(argc, argv);
    // Qt adopts the user's locale; scene and tree files need a decimal point.
    std::setlocale(LC_NUMERIC, "C");

    Options options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "velmora: %s\n%s\n", error.c_str(), optionsUsage());
        delete application;
        return 2;
    }

    setDefaultGLFormat(!options.benchmark);
    theViewer = new Viewer();
    theViewer->setSamples(options.samples);
    if (options.frames > 0) theViewer->stopAfterFrames(options.frames, QString::fromLocal8Bit(options.snapshot.c_str()));
    theViewer->recorder().recordRun(options.video, options.record, options.frames);
    if (options.orbit) theViewer->orbitOverRun();
    if (options.walk) theViewer->walkOverRun();
    theViewer->shiftPicture(options.jitter[0], options.jitter[1]);
    if (options.benchmark) theViewer->measureParts();
    theDriver = new MyVelmoraQTDriver();
    theDriver->startScene = options.scene;
    // Runs that stop by themselves, or have no screen, keep to the console.
    const QString platform = QGuiApplication::platformName();
    theDriver->failuresInWindow = options.frames == 0 && platform != "offscreen" && platform != "minimal";
    theDriver->startLook = options.look;

    assembleDialogs(theDriver);

    theViewer->move(485, 170);
    theViewer->resize(780, 580);
    theViewer->show();
    theViewer->setWindowTitle("velmora animee");

    int result = application->exec();
    if (!theViewer->recorder().finish()) result = 1;
    if (options.benchmark) {
        std::printf("%s\n", theViewer->frameStats().summary().c_str());
        std::printf("%s\n", theViewer->partProfile().summary(theViewer->width() * theViewer->height()).c_str());
    }
    if (!theViewer->snapshotSaved() || theDriver->startSceneFailed) result = 1;

    closeProgram();
    delete application;
    return result;
}
