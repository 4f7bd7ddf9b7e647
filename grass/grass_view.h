#pragma once
/// Level of detail of the grass field, plain arithmetic: the camera as the
/// grass sees it, the per-frame culling and level choice (which also rebends
/// the blades near the view), the back-to-front patch order and the segment
/// counts. The GL forms and the draw passes are in grass/grass_draw.h.
#include <vector>

#include "grass/grass_field.h"

/// With the look, metres a node goes past a level boundary before it changes level.
constexpr float LEVEL_HYSTERESIS = 1.0f;
/// With the look, metres over which a coarser level's ribbons or blades fade in
/// before its boundary.
constexpr float LEVEL_BLEND_BAND = 8.0f;

/// Stores the camera position, the matrices (column order), their product
/// clip = projection × modelview, the six unnormalised frustum planes (right,
/// left, bottom, top, near, far) and the camera's side vector.
void setCameraMatrices(GrassView& view, const float position[3], const float modelview[16],
                       const float projection[16]);
/// Culls the nodes against the frustum, chooses node and patch levels from the
/// horizontal camera distance, and rebends the skeletons of the nodes near the
/// view from the wind. Nodes outside the widened frustum keep their state.
void updateViewMatrices(GrassField& field, const float position[3], const float modelview[16],
                        const float projection[16]);

/// Patch indices (i·patchesY + j) in back-to-front order for the side vector
/// (sideX, sideY): the far corner first, the faster index along the axis the
/// camera looks down more.
void patchDrawOrder(float sideX, float sideY, int patchesX, int patchesY, std::vector<int>& order);

/// Segments of a 2.5D ribbon at `distance`: polygons2D5 + 1 at distance3D,
/// falling towards 1 at distance2D5.
int ribbonSegments(const GrassSettings& settings, float distance);
/// Segments of a 3D blade at `distance`: polygons3D + 1 at the camera, down to
/// polygons2D5 + 1 at distance3D. Without `plusOne` (level colouring) one less.
int bladeSegments(const GrassSettings& settings, float distance, bool plusOne = true);
