#include "grass/grass_geometry.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "grass/grass_animation.h"
#include "grass/grass_drawing.h"
#include "util/random.h"

void RandomTable::fill()
{
    for (float& v : values) v = util::randomUnit();
    cursor = 0;
}

namespace {

// [SECTION] Skeleton arithmetic over all 14 floats

/// out += w · s.
void addScaled(BladeSkeleton& out, const BladeSkeleton& s, float w)
{
    for (int k = 0; k < 3; ++k) {
        out.P0[k] += w * s.P0[k];
        out.P1[k] += w * s.P1[k];
        out.T0[k] += w * s.T0[k];
        out.T1[k] += w * s.T1[k];
    }
    out.baseNormal += w * s.baseNormal;
    out.tipNormal += w * s.tipNormal;
}

BladeSkeleton mean(const BladeSkeleton& a, const BladeSkeleton& b)
{
    BladeSkeleton m{};
    addScaled(m, a, 0.5f);
    addScaled(m, b, 0.5f);
    return m;
}

/// Bilinear mix of four skeletons laid out as corners 0..3 of a cell. Done
/// once per blade: one pass over the 14 floats, summed corner 0 to 3.
BladeSkeleton bilinear(const BladeSkeleton& c0, const BladeSkeleton& c1, const BladeSkeleton& c2,
                       const BladeSkeleton& c3, float u, float v)
{
    const float w0 = (1 - u) * (1 - v), w1 = u * (1 - v), w2 = (1 - u) * v, w3 = u * v;
    auto mix = [&](float a, float b, float c, float d) { return w0 * a + w1 * b + w2 * c + w3 * d; };
    BladeSkeleton s;
    for (int k = 0; k < 3; ++k) {
        s.P0[k] = mix(c0.P0[k], c1.P0[k], c2.P0[k], c3.P0[k]);
        s.P1[k] = mix(c0.P1[k], c1.P1[k], c2.P1[k], c3.P1[k]);
        s.T0[k] = mix(c0.T0[k], c1.T0[k], c2.T0[k], c3.T0[k]);
        s.T1[k] = mix(c0.T1[k], c1.T1[k], c2.T1[k], c3.T1[k]);
    }
    s.baseNormal = mix(c0.baseNormal, c1.baseNormal, c2.baseNormal, c3.baseNormal);
    s.tipNormal = mix(c0.tipNormal, c1.tipNormal, c2.tipNormal, c3.tipNormal);
    return s;
}

float dot3(const float a[3], const float b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// [SECTION] Blades

/// The strip of one blade; `bend` < 0 selects the linear normal profile.
void bladeStrip(GeometrySink& sink, const BladeSkeleton& s, int segments, float sx, float sy, float row,
                float w0, float w1, float bend)
{
    sink.begin(GrassPrimitive::QuadStrip);
    float side[3] = {(w0 + w1) * sx, (w0 + w1) * sy, 0};
    float p[3];
    for (int k = 0; k < 3; ++k) p[k] = s.P0[k] - side[k];
    sink.vertex(s.baseNormal, 0, row, p);
    for (int k = 0; k < 3; ++k) p[k] = s.P0[k] + side[k];
    sink.vertex(s.baseNormal, 1, row, p);

    float previous[3] = {s.P0[0], s.P0[1], s.P0[2]};
    for (int step = 1; step <= segments; ++step) {
        const float t = float(step) / float(segments);
        float y[3];
        skeletonPoint(s, t, y);
        const float delta[3] = {y[0] - previous[0], y[1] - previous[1], y[2] - previous[2]};
        const float w = (1 - t * t) * w0 + w1;
        side[0] = w * sx;
        side[1] = w * sy;
        side[2] = 0;
        // A segment leaning more than 45° would show its edge to the camera:
        // tilt the width out of the ground plane, against the lean.
        if ((std::fabs(delta[0]) > delta[2] || std::fabs(delta[1]) > delta[2]) && w > 0) {
            const float proj = dot3(delta, side);
            const float q = std::fabs((side[0] + side[1]) * proj / (w * w));
            side[2] = proj <= 0 ? q : -q;
            const float length = std::sqrt(dot3(side, side));
            if (length > 0)
                for (float& c : side) c *= w / length;
        }
        float normal;
        if (bend < 0)
            normal = (1 - t) * s.baseNormal + t * s.tipNormal;
        else if (t < bend)
            normal = (1 - t / bend) * s.baseNormal + (t / bend) * s.tipNormal;
        else {
            const float u = (t - bend) / (1 - bend);
            normal = (1 - u) * s.tipNormal + u * ((1 - bend) * s.baseNormal + bend * s.tipNormal);
        }
        for (int k = 0; k < 3; ++k) p[k] = y[k] - side[k];
        sink.vertex(normal, 0, row, p);
        for (int k = 0; k < 3; ++k) p[k] = y[k] + side[k];
        sink.vertex(normal, 1, row, p);
        for (int k = 0; k < 3; ++k) previous[k] = y[k];
    }
    sink.end();
}

// [SECTION] Patches

/// A point along a crushed diagonal: its base, skeleton and normal heights.
struct RibbonPoint {
    float base[3];
    BladeSkeleton skeleton;
};

RibbonPoint crushPointAt(const CrushPoint& k) { return {{k.x, k.y, k.z}, k.skeleton}; }

RibbonPoint midway(const RibbonPoint& a, const RibbonPoint& b)
{
    RibbonPoint m;
    for (int k = 0; k < 3; ++k) m.base[k] = 0.5f * (a.base[k] + b.base[k]);
    m.skeleton = mean(a.skeleton, b.skeleton);
    return m;
}

/// Ribbon from a to b; `raise` lifts the tip to at least `top`.
void ribbonPiece(GeometrySink& sink, const RibbonPoint& a, const RibbonPoint& b, float sA, float sB,
                 int segments, bool raise, float top)
{
    BladeSkeleton s = ribbonSkeleton(a.skeleton, b.skeleton);
    if (raise && s.P1[2] <= top) s.P1[2] = top;
    drawRibbon(sink, a.base, b.base, s, a.skeleton.baseNormal, a.skeleton.tipNormal, b.skeleton.baseNormal,
               b.skeleton.tipNormal, sA, sB, segments);
}

/// The blades of a 3D patch; `slide` in [0, 1] moves them onto the diagonals.
int drawBlades3D(GrassField& field, GeometrySink& sink, GrassPatch& patch, int segments, float slide)
{
    RandomTable& table = field.drawing().randomTable;
    std::vector<float>& bladePairs = field.drawing().bladePairs;
    const int count = std::max(0, int(field.getSettings().bladesPerPatch * patch.density));
    table.setCursor(patch.randomIndex);
    bladePairs.resize(size_t(count) * 2);
    for (int b = 0; b < count; ++b) {
        float u = table.next();
        const float v = table.next();
        if (slide > 0)
            u = ((u >= 0.5f) == (v >= 0.5f)) ? (1 - slide) * u + slide * v : (1 - slide) * u + slide * (1 - v);
        bladePairs[2 * b] = u;
        bladePairs[2 * b + 1] = v;
    }
    const bool crushed = patchCrushed(patch);
    if (crushed) crushedSkeletons(patch);

    const float noise = field.getSettings().noisePositions;
    for (int b = 0; b < count; ++b) {
        const float u = bladePairs[2 * b], v = bladePairs[2 * b + 1];
        BladeSkeleton s;
        if (!crushed) {
            s = bilinear(patch.corners[0]->skeleton, patch.corners[1]->skeleton, patch.corners[2]->skeleton,
                         patch.corners[3]->skeleton, u, v);
        } else {
            const int a = u >= 0.5f, c = v >= 0.5f;
            CrushPoint* const* k = patch.crush;
            s = bilinear(k[a + 3 * c]->skeleton, k[a + 1 + 3 * c]->skeleton, k[a + 3 * (c + 1)]->skeleton,
                         k[a + 1 + 3 * (c + 1)]->skeleton, 2 * u - a, 2 * v - c);
        }
        if (noise > 0) {
            for (int axis = 0; axis < 3; ++axis) {
                const float e = (table.next() - 0.5f) * noise;
                s.P1[axis] += e;
                s.T1[axis] += e;
            }
        }
        drawBlade(field, sink, s, segments);
    }
    return 2 * segments * count;
}

} // namespace

void drawBlade(GrassField& field, GeometrySink& sink, const BladeSkeleton& skeleton, int segments)
{
    RandomTable& table = field.drawing().randomTable;
    const float row = table.next();
    const float w0 = table.next() * 0.02f + field.getSettings().grassWidth;
    const float w1 = table.next() * 0.01f;
    const float bend = table.next() * 0.69f + 0.3f;
    const GrassView& view = field.drawing().view;
    bladeStrip(sink, skeleton, segments, view.sideX, view.sideY, row, w0, w1, bend);
}

void drawBladeFixed(GrassField& field, GeometrySink& sink, const BladeSkeleton& skeleton, int segments,
                    float dx, float dy, float widthScale)
{
    RandomTable& table = field.drawing().randomTable;
    const float row = table.next();
    const float w0 = widthScale * (table.next() * 0.02f + field.getSettings().grassWidth);
    const float w1 = widthScale * 0.01f * table.next();
    bladeStrip(sink, skeleton, segments, dx, dy, row, w0, w1, -1);
}

void drawRibbon(GeometrySink& sink, const float a[3], const float b[3], const BladeSkeleton& s, float normalA0,
                float normalA1, float normalB0, float normalB1, float sA, float sB, int segments)
{
    const float shift[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    sink.begin(GrassPrimitive::QuadStrip);
    sink.vertex(normalA0, sA, 0, a);
    sink.vertex(normalB0, sB, 0, b);
    for (int step = 1; step <= segments; ++step) {
        const float t = float(step) / float(segments);
        float y[3];
        skeletonPoint(s, t, y);
        sink.vertex((1 - t) * normalA0 + t * normalA1, sA, t, y);
        for (int k = 0; k < 3; ++k) y[k] += shift[k];
        sink.vertex((1 - t) * normalB0 + t * normalB1, sB, t, y);
    }
    sink.end();
}

void drawPatch2D(GrassField& field, GeometrySink& sink, const GrassPatch& patch)
{
    RandomTable& table = field.drawing().randomTable;
    table.setCursor(patch.randomIndex);
    const float r = table.next() * 0.0625f;
    const float s0 = patch.density - 0.25f + r, s1 = patch.density - r;
    auto corner = [&](int c, float s, float t) {
        const GrassNode& n = *patch.corners[c];
        const float p[3] = {n.x, n.y, n.maxGroundZ};
        sink.vertex(0.65f * n.skeleton.tipNormal + 0.35f * n.skeleton.baseNormal, s, t, p);
    };
    sink.begin(GrassPrimitive::Quads);
    corner(0, s0, 0);
    corner(1, s1, 0);
    corner(3, s1, 1);
    corner(2, s0, 1);
    sink.end();
}

int drawPatch2D5(GrassField& field, GeometrySink& sink, GrassPatch& patch, int segments)
{
    RandomTable& table = field.drawing().randomTable;
    table.setCursor(patch.randomIndex);
    const float r = table.next() * 0.0625f;
    const float d = patch.density;

    // Seen from above, ribbons would show as thin lines: raise their tips
    // towards the line of sight, the more so the nearer the patch.
    const bool raise = field.getSettings().ajustmentHeight2D5;
    float top = 0;
    if (raise) {
        float dMin = patch.corners[0]->distance, dMax = dMin, zMin = patch.corners[0]->z, zMax = zMin;
        for (const GrassNode* c : patch.corners) {
            dMin = std::min(dMin, c->distance);
            dMax = std::max(dMax, c->distance);
            zMin = std::min(zMin, c->z);
            zMax = std::max(zMax, c->z);
        }
        const float camZ = field.drawing().view.camZ;
        top = camZ + (dMax > 0 ? dMin / dMax : 1.0f) * (zMax + 0.1f * (zMax - zMin) - camZ);
    }

    if (!patchCrushed(patch)) {
        auto corner = [&](int c) {
            const GrassNode& n = *patch.corners[c];
            return RibbonPoint{{n.x, n.y, n.z}, n.skeleton};
        };
        ribbonPiece(sink, corner(0), corner(3), d - 0.25f + r, d - r, segments, raise, top);
        ribbonPiece(sink, corner(1), corner(2), d - 0.25f + r, d - r, segments, raise, top);
        return 4 * segments;
    }

    crushedSkeletons(patch);
    RibbonPoint k[9];
    for (int i = 0; i < 9; ++i) k[i] = crushPointAt(*patch.crush[i]);
    const float s[5] = {d - 0.25f + r, d - 0.1875f + r / 2, d - 0.125f, d - 0.0625f - r / 2, d - r};
    const RibbonPoint diagonals[2][5] = {
        {k[0], midway(k[1], k[3]), k[4], midway(k[5], k[7]), k[8]},
        {k[2], midway(k[1], k[5]), k[4], midway(k[3], k[7]), k[6]},
    };
    for (const auto& points : diagonals)
        for (int piece = 0; piece < 4; ++piece)
            ribbonPiece(sink, points[piece], points[piece + 1], s[piece], s[piece + 1], segments, raise, top);
    return 16 * segments;
}

int drawPatch3D(GrassField& field, GeometrySink& sink, GrassPatch& patch, int segments)
{
    return drawBlades3D(field, sink, patch, segments, 0);
}

int drawPatch3DFar(GrassField& field, GeometrySink& sink, GrassPatch& patch, int segments)
{
    const GrassSettings& g = field.getSettings();
    const float span = g.distance3D - g.distance3DNear;
    // No patch reaches this level with distance3D = 0; the guard keeps f finite.
    const float slide = span > 0 ? std::clamp((patch.distance - g.distance3DNear) / span, 0.0f, 1.0f) : 0.0f;
    return drawBlades3D(field, sink, patch, segments, slide);
}

bool patchCrushed(const GrassPatch& patch)
{
    for (const CrushPoint* k : patch.crush)
        if (k && k->crushed) return true;
    return false;
}

void crushedSkeletons(GrassPatch& patch)
{
    struct Pose {
        BladeSkeleton skeleton;
        float weight, height;
    };
    auto from = [](const GrassNode* n) { return Pose{n->skeleton, n->windWeight, n->height}; };
    auto average = [](std::initializer_list<Pose> poses) {
        Pose m{BladeSkeleton{}, 0, 0};
        const float w = 1.0f / float(poses.size());
        for (const Pose& p : poses) {
            addScaled(m.skeleton, p.skeleton, w);
            m.weight += w * p.weight;
            m.height += w * p.height;
        }
        return m;
    };
    const Pose c0 = from(patch.corners[0]), c1 = from(patch.corners[1]);
    const Pose c2 = from(patch.corners[2]), c3 = from(patch.corners[3]);
    const Pose poses[9] = {c0, average({c0, c1}), c1, average({c0, c2}), average({c0, c1, c2, c3}),
                           average({c1, c3}), c2, average({c2, c3}), c3};
    for (int i = 0; i < 9; ++i) {
        CrushPoint& k = *patch.crush[i];
        k.skeleton = poses[i].skeleton;
        const float direction[2] = {k.dirX, k.dirY};
        crushSkeleton(k.skeleton, poses[i].weight, direction, k.amount, poses[i].height);
    }
}

BladeSkeleton ribbonSkeleton(const BladeSkeleton& s1, const BladeSkeleton& s2)
{
    BladeSkeleton r = mean(s1, s2);
    for (int k = 0; k < 3; ++k) {
        r.P0[k] = s1.P0[k];
        r.P1[k] = s1.P0[k] + 0.5f * (s1.P1[k] - s1.P0[k]) + 0.5f * (s2.P1[k] - s2.P0[k]);
    }
    return r;
}
