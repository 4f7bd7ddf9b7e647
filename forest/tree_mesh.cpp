#include "forest/tree_mesh.h"

#include <algorithm>
#include <cmath>

// Index
// [SECTION] Resolution
// [SECTION] Bark noise
// [SECTION] Tubes
// [SECTION] Roots
// [SECTION] Leaves
// [SECTION] Tree

namespace {
constexpr float PI = 3.14159265358979f;
constexpr int MAX_SIDES = 16;
constexpr int MAX_LEAVES_PER_BRANCH = 64;
// Leaves low in the crown are a little darker and bluer, as if shaded by the
// leaves above them.
constexpr float LOW_TINT[3] = {0.72f, 0.78f, 0.74f};
constexpr float HIGH_TINT[3] = {1.0f, 1.0f, 0.95f};
} // namespace

// [SECTION] Resolution

TubeResolution tubeResolution(float s, float factor)
{
    float level = std::min(factor * s + 1.0f, 7.0f);
    // A negative or undefined size (a hostile file's negative diameter) gets
    // the coarsest tube rather than a negative shift.
    if (!(level >= 1.0f)) level = 1.0f;
    const int whole = static_cast<int>(level);
    const int exact = 1 << whole;
    TubeResolution r;
    r.sides = std::clamp(exact, 4, MAX_SIDES);
    r.segments = std::min(1 << std::max(0, static_cast<int>(level - 0.5f)), 16);
    // Only a ring that doubled a smaller one of at least 4 sides can morph.
    r.morph = (exact == r.sides && exact >= 8) ? level - static_cast<float>(whole) : 1.0f;
    return r;
}

namespace {

// [SECTION] Bark noise

/// Smooth value noise over (around, along), periodic around the branch.
struct BarkNoise {
    uint32_t seed = 0;
    uint32_t branch = 0;
    float amplitude = 0;
    float persistence = 0.5f;
    float wavelength = 1; ///< metres along the branch per lattice cell of octave 0

    float lattice(int octave, int i, int j) const
    {
        uint32_t h = seed * 0x9E3779B1u ^ (branch + 0x7F4A7C15u) * 0x85EBCA77u;
        h ^= static_cast<uint32_t>(octave) * 0xC2B2AE3Du + static_cast<uint32_t>(i) * 0x27D4EB2Fu
           + static_cast<uint32_t>(j) * 0x165667B1u;
        h ^= h >> 15;
        h *= 0x2C1B3C6Du;
        h ^= h >> 12;
        h *= 0x297A2D39u;
        h ^= h >> 15;
        return static_cast<float>(h & 0xFFFFu) / 65535.0f - 0.5f;
    }

    /// A lattice cell number that an int can hold. Tubes far longer than any
    /// tree (a hostile file's root length) just reuse cell numbers.
    static int latticeIndex(float f)
    {
        // fmod leaves smaller numbers as they are: only the rare long tube pays for it.
        if (std::fabs(f) < 1048576.0f) return static_cast<int>(f);
        return std::isfinite(f) ? static_cast<int>(std::fmod(f, 1048576.0f)) : 0;
    }

    /// The lattice rows at one place along the branch, per octave: the row
    /// below and the smoothed position towards the next. A ring shares them.
    struct Row {
        int cell[4];
        float blend[4];
    };

    /// The row at `along` metres.
    Row row(float along) const
    {
        Row r;
        for (int o = 0; o < 4; ++o) {
            const float v = along / wavelength * static_cast<float>(1 << o);
            const float fv = std::floor(v);
            r.cell[o] = latticeIndex(fv);
            const float sv = v - fv;
            r.blend[o] = sv * sv * (3.0f - 2.0f * sv);
        }
        return r;
    }

    /// In about [-0.5, 0.5]·amplitude; `around` in turns, along at `row`.
    float at(float around, const Row& row) const
    {
        if (amplitude == 0.0f) return 0.0f;
        float sum = 0.0f, weight = 1.0f, total = 0.0f;
        for (int o = 0; o < 4; ++o) {
            const int period = 4 << o;
            const float u = around * period;
            const float fu = std::floor(u);
            const int iu = latticeIndex(fu), iv = row.cell[o];
            float su = u - fu;
            su = su * su * (3.0f - 2.0f * su);
            const float sv = row.blend[o];
            // The period is a power of two: the mask wraps negative cells too.
            const int i0 = iu & (period - 1), i1 = (iu + 1) & (period - 1);
            const float a = lattice(o, i0, iv), b = lattice(o, i1, iv);
            const float c = lattice(o, i0, iv + 1), d = lattice(o, i1, iv + 1);
            sum += weight * ((a + (b - a) * su) * (1.0f - sv) + (c + (d - c) * su) * sv);
            total += weight;
            weight *= persistence;
        }
        return amplitude * sum / total * 2.0f;
    }
};

// [SECTION] Tubes

/// A straight tube: a start centre, an orthonormal frame (along z), a length,
/// a linear radius profile and the bark roughness.
struct TubeShape {
    Vec3 origin, x, y, z;
    float length = 0;
    float r0 = 0, r1 = 0;
    float vStart = 0;  ///< bark v at t = 0
    float vPerMetre = 1;
    BarkNoise noise;

    Vec3 centre(float t) const { return origin + z * (t * length); }
    float radius(float t) const { return std::max(0.0f, r0 + (r1 - r0) * t); }
    float v(float t) const { return vStart + t * length * vPerMetre; }
};

void orthonormalFrame(Vec3 z, Vec3 xHint, Vec3& x, Vec3& y)
{
    x = xHint - z * dot(xHint, z);
    if (norm(x) < 1e-5f) x = std::fabs(z.z) < 0.9f ? cross(Vec3{0, 0, 1}, z) : cross(Vec3{0, 1, 0}, z);
    x = normalized(x);
    y = cross(z, x);
}

TubeShape shapeOf(const Branch& b, const TreeParameters& p)
{
    TubeShape s;
    s.origin = b.position;
    s.z = normalized(b.axes[2]);
    orthonormalFrame(s.z, b.axes[0], s.x, s.y);
    s.length = b.length;
    s.r0 = b.diameter;
    s.r1 = b.endDiameter;
    // The bark picture keeps its proportions: one turn around is one tile.
    s.vPerMetre = 1.0f / (2.0f * PI * std::max(0.5f * (b.diameter + b.endDiameter), 0.01f));
    s.noise.seed = p.seed;
    s.noise.branch = b.index & 0xFFFFFu;
    s.noise.amplitude = (b.diameter + b.endDiameter) * 0.125f * p.noise;
    s.noise.persistence = p.noiseP;
    s.noise.wavelength = std::max(b.diameter, 0.01f) * 2.0f;
    return s;
}

/// Appends a ring of `sides` + 1 vertices (the seam doubled for the bark's u).
void appendRing(std::vector<MeshVertex>& out, const TubeShape& s, float t, int sides, float morph)
{
    Vec3 pos[MAX_SIDES + 1], nrm[MAX_SIDES + 1];
    const Vec3 c = s.centre(t);
    const float radius = s.radius(t);
    // Roughness fades out towards a pointed tip.
    const float fade = s.r0 > 0.0f ? std::min(1.0f, 4.0f * radius / s.r0) : 0.0f;
    const BarkNoise::Row row = s.noise.row(t * s.length);
    for (int k = 0; k < sides; ++k) {
        const float turn = static_cast<float>(k) / sides;
        const Vec3 dir = s.x * std::cos(2.0f * PI * turn) + s.y * std::sin(2.0f * PI * turn);
        const float r = std::max(0.0f, radius + s.noise.at(turn, row) * fade);
        pos[k] = c + dir * r;
        nrm[k] = dir;
    }
    if (morph < 1.0f)
        for (int k = 1; k < sides; k += 2) {
            const int a = k - 1, b = (k + 1) % sides;
            const Vec3 mid = (pos[a] + pos[b]) * 0.5f;
            pos[k] = mid + (pos[k] - mid) * morph;
            nrm[k] = normalized((nrm[a] + nrm[b]) * 0.5f * (1.0f - morph) + nrm[k] * morph);
        }
    pos[sides] = pos[0];
    nrm[sides] = nrm[0];
    const float v = s.v(t);
    for (int k = 0; k <= sides; ++k)
        out.push_back({{pos[k].x, pos[k].y, pos[k].z}, {nrm[k].x, nrm[k].y, nrm[k].z},
                       {static_cast<float>(k) / sides, v}, {1, 1, 1, 1}});
}

/// Appends a ring collapsed on `apex` (a closed pointed end).
void appendApex(std::vector<MeshVertex>& out, Vec3 apex, Vec3 axis, float v, int sides)
{
    for (int k = 0; k <= sides; ++k)
        out.push_back({{apex.x, apex.y, apex.z}, {axis.x, axis.y, axis.z},
                       {static_cast<float>(k) / sides, v}, {1, 1, 1, 1}});
}

/// Rings being built for the current tube; kept between tubes for its capacity.
std::vector<MeshVertex>& ringScratch()
{
    static std::vector<MeshVertex> rings;
    return rings;
}

/// Joins consecutive rings of `sides` + 1 vertices from `rings` with strips
/// into the mesh, then empties `rings`.
void stitchRings(TreeMesh& mesh, std::vector<MeshVertex>& rings, int sides)
{
    const size_t ringSize = static_cast<size_t>(sides) + 1;
    const size_t count = rings.size() / ringSize;
    for (size_t j = 0; j + 1 < count; ++j) {
        const int first = static_cast<int>(mesh.bark.size());
        // Upper ring first: the strip's front faces then look outwards.
        for (size_t k = 0; k < ringSize; ++k) {
            mesh.bark.push_back(rings[(j + 1) * ringSize + k]);
            mesh.bark.push_back(rings[j * ringSize + k]);
        }
        mesh.stripFirst.push_back(first);
        mesh.stripCount.push_back(static_cast<int>(2 * ringSize));
        mesh.polygons += static_cast<int>(2 * ringSize);
    }
    rings.clear();
}

/// A leaf of this size is drawn: not tiny, and not undefined or infinite
/// (curves of a hostile file can overflow).
bool leafSizeUsable(float size) { return size >= 0.01f && std::isfinite(size); }

/// The leaf picture slot for a drawn value, whatever a file made the curve.
int leafSlot(float v)
{
    if (!(v >= 0.0f)) return 0; // NaN too: clamp would pass it through
    return static_cast<int>(std::clamp(v, 0.0f, static_cast<float>(LEAF_SLOTS - 1)));
}

struct Builder {
    const TreeParameters& p;
    Vec3 foot;
    TreeMesh& mesh;
    float endV[BRANCH_POOL_SIZE];
    Vec3 crownCentre;
    float crownBottom, crownHeight;

    Builder(const TreeParameters& params, Vec3 f, TreeMesh& m) : p(params), foot(f), mesh(m)
    {
        crownBottom = foot.z + p.sampleMin[2];
        crownHeight = std::max(p.sampleMax[2] - p.sampleMin[2], 1e-3f);
        crownCentre = foot + Vec3{0.5f * (p.sampleMin[0] + p.sampleMax[0]), 0.5f * (p.sampleMin[1] + p.sampleMax[1]),
                                  0.5f * (p.sampleMin[2] + p.sampleMax[2])};
    }

    void branchTube(const Branch& b)
    {
        const TubeResolution res = tubeResolution(b.projectedSize, treeDetail().tubeFactor);
        TubeShape s = shapeOf(b, p);
        std::vector<MeshVertex>& rings = ringScratch();
        const Branch* parent = b.parent;
        if (!parent) {
            // The trunk reaches a little below its foot, so that it stands
            // in the ground on a slope, and flares there.
            const float below = (b.position.z - (foot.z - 0.5f * b.diameter)) / std::max(b.length, 1e-3f);
            appendRing(rings, s, -below, res.sides, res.morph);
        } else if (&parent->children[0] == &b) {
            // The continuation starts on the parent's last ring: no gap.
            TubeShape ps = shapeOf(*parent, p);
            ps.vStart = endV[parent->serial] - ps.length * ps.vPerMetre;
            s.vStart = endV[parent->serial];
            appendRing(rings, ps, 1.0f, res.sides, res.morph);
        } else {
            // A side branch starts inside its parent so that the joint is closed.
            const float sink = std::min(b.diameter, 0.3f * b.length) / std::max(b.length, 1e-3f);
            s.vStart = sink * s.length * s.vPerMetre;
            appendRing(rings, s, -sink, res.sides, res.morph);
        }
        for (int j = 1; j <= res.segments; ++j)
            appendRing(rings, s, static_cast<float>(j) / res.segments, res.sides, res.morph);
        const bool continued = b.childCount > 0 && b.children[0].grown();
        if (!continued && b.endDiameter > 0.0f)
            appendApex(rings, b.tip() + s.z * b.endDiameter, s.z, s.v(1.0f) + 0.25f, res.sides);
        endV[b.serial] = s.v(1.0f);
        stitchRings(mesh, rings, res.sides);
    }

    // [SECTION] Roots

    void roots(const Branch& trunk)
    {
        const int count = std::min(p.rootCount, 16);
        const TubeResolution res = tubeResolution(trunk.projectedSize, treeDetail().tubeFactor);
        const float d0 = p.diameter;
        for (int k = 0; k < count; ++k) {
            const float angle = 2.0f * PI * (k + 0.6f * (treeRandom(p.seed, 500 + k) - 0.5f)) / count;
            const Vec3 out{std::cos(angle), std::sin(angle), 0.0f};
            const Vec3 points[3] = {
                Vec3{foot.x, foot.y, trunk.position.z} + out * (0.3f * d0),
                foot + out * (0.4f * p.rootLength) + Vec3{0, 0, 0.3f * p.rootHeight},
                foot + out * p.rootLength - Vec3{0, 0, 0.15f * p.rootHeight},
            };
            const float radii[3] = {0.55f * d0, 0.3f * d0, 0.03f * d0};
            for (int piece = 0; piece < 2; ++piece) {
                TubeShape s;
                s.origin = points[piece];
                const Vec3 span = points[piece + 1] - points[piece];
                s.length = norm(span);
                if (s.length <= 0.0f) continue;
                s.z = span * (1.0f / s.length);
                orthonormalFrame(s.z, out, s.x, s.y);
                s.r0 = radii[piece];
                s.r1 = radii[piece + 1];
                s.vPerMetre = 1.0f / (2.0f * PI * std::max(s.r0, 0.01f));
                s.noise.seed = p.seed;
                s.noise.branch = 0xF0000u + static_cast<uint32_t>(k * 2 + piece);
                s.noise.amplitude = (s.r0 + s.r1) * 0.125f * p.noise;
                s.noise.persistence = p.noiseP;
                s.noise.wavelength = std::max(s.r0, 0.01f) * 2.0f;
                std::vector<MeshVertex>& rings = ringScratch();
                // The upper piece starts inside the trunk.
                appendRing(rings, s, piece == 0 ? -0.2f : 0.0f, res.sides, res.morph);
                for (int j = 1; j <= res.segments; ++j)
                    appendRing(rings, s, static_cast<float>(j) / res.segments, res.sides, res.morph);
                stitchRings(mesh, rings, res.sides);
            }
        }
    }

    // [SECTION] Leaves

    float opacity(const Branch& b) const
    {
        const float rr = std::max(b.relativeDiameter, 1e-6f);
        return std::min(1.0f, (b.projectedSize - treeDetail().lodThreshold) / rr * p.appearSpeed + 0.1f);
    }

    void quad(int slot, Vec3 base, Vec3 along, Vec3 across, Vec3 normal, const float tint[4])
    {
        const Vec3 c[4] = {base - across, base + across, base + across + along, base - across + along};
        const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (int k = 0; k < 4; ++k)
            mesh.leaves[slot].push_back({{c[k].x, c[k].y, c[k].z}, {normal.x, normal.y, normal.z},
                                         {uv[k][0], uv[k][1]}, {tint[0], tint[1], tint[2], tint[3]}});
    }

    /// One leaf of branch `b` whose stem is at `place`.
    void leaf(const Branch& b, Vec3 place, int slot, float size, float alpha, float twist)
    {
        const float width = size * p.diameter;
        const float length = width * p.leaveStretch;
        Vec3 out = place - crownCentre;
        out = norm(out) > 1e-4f ? normalized(out) : b.axes[2];
        const float h = std::clamp((place.z - crownBottom) / crownHeight, 0.0f, 1.0f);
        const float tint[4] = {LOW_TINT[0] + (HIGH_TINT[0] - LOW_TINT[0]) * h,
                               LOW_TINT[1] + (HIGH_TINT[1] - LOW_TINT[1]) * h,
                               LOW_TINT[2] + (HIGH_TINT[2] - LOW_TINT[2]) * h, alpha};
        // The leaf points along its twig, bent outwards, and turns its face
        // to the outside of the crown where the light is.
        Vec3 along = normalized(b.axes[2] + out);
        Vec3 across, unused;
        orthonormalFrame(along, cross(out, along), across, unused);
        along = normalized(along * std::cos(twist) + across * std::sin(twist));
        across = normalized(cross(out, along));
        if (norm(across) < 1e-4f) orthonormalFrame(along, b.axes[0], across, unused);
        switch (p.leaveMode) {
        case 2: // crossed pair: full from every side
            quad(slot, place, along * length, across * (0.5f * width), out, tint);
            quad(slot, place, along * length, normalized(cross(along, across)) * (0.5f * width), out, tint);
            break;
        default: // single leaf facing out; mode 3 places it at the fork
            quad(slot, place, along * length, across * (0.5f * width), out, tint);
            break;
        }
        ++mesh.leafCount;
    }

    /// The leaves of `b`; returns how many were drawn.
    int branchLeaves(const Branch& b)
    {
        const uint32_t seed = p.seed;
        const uint32_t idx = b.randomIndex();
        const float t = 1.0f - b.relativeDiameter;
        const float n = sampleCurve(p.leaveCount, t, seed, idx);
        int count;
        uint32_t running;
        // An undefined count (curves that overflow to NaN) draws no leaf.
        if (!(n >= 1.0f)) {
            count = static_cast<float>(treeRandomBits(seed, idx + 1) & 0xFFu) / 255.0f < n ? 1 : 0;
            running = idx + 2;
        } else {
            count = n >= MAX_LEAVES_PER_BRANCH ? MAX_LEAVES_PER_BRANCH : static_cast<int>(std::ceil(n));
            running = idx + 1;
        }
        const float alpha = opacity(b);
        int drawn = 0;
        for (int k = 0; k < count; ++k, running += 3) {
            const uint32_t texIndex = idx + 10u * static_cast<uint32_t>(k);
            const float size = sampleCurve(p.leaveSize, t, seed, texIndex + 1);
            if (!leafSizeUsable(size)) continue;
            const int slot = leafSlot(sampleCurve(p.leaveTexture, t, seed, texIndex));
            const float r1 = treeRandom(seed, running + 1), r2 = treeRandom(seed, running + 2);
            Vec3 place = b.position;
            if (p.leaveMode != 3)
                place = b.position + b.axes[2] * (sampleCurve(p.leavePosition, t, seed, running) * b.length)
                      + b.axes[0] * ((r1 - 0.5f) * 3.0f * b.diameter) + b.axes[1] * ((r2 - 0.5f) * 3.0f * b.diameter);
            // Curves that overflow place a leaf nowhere: it is left out.
            if (!std::isfinite(place.x) || !std::isfinite(place.y) || !std::isfinite(place.z)) continue;
            leaf(b, place, slot, size, alpha, (r1 - 0.5f) * 1.6f);
            ++drawn;
        }
        return drawn;
    }

    /// One stand-in leaf for twigs the detail left out.
    void substituteLeaf(const Branch& b)
    {
        float lowest = 1.0f;  // an ungrown twig counts as faded out
        for (int i = 0; i < b.childCount; ++i) {
            const Branch& c = b.children[i];
            lowest = std::min(lowest, c.grown() ? opacity(c) : 0.0f);
        }
        if (!(lowest < 0.5f)) return;
        const uint32_t idx = b.randomIndex();
        if ((treeRandomBits(p.seed, idx + 100) & 0xFFu) > 126u) return;
        const float t = 1.0f - b.relativeDiameter;
        const float size = 1.5f * sampleCurve(p.leaveSize, t, p.seed, idx + 101);
        if (!leafSizeUsable(size)) return;
        const int slot = leafSlot(sampleCurve(p.leaveTexture, t, p.seed, idx));
        // Steady crowns: the stand-in grows in as the twigs it stands for fade out.
        const float alpha = treeDetail().steady ? 1.0f - lowest : 1.0f;
        leaf(b, b.position + b.axes[2] * (0.7f * b.length), slot, size, alpha, treeRandom(p.seed, idx + 102) - 0.5f);
    }

    // [SECTION] Tree

    void walk(const Branch& b)
    {
        branchTube(b);
        if (p.leaveMode != 0) {
            const int drawn = branchLeaves(b);
            if (p.useLodLeaves && b.parent && drawn == 0) substituteLeaf(b);
        }
        for (int i = 0; i < b.childCount; ++i)
            if (b.children[i].grown()) walk(b.children[i]);
    }
};

} // namespace

void buildTreeMesh(const Tree& tree, const TreeParameters& p, Vec3 foot, TreeMesh& mesh)
{
    mesh.bark.clear();
    mesh.stripFirst.clear();
    mesh.stripCount.clear();
    for (auto& l : mesh.leaves) l.clear();
    mesh.polygons = 0;
    mesh.leafCount = 0;
    if (!tree.trunk) return;
    Builder builder(p, foot, mesh);
    builder.walk(*tree.trunk);
    if (p.rootCount > 0) builder.roots(*tree.trunk);
    TreeCounters& counters = treeCounters();
    counters.polygons += mesh.polygons;
    counters.leaves += mesh.leafCount;
}
