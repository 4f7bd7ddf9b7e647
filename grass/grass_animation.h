#pragma once
/// Blade motion: the cubic Hermite curve of a skeleton, the wind bend of a
/// node from one wind sample, and the blend of a crushed pose into a skeleton.
#include "grass/grass_field.h"

/// The four cubic Hermite basis values at t.
struct HermiteBasis {
    float h00, h10, h01, h11;
};

/// h00 = (2t-3)t^2+1, h10 = ((t-2)t+1)t, h01 = (3-2t)t^2, h11 = (t-1)t^2.
HermiteBasis hermiteBasis(float t);

/// Point Y(t) of the skeleton's curve, t in [0, 1], into `out`.
void skeletonPoint(const BladeSkeleton& skeleton, float t, float out[3]);

/// Bends `skeleton` (base P0 kept) for a blade of height `height` under the
/// bend vector (wx, wy); its length is the bend amount, used unclamped.
void bendSkeleton(BladeSkeleton& skeleton, float height, float wx, float wy);

/// Samples the wind at the node's ground point, stores windWeight, windX and
/// windY, and rebuilds the node's skeleton from them. Called by the view
/// update for each node near the view.
void windSkeleton(GrassNode& node);

/// Blends the pose of a blade lying along `direction` (dx, dy) into
/// `skeleton`, with weight `amount` against the wind's `weight`. A zero
/// direction or a zero amount leaves the skeleton as it is.
void crushSkeleton(BladeSkeleton& skeleton, float weight, const float direction[2], float amount, float height);
