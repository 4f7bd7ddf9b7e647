#pragma once
/// Where a frame's time goes: wall and CPU time, triangles sent and fragments
/// that passed the depth test, per part of the frame, summed over the frames
/// that were measured part by part (--benchmark measures some of them).
#include "util/frame_clock.h"
#include <string>

/// The parts of a frame, in drawing order. `Fixed` is what any frame costs:
/// the clear, and the widget's copy of the frame to the window and the swap.
enum class FramePart { Sky, Ground, Rock, ForestGrowth, ForestMesh, ForestDrawing, GrassView, GrassDrawing, Overlays, Fixed, Count };

class FrameProfile {
public:
    /// Adds one measurement of `part` to the current frame.
    void add(FramePart part, double wallMs, double cpuMs, long triangles = 0, long fragments = 0);
    /// Adds the time from `start` to now.
    void addSince(FramePart part, const util::ProcessTime& start, long triangles = 0, long fragments = 0);
    /// Closes the current frame.
    void endFrame() { ++frames_; }
    int frames() const { return frames_; }
    /// Triangles per frame, all parts.
    double triangles() const;
    /// Fragments per frame that passed the depth test, in screens of `pixels`.
    double screens(int pixels) const;
    /// Lines starting with "benchmark:": the totals, then one line per part
    /// with its mean wall and CPU milliseconds and triangles per frame.
    std::string summary(int pixels) const;

private:
    struct Cost {
        double wall = 0, cpu = 0;
        double triangles = 0, fragments = 0;
    };
    Cost parts_[static_cast<int>(FramePart::Count)];
    int frames_ = 0;
};
