#include "grass/grass_animation.h"

#include <cmath>

#include "wind/wind.h"

HermiteBasis hermiteBasis(float t)
{
    return {(2 * t - 3) * t * t + 1, ((t - 2) * t + 1) * t, (3 - 2 * t) * t * t, (t - 1) * t * t};
}

void skeletonPoint(const BladeSkeleton& s, float t, float out[3])
{
    const HermiteBasis h = hermiteBasis(t);
    for (int k = 0; k < 3; ++k) out[k] = h.h00 * s.P0[k] + h.h10 * s.T0[k] + h.h01 * s.P1[k] + h.h11 * s.T1[k];
}

void bendSkeleton(BladeSkeleton& s, float height, float wx, float wy)
{
    const float bend = std::sqrt(wx * wx + wy * wy);
    const HermiteBasis h = hermiteBasis(bend);
    // Horizontal reach of the tip: one part scales with the blade, one does not.
    const float reach = 0.8f * height * h.h01 + 2.8f * h.h10;
    if (bend != 0) {
        s.P1[0] = s.P0[0] + wx * reach / bend;
        s.P1[1] = s.P0[1] + wy * reach / bend;
    } else {
        s.P1[0] = s.P0[0];
        s.P1[1] = s.P0[1];
    }
    s.P1[2] = (s.P0[2] + height) * h.h00 + (s.P0[2] + 0.5f * height) * h.h01 - 0.6f * h.h11;
    s.T0[0] = 0;
    s.T0[1] = 0;
    s.T0[2] = height;
    s.T1[0] = wx;
    s.T1[1] = wy;
    s.T1[2] = 1 - bend;
    s.baseNormal = 0.3f;
    s.tipNormal = 0.4f * bend + 0.6f;
}

void windSkeleton(GrassNode& node)
{
    const float zero = 0;
    windGetInfluence(node.x, node.y, zero, zero, zero, node.windWeight, node.windX, node.windY);
    bendSkeleton(node.skeleton, node.currentHeight, node.windX, node.windY);
}

void crushSkeleton(BladeSkeleton& s, float weight, const float direction[2], float amount, float height)
{
    // hypot: a tiny direction must not underflow to a zero length and divide by it.
    const float length = std::hypot(direction[0], direction[1]);
    if (!(length > 0) || !std::isfinite(length)) return;
    const float w = weight / (amount + weight);
    // No wind and no amount (0/0), or amounts beyond float range: keep the wind pose.
    if (!std::isfinite(w)) return;
    const float u = 1 - w;
    const float dx = direction[0] / length;
    const float dy = direction[1] / length;

    s.P1[0] = w * s.P1[0] + u * (s.P0[0] + 0.92f * height * dx);
    s.P1[1] = w * s.P1[1] + u * (s.P0[1] + 0.92f * height * dy);
    s.P1[2] = w * s.P1[2] + u * s.P0[2];
    s.T0[0] = w * s.T0[0] + u * dx;
    s.T0[1] = w * s.T0[1] + u * dy;
    s.T0[2] = w * s.T0[2] + u * 0.8f * height;
    s.T1[0] = w * s.T1[0] + u * dx;
    s.T1[1] = w * s.T1[1] + u * dy;
    s.T1[2] = w * s.T1[2] - u * 0.5f;
    s.tipNormal = w * s.tipNormal + u;
    s.baseNormal = w * s.baseNormal + 0.6f * u;
}
