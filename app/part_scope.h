#pragma once
/// Measures one part of a frame into a FrameProfile, GL side. The renderer
/// queues its work, so the scope waits for it at both ends: the part's cost
/// then includes its rasterising. It also counts the triangles GL assembled
/// and the fragments that passed the depth test. With no profile it does nothing.
/// GL counts a quad as one primitive: a part that draws quads only says so
/// with two triangles per primitive.
#include "app/frame_profile.h"

class PartScope {
public:
    PartScope(FrameProfile* profile, FramePart part, int trianglesPerPrimitive = 1);
    ~PartScope();
    PartScope(const PartScope&) = delete;
    PartScope& operator=(const PartScope&) = delete;

    /// A share of this part's time that the drawing measured itself, counted
    /// as `sub` instead of this part.
    void moveOut(FramePart sub, double wallMs, double cpuMs);
    /// Triangles GL did not count (a quad in a part of other primitives).
    void addTriangles(long triangles) { extraTriangles_ += triangles; }

private:
    FrameProfile* profile_;
    FramePart part_;
    int trianglesPerPrimitive_;
    util::ProcessTime start_;
    double movedWall_ = 0, movedCpu_ = 0;
    long extraTriangles_ = 0;
};

/// Runs `draw` measured as `part`.
template <class Draw> void measurePart(FrameProfile* profile, FramePart part, Draw&& draw)
{
    PartScope scope(profile, part);
    draw();
}
