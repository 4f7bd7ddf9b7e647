// What a frame costs on this renderer before anything is drawn: a clear and a
// swap, once through a widget that renders into its own framebuffer and is
// then composed into the window (as the viewer's widget is), and once straight
// into a window (as the floor program draws).
//
//   compose_frame widget|window [FRAMES]
//
// prints "compose: widget|window, frames N, median X ms".
#include "support/surface_format.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QOpenGLWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int WIDTH = 780, HEIGHT = 580;
constexpr int WARM_UP_FRAMES = 10;

// Times from one frame's start to the next one's, quitting after `frames`.
class FrameTimes {
public:
    FrameTimes(const char* name, int frames) : name(name), frames(frames) {}
    void frameStarts()
    {
        if (clock.isValid() && ++seen > WARM_UP_FRAMES) times.push_back(clock.nsecsElapsed() / 1e6);
        clock.restart();
        if (int(times.size()) < frames) return;
        std::nth_element(times.begin(), times.begin() + frames / 2, times.end());
        std::printf("compose: %s, frames %d, median %.2f ms\n", name, frames, times[frames / 2]);
        QCoreApplication::quit();
    }

private:
    const char* name;
    int frames, seen = 0;
    std::vector<double> times;
    QElapsedTimer clock;
};

// The same frame for both: a clear of colour and depth, and the next frame asked for.
template <class Base>
class ClearOnly : public Base, protected QOpenGLFunctions {
public:
    explicit ClearOnly(FrameTimes& times) : times(times) {}

protected:
    void initializeGL() override { initializeOpenGLFunctions(); }
    void paintGL() override
    {
        times.frameStarts();
        glClearColor(0.5f, 0.6f, 0.9f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        this->update();
    }

private:
    FrameTimes& times;
};

} // namespace

int main(int argc, char** argv)
{
    const bool widget = argc > 1 && std::strcmp(argv[1], "widget") == 0;
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 300;
    // A window's update otherwise waits for Qt's idle timer of 5 ms.
    qputenv("QT_QPA_UPDATE_IDLE_TIME", "0");
    QSurfaceFormat::setDefaultFormat(compatibilityFormat(false));
    QApplication app(argc, argv);
    FrameTimes times(widget ? "widget" : "window", frames);
    if (widget) {
        ClearOnly<QOpenGLWidget> view(times);
        view.resize(WIDTH, HEIGHT);
        view.show();
        return app.exec();
    }
    ClearOnly<QOpenGLWindow> view(times);
    view.resize(WIDTH, HEIGHT);
    view.show();
    return app.exec();
}
