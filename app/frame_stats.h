#pragma once
/// Frame-time statistics for the --benchmark line.
#include <string>
#include <vector>

/// Collects one sample per drawn frame and summarises them, leaving out the
/// first frames, which carry start-up work (display lists, textures).
class FrameStats {
public:
    /// Frames left out at the start.
    static constexpr int WARM_UP_FRAMES = 10;

    /// One drawn frame: its duration in milliseconds and the scene's polygon
    /// count. An untimed frame only counts as drawn.
    void addFrame(double milliseconds, int polygons, bool timed = true);
    /// Frames drawn so far, warm-up included.
    int framesDrawn() const { return framesDrawn_; }
    /// "benchmark: frames N, median X ms, p95 Y ms, mean polygons Z" (counted frames only).
    std::string summary() const;

private:
    int framesDrawn_ = 0;
    std::vector<double> times_;
    double polygonSum_ = 0.0;
};
