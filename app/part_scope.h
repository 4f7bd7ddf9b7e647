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

private:
    FrameProfile* profile_;
    FramePart part_;
    int trianglesPerPrimitive_;
    util::ProcessTime start_;
};
