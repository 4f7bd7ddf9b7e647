#include "grass/grass_view.h"

#include <algorithm>
#include <cmath>

#include "grass/grass_animation.h"

void setCameraMatrices(GrassView& view, const float position[3], const float modelview[16],
                       const float projection[16])
{
    view.camX = position[0];
    view.camY = position[1];
    view.camZ = position[2];
    std::copy(modelview, modelview + 16, view.modelview);
    std::copy(projection, projection + 16, view.projection);
    // Column order: element (row r, column c) at [4c + r].
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += projection[4 * k + r] * modelview[4 * c + k];
            view.clip[4 * c + r] = sum;
        }
    // Each plane is the fourth row of clip plus or minus one of the first three.
    const float* m = view.clip;
    const int rows[6] = {0, 0, 1, 1, 2, 2};
    const float signs[6] = {-1, 1, 1, -1, 1, -1};  // right, left, bottom, top, near, far
    for (int p = 0; p < 6; ++p)
        for (int c = 0; c < 4; ++c) view.planes[p][c] = m[4 * c + 3] + signs[p] * m[4 * c + rows[p]];
    view.sideX = modelview[0];
    view.sideY = modelview[4];
}

void updateViewMatrices(GrassField& field, const float position[3], const float modelview[16],
                        const float projection[16])
{
    GrassView& view = field.view;
    const GrassSettings& g = field.settings;
    setCameraMatrices(view, position, modelview, projection);
    const float diag = std::sqrt(field.patchSizeX * field.patchSizeX + field.patchSizeY * field.patchSizeY);
    const float margin = view.look ? LEVEL_HYSTERESIS : 0.0f;

    for (int i = field.patchesX; i >= 0; --i) {
        for (int j = field.patchesY; j >= 0; --j) {
            GrassNode& n = field.node(i, j);
            if (!n.active) continue;
            float m = 0;
            for (const float* p : view.planes) m = std::min(m, p[0] * n.x + p[1] * n.y + p[2] * n.z + p[3]);
            // A node just outside the view still keeps its pose current, so a
            // patch turning into view shows fresh blades.
            if (diag + n.height > -m) {
                n.visible = 1;
                n.nearView = 1;
            } else if (2 * diag + n.height > -m) {
                n.visible = 0;
                n.nearView = 1;
            } else {
                n.visible = 0;
                n.nearView = 0;
            }
            if (!n.nearView) continue;
            n.distance = std::sqrt((view.camX - n.x) * (view.camX - n.x) + (view.camY - n.y) * (view.camY - n.y));
            // With the look a node crosses a level boundary only a margin past
            // it, so that a node on the boundary does not flip every frame.
            const auto within = [&n, margin](float boundary, int16_t level) {
                return n.distance < boundary + (n.lod >= level ? margin : -margin);
            };
            if (within(g.distance3D, LOD_3D)) {
                n.lod = LOD_3D;
                n.currentHeight = n.height;
            } else if (within(g.distance2D5, LOD_2D5)) {
                n.lod = LOD_2D5;
                n.currentHeight = n.height;
            } else if (within(g.distance2D, LOD_2D)) {
                n.lod = LOD_2D;
            } else {
                n.lod = LOD_NONE;
                continue;
            }
            windSkeleton(n);
        }
    }

    for (GrassPatch& p : field.patches) {
        if (!p.active) continue;
        bool seen = false;
        for (const GrassNode* c : p.corners) seen = seen || c->visible;
        if (!seen) {
            p.lod = LOD_NONE;
            continue;
        }
        int16_t lod = LOD_3D;
        for (const GrassNode* c : p.corners) lod = std::min(lod, c->lod);
        p.lod = lod;
        p.distance = std::max(p.corners[0]->distance, p.corners[3]->distance);
        if (p.lod == LOD_3D && p.distance > g.distance3DNear) p.lod = LOD_3D_FAR;
    }
}

void patchDrawOrder(float sideX, float sideY, int patchesX, int patchesY, std::vector<int>& order)
{
    order.clear();
    if (patchesX <= 0 || patchesY <= 0) return;
    order.reserve(size_t(patchesX) * size_t(patchesY));
    // Start at the patch farthest from the camera, whose right axis is (sideX, sideY).
    const int stepI = sideY > 0 ? 1 : -1;
    const int stepJ = sideX > 0 ? -1 : 1;
    const int startI = stepI > 0 ? 0 : patchesX - 1;
    const int startJ = stepJ > 0 ? 0 : patchesY - 1;
    const bool jFastest = std::fabs(sideX) <= std::fabs(sideY);
    const int fastCount = jFastest ? patchesY : patchesX;
    const int slowCount = jFastest ? patchesX : patchesY;
    for (int slow = 0; slow < slowCount; ++slow)
        for (int fast = 0; fast < fastCount; ++fast) {
            const int i = startI + stepI * (jFastest ? slow : fast);
            const int j = startJ + stepJ * (jFastest ? fast : slow);
            order.push_back(i * patchesY + j);
        }
}

int ribbonSegments(const GrassSettings& g, float distance)
{
    const int segments = int((1 - (distance - g.distance3D) * g.inverse2D5) * g.polygons2D5) + 1;
    return std::max(0, segments);
}

int bladeSegments(const GrassSettings& g, float distance, bool plusOne)
{
    const int segments = int((g.polygons3D - g.polygons2D5) * (1 - g.inverse3D * distance)) + g.polygons2D5;
    return std::max(0, segments + (plusOne ? 1 : 0));
}
