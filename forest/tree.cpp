#include "forest/tree.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float PI = 3.14159265358979f;
constexpr uint32_t K = 79764919u;
constexpr uint32_t A = 23u;

struct GrowthState {
    Branch pool[BRANCH_POOL_SIZE];
    int used = 0;
    Vec3 cameraPosition{0, 0, 0};
    Vec3 cameraDirection{0, 0, 1};
    TreeDetail detail;
    TreeCounters counters;
};

GrowthState& state()
{
    static GrowthState s;
    return s;
}

/// A block of `n` fresh records, or null when the pool cannot hold them.
Branch* allocate(int n)
{
    GrowthState& s = state();
    if (n <= 0 || n > BRANCH_POOL_SIZE - s.used) return nullptr;
    Branch* block = s.pool + s.used;
    for (int i = 0; i < n; ++i) {
        block[i] = Branch();
        block[i].serial = s.used + i;
    }
    s.used += n;
    return block;
}

/// Child count drawn from a curve, kept within what a pool could ever hold
/// (a file may ask for absurd counts, or NaN).
int childCountFrom(float sample)
{
    if (!(sample >= 1.0f)) return 0;
    return sample >= BRANCH_POOL_SIZE ? BRANCH_POOL_SIZE : static_cast<int>(sample);
}

/// Gives `b` its children block; when the pool is full it gets none.
void takeChildren(Branch& b, int count)
{
    b.children = allocate(count);
    b.childCount = b.children ? count : 0;
    for (int i = 0; i < b.childCount; ++i) b.children[i].parent = &b;
}

void growBranches(const TreeParameters& p, Branch& b, int level)
{
    const int n = b.childCount;
    if (n == 0) return;
    const uint32_t seed = p.seed;
    const float d0 = p.diameter;
    const float D = b.endDiameter;
    const float r = D / d0;
    const float t = 1.0f - r;
    Branch* kids = b.children;
    auto childIndex = [&](int i) { return static_cast<uint32_t>(((i + 4 * b.randomIndex()) * 3) % 65536); };

    // First pass: counts and diameters, child 0 kept the thickest.
    float sumSquares = 0.0f;
    for (int i = 0; i < n; ++i) {
        Branch& c = kids[i];
        const uint32_t id = childIndex(i);
        c.index = id;
        if (r >= 0.02f) takeChildren(c, childCountFrom(sampleCurve(p.branchCount, t, seed, id)));
        float d = sampleCurve(p.subBranchDiameter, t, seed, id + 1) * D;
        if (sumSquares + d * d > D * D) d = (0.1f + 0.2f * treeRandom(seed, id + 2)) * D;
        sumSquares += d * d;
        c.diameter = d;
        if (d > kids[0].diameter) {
            c.diameter = kids[0].diameter;
            kids[0].diameter = d;
        }
    }
    // The children's cross-sections add up to the parent's.
    if (sumSquares > 0.0f) {
        const float scale = std::sqrt(D * D / sumSquares);
        for (int i = 0; i < n; ++i) kids[i].diameter *= scale;
    }

    // Second pass: which children are worth growing, and where they point.
    float runningAzimuth = PI;
    TreeDetail& detail = state().detail;
    for (int i = 0; i < n; ++i) {
        Branch& c = kids[i];
        const uint32_t id = childIndex(i);
        const float d = c.diameter;
        const float rr = d / d0;
        uint32_t next = id + 10;
        if (n > 1) {
            float w = 0.0f;
            for (int j = 0; j < n; ++j) w += 1.0f - std::fabs(kids[j].diameter - d) / d0;
            runningAzimuth += (sampleCurve(p.angleNoise, t, seed, id + 10) * 0.5f + 1.0f) * 2.0f * PI / w;
            next = id + 11;
        }
        c.projectedSize = projectedSize(d, b.position);
        c.relativeDiameter = rr;
        c.level = level;
        if (!(c.projectedSize > detail.lodThreshold)) continue;

        c.index |= Branch::GROWN_BIT;
        ++state().counters.branches;
        c.endDiameter = c.childCount == 0 ? 0.0f : sampleCurve(p.branchCone, 1.0f - rr, seed, next++) * d;
        c.length = sampleCurve(p.branchLength, 1.0f - rr, seed, next++) * p.length;
        if (n == 1) {
            c.elevation = sampleCurve(p.angleNoise, t, seed, next++) * PI / 2.0f;
            c.azimuth = sampleCurve(p.angleNoise, t, seed, next++) * 2.0f * PI + runningAzimuth;
        } else {
            c.elevation = sampleCurve(p.angleNoise, t, seed, next++) * PI / 2.0f
                        + (1.0f - d / D) * p.maxAngle * PI / 2.0f;
            c.azimuth = runningAzimuth;
        }
        placeBranch(c, c.elevation, c.azimuth, p.gravity);
    }

    // Third pass.
    for (int i = 0; i < n; ++i)
        if (kids[i].grown()) growBranches(p, kids[i], level + 1);
}

} // namespace

TreeDetail& treeDetail() { return state().detail; }
TreeCounters& treeCounters() { return state().counters; }
int branchPoolUsed() { return state().used; }

void setTreeCamera(Vec3 position, Vec3 direction)
{
    state().cameraPosition = position;
    state().cameraDirection = normalized(direction);
}

uint32_t treeRandomBits(uint32_t seed, uint32_t c)
{
    const uint32_t s = seed * K;
    uint32_t u = (K * c) ^ (A * c + s);
    const uint32_t k = c % 32u;
    if (k != 0) u = (u << k) | (u >> (32u - k));
    return u;
}

float sampleCurve(const ParameterCurve& curve, float t, uint32_t seed, uint32_t c)
{
    const float a = curve.boundA(t);
    const float b = curve.boundB(t);
    return a + (b - a) * treeRandom(seed, c);
}

float projectedSize(float d, Vec3 from)
{
    const GrowthState& s = state();
    const Vec3 v = from - s.cameraPosition;
    const float along = dot(v, s.cameraDirection);
    if (along <= 0.0f) return 0.0f;
    const float distance = norm(v);
    const float c = along / distance;
    float size = s.detail.projectionFactor * d / distance;
    // Outside a central cone of view the size shrinks.
    if (c < 0.85f) size *= c / 0.85f;
    return size;
}

void placeBranch(Branch& q, float e, float a, float gravity)
{
    const Branch& p = *q.parent;
    const float ca = std::cos(a), sa = std::sin(a), ce = std::cos(e), se = std::sin(e);
    const Vec3 lx{ca, -sa, 0.0f};
    const Vec3 ly{sa * ce, ca * ce, -se};
    Vec3 lz{sa * se, ca * se, ce};
    const Vec3 up{p.axes[0].z, p.axes[1].z, p.axes[2].z};
    const float rr = q.relativeDiameter - 0.07f;
    const float g = 0.1f * gravity * 0.9649f / (rr * rr + 0.1f);
    lz = normalized(lz - up * g);
    auto toWorld = [&p](Vec3 l) { return p.axes[0] * l.x + p.axes[1] * l.y + p.axes[2] * l.z; };
    q.axes[0] = toWorld(lx);
    q.axes[1] = toWorld(ly);
    q.axes[2] = toWorld(lz);
    q.position = p.tip();
}

Tree growTree(const TreeParameters& p, Vec3 foot)
{
    GrowthState& s = state();
    s.used = 0;
    const uint32_t seed = p.seed;
    Branch* trunk = allocate(1);
    takeChildren(*trunk, childCountFrom(sampleCurve(p.branchCount, 0.0f, seed, 30)));
    trunk->diameter = p.diameter;
    trunk->index = 30u | Branch::GROWN_BIT;
    trunk->axes[0] = {1, 0, 0};
    trunk->axes[1] = {0, 1, 0};
    trunk->axes[2] = {0, 0, 1};
    trunk->position = foot;
    if (p.rootCount != 0) trunk->position.z += 0.8f * p.rootHeight;
    trunk->length = sampleCurve(p.branchLength, 0.0f, seed, 33) * p.length;
    trunk->endDiameter = sampleCurve(p.branchCone, 0.0f, seed, 30) * p.diameter;
    trunk->relativeDiameter = 1.0f;
    trunk->level = 1;
    trunk->projectedSize = projectedSize(p.diameter, trunk->position);
    ++s.counters.branches;
    growBranches(p, *trunk, 2);
    Tree tree;
    tree.trunk = trunk;
    return tree;
}

void regulateTreeDetail()
{
    GrowthState& s = state();
    TreeDetail& d = s.detail;
    const int count = static_cast<int>(0.1f * s.counters.leaves) + s.counters.branches;
    const int polys = s.counters.polygons;
    const float bb = static_cast<float>(d.branchBudget);
    const float pb = static_cast<float>(d.polygonBudget);
    // Steady crowns: a band wide enough that a still camera settles inside it
    // rather than stepping across it back and forth.
    const float low = d.steady ? 0.75f : 0.9f, high = d.steady ? 1.25f : 1.1f;
    bool changed = false;
    // Tubes as coarse as the factor makes them still over the polygon budget:
    // only fewer branches can keep it, so the threshold rises, and it may not
    // fall again until the polygons leave room.
    const bool coarsest = d.tubeFactor <= 0.8f;
    if (count == 0) {
        d.lodThreshold = 0.04f;
        changed = true;
    } else if (coarsest && polys > high * pb) {
        if (d.lodThreshold < 1.0f) {
            d.lodThreshold *= 1.0f + (polys - pb) * 0.00001f;
            changed = true;
        }
    } else if (count < low * bb) {
        if (d.lodThreshold > 0.004f && !(coarsest && polys >= low * pb)) {
            d.lodThreshold /= 1.0f + (bb - count) * 0.0001f;
            changed = true;
        }
    } else if (count > high * bb && d.lodThreshold < 1.0f) {
        d.lodThreshold *= 1.0f + (count - bb) * 0.0001f;
        changed = true;
    }
    if (polys == 0) {
        d.tubeFactor = 1.0f;
    } else if (!changed) {
        if (polys > high * pb && d.tubeFactor > 0.8f)
            d.tubeFactor /= 1.0f + (polys - pb) * 0.00001f;
        if (polys < low * pb)
            d.tubeFactor = std::min(10.0f, d.tubeFactor * (1.0f + (pb - polys) * 0.000005f));
    }
    s.counters = TreeCounters();
}
