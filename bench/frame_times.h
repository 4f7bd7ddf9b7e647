#pragma once
// Frame times of a Qt GL view that draws as fast as it can, for the frame
// benchmarks: from one frame's start to the next one's, so that a widget's
// composition into the window counts, the first frames left out.
#include "support/surface_format.h"
#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <vector>

namespace bench {

constexpr int WIDTH = 780, HEIGHT = 580;
constexpr int WARM_UP_FRAMES = 10;

/// The viewer's surface without the wait for the vertical retrace, nor for
/// Qt's idle timer of 5 ms. Call before the application is made.
inline void useViewerSurface()
{
    qputenv("QT_QPA_UPDATE_IDLE_TIME", "0");
    QSurfaceFormat::setDefaultFormat(compatibilityFormat(false));
}

/// Collects `frames` frame times after the warm-up, then quits the application.
class FrameTimes {
public:
    explicit FrameTimes(int frames) : frames_(frames) {}
    /// Call first thing in each frame.
    void frameStarts()
    {
        if (done()) return;  // a frame may come before the quit is handled
        if (clock_.isValid() && ++seen_ > WARM_UP_FRAMES) times_.push_back(double(clock_.nsecsElapsed()) / 1e6);
        clock_.restart();
        if (done()) QCoreApplication::quit();
    }
    bool done() const { return int(times_.size()) >= frames_; }
    double median()
    {
        std::sort(times_.begin(), times_.end());
        const size_t n = times_.size();
        return n % 2 ? times_[n / 2] : 0.5 * (times_[n / 2 - 1] + times_[n / 2]);
    }
    double p95()
    {
        std::sort(times_.begin(), times_.end());
        const size_t rank = size_t(std::ceil(0.95 * double(times_.size())));
        return times_[std::max<size_t>(rank, 1) - 1];
    }

private:
    int frames_, seen_ = 0;
    std::vector<double> times_;
    QElapsedTimer clock_;
};

/// Shows a view of the frame's size made from `arguments` and runs the event
/// loop until its frame times are collected.
template <class View, class... Arguments>
void showAndRun(Arguments&... arguments)
{
    View view(arguments...);
    view.resize(WIDTH, HEIGHT);
    view.show();
    QCoreApplication::exec();
}

} // namespace bench
