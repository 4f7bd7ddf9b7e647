// What a frame costs on this renderer before anything is drawn: a clear and a
// swap, once through a widget that renders into its own framebuffer and is
// then composed into the window (as the viewer's widget is), and once straight
// into a window (as the floor program draws).
//
//   compose_frame widget|window [FRAMES]
//
// prints "compose: widget|window, frames N, median X ms".
#include <QApplication>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QOpenGLWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frame_times.h"

namespace {

// The same frame for both: a clear of colour and depth, and the next frame asked for.
template <class Base>
class ClearOnly : public Base, protected QOpenGLFunctions {
public:
    explicit ClearOnly(bench::FrameTimes& times) : times(times) {}

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
    bench::FrameTimes& times;
};

} // namespace

int main(int argc, char** argv)
{
    const bool widget = argc > 1 && std::strcmp(argv[1], "widget") == 0;
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 300;
    bench::useViewerSurface();
    QApplication app(argc, argv);
    bench::FrameTimes times(frames);
    if (widget)
        bench::showAndRun<ClearOnly<QOpenGLWidget>>(times);
    else
        bench::showAndRun<ClearOnly<QOpenGLWindow>>(times);
    std::printf("compose: %s, frames %d, median %.2f ms\n", widget ? "widget" : "window", frames, times.median());
    return 0;
}
