#include "tools/assets.h"
#include "tools/picture_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace assets {

namespace {

constexpr float PI = 3.14159265f;

uint8_t toByte(float v) { return uint8_t(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); }

/// One kind of leaf picture: a sprig of leaves of this outline and colour.
struct LeafStyle {
    float r, g, b;       ///< main colour
    float r2, g2, b2;    ///< second colour, mixed in by noise (autumn blotches)
    int leaves;          ///< leaves on the sprig
    float width;         ///< leaf width over leaf length
    float roundness;     ///< exponent of the outline: < 1 round, > 1 pointed
    float length;        ///< leaf length, fraction of the picture
    bool needles;        ///< thin needles instead of blades
};

// 0-4 summer broadleaves, 5-7 needle sprigs, 8-9 spring green, 10-14 autumn.
const LeafStyle kStyles[15] = {
    {0.22f, 0.42f, 0.12f, 0.30f, 0.50f, 0.15f, 7, 0.50f, 0.8f, 0.34f, false},
    {0.18f, 0.38f, 0.10f, 0.26f, 0.46f, 0.12f, 6, 0.60f, 0.6f, 0.36f, false},
    {0.25f, 0.45f, 0.14f, 0.20f, 0.36f, 0.10f, 8, 0.40f, 1.1f, 0.32f, false},
    {0.20f, 0.40f, 0.16f, 0.28f, 0.48f, 0.18f, 5, 0.70f, 0.5f, 0.40f, false},
    {0.24f, 0.44f, 0.10f, 0.32f, 0.52f, 0.12f, 9, 0.35f, 1.3f, 0.30f, false},
    {0.10f, 0.26f, 0.12f, 0.14f, 0.32f, 0.14f, 40, 0.10f, 1.0f, 0.22f, true},
    {0.12f, 0.30f, 0.10f, 0.18f, 0.36f, 0.12f, 36, 0.11f, 1.0f, 0.26f, true},
    {0.09f, 0.24f, 0.15f, 0.12f, 0.28f, 0.16f, 44, 0.09f, 1.0f, 0.20f, true},
    {0.40f, 0.60f, 0.16f, 0.48f, 0.66f, 0.20f, 7, 0.50f, 0.8f, 0.32f, false},
    {0.36f, 0.56f, 0.14f, 0.30f, 0.50f, 0.12f, 6, 0.55f, 0.7f, 0.34f, false},
    {0.78f, 0.66f, 0.12f, 0.62f, 0.58f, 0.10f, 7, 0.50f, 0.8f, 0.34f, false},
    {0.85f, 0.45f, 0.08f, 0.78f, 0.62f, 0.12f, 6, 0.60f, 0.6f, 0.36f, false},
    {0.70f, 0.16f, 0.08f, 0.82f, 0.36f, 0.10f, 7, 0.45f, 1.0f, 0.33f, false},
    {0.50f, 0.32f, 0.14f, 0.62f, 0.44f, 0.18f, 6, 0.55f, 0.8f, 0.35f, false},
    {0.60f, 0.52f, 0.12f, 0.30f, 0.44f, 0.10f, 8, 0.45f, 0.9f, 0.32f, false},
};

/// How much of pixel (px, py) the leaf whose stem is at (sx, sy), pointing
/// at `angle`, covers (0..1), with `across` the signed position across it.
float leafCover(const LeafStyle& s, float px, float py, float sx, float sy, float angle, float size,
                float& across)
{
    const float dx = px - sx, dy = py - sy;
    const float along = (dx * std::cos(angle) + dy * std::sin(angle)) / size;
    across = (-dx * std::sin(angle) + dy * std::cos(angle)) / size;
    if (along <= 0.0f || along >= 1.0f) return 0.0f;
    const float half = 0.5f * s.width * std::pow(std::sin(PI * std::pow(along, 0.8f)), s.roundness);
    return std::clamp((half - std::fabs(across)) * size + 0.5f, 0.0f, 1.0f);
}

Picture leafPicture(const LeafStyle& s, unsigned seed)
{
    const int n = 128;
    Picture pic(n, n, 4);
    // Edge pixels take the leaf colour so that filtering brings in no dark fringe.
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            uint8_t* p = pic.at(x, y);
            p[0] = toByte(s.r);
            p[1] = toByte(s.g);
            p[2] = toByte(s.b);
            p[3] = 0;
        }
    // The stem rises from the bottom middle (where the picture meets its twig).
    const float stemTop = n * 0.12f;
    const float bend = 6.0f * (tiledNoise(float(seed), 0.5f, 64, 3u) - 0.5f);
    auto stemX = [&](float y) { const float u = (n - y) / (n - stemTop); return n * 0.5f + bend * u * u; };
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            float cover = 0.0f, shade = 1.0f;
            if (py > stemTop) {
                const float d = std::fabs(px - stemX(py));
                const float stem = std::clamp((s.needles ? 1.4f : 1.1f) - d, 0.0f, 1.0f);
                if (stem > 0.0f) {
                    cover = stem;
                    shade = 0.55f;
                }
            }
            for (int k = 0; k < s.leaves; ++k) {
                const float u = s.needles ? float(k) / s.leaves : (k + 0.8f) / (s.leaves + 0.3f);
                const float sy = n - (n - stemTop) * u;
                const float sx = stemX(sy);
                const float side = (k % 2 == 0) ? 1.0f : -1.0f;
                // Leaves point up and out; the last one continues the stem.
                const bool tip = !s.needles && k == s.leaves - 1;
                const float spread = s.needles ? 0.9f : 0.95f;
                const float angle = tip ? -PI / 2 : -PI / 2 + side * spread * (1.0f - 0.35f * u);
                const float size = n * s.length * (s.needles ? 1.0f : 1.3f * (0.75f + 0.35f * (1.0f - u)));
                float across;
                const float c = leafCover(s, px, py, sx, sy, angle, size, across);
                if (c > cover) {
                    cover = c;
                    // A lighter midrib and a darker lower half shape the leaf.
                    const float rib = std::fabs(across) < 0.02f ? 1.18f : 1.0f;
                    shade = rib * (across > 0.0f ? 0.92f : 1.05f);
                }
            }
            if (cover <= 0.0f) continue;
            const float mix = std::clamp(tiledNoise(px / 24.0f, py / 24.0f, 16, seed) * 1.6f - 0.3f, 0.0f, 1.0f);
            const float grain = 0.9f + 0.2f * tiledNoise(px / 5.0f, py / 5.0f, 64, seed + 1);
            uint8_t* p = pic.at(x, y);
            p[0] = toByte((s.r + (s.r2 - s.r) * mix) * shade * grain);
            p[1] = toByte((s.g + (s.g2 - s.g) * mix) * shade * grain);
            p[2] = toByte((s.b + (s.b2 - s.b) * mix) * shade * grain);
            p[3] = toByte(cover);
        }
    return pic;
}

/// Bark that tiles both ways: vertical furrows between ridges, roughened by
/// noise, in brown-grey tones.
Picture barkPicture(int slot)
{
    const int w = 128, h = 256;
    Picture pic(w, h, 3);
    const float tones[10][3] = {
        {0.42f, 0.36f, 0.30f}, {0.36f, 0.29f, 0.22f}, {0.48f, 0.33f, 0.24f}, {0.40f, 0.32f, 0.26f},
        {0.55f, 0.53f, 0.50f}, {0.46f, 0.42f, 0.38f}, {0.33f, 0.30f, 0.28f}, {0.45f, 0.38f, 0.28f},
        {0.38f, 0.34f, 0.32f}, {0.50f, 0.40f, 0.32f}};
    const float* tone = tones[slot];
    const unsigned seed = 100u + unsigned(slot);
    const int furrows = 5 + slot % 4;
    const float smooth = slot == 4 ? 0.35f : 1.0f; // one smooth, beech-like bark
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float u = float(x) / w, v = float(y) / h;
            // Furrows wander sideways along the trunk.
            const float wander = 0.6f * tiledNoise(u * 4.0f, v * 4.0f, 4, seed) + 0.3f * tiledNoise(u * 8.0f, v * 8.0f, 8, seed + 1);
            const float phase = std::fabs(std::sin(PI * (u * furrows + wander)));
            const float ridge = std::pow(phase, 0.6f);
            const float flakes = tiledNoise(u * 16.0f, v * 8.0f, 16, seed + 2) * tiledNoise(u * 32.0f, v * 16.0f, 16, seed + 3);
            const float fine = tiledNoise(u * 64.0f, v * 64.0f, 64, seed + 4);
            float light = 0.55f + smooth * (0.45f * ridge - 0.15f) + 0.25f * flakes + 0.15f * (fine - 0.5f);
            if (smooth < 1.0f) light += 0.1f;
            uint8_t* p = pic.at(x, y);
            p[0] = toByte(tone[0] * light * 1.05f);
            p[1] = toByte(tone[1] * light * 1.05f);
            p[2] = toByte(tone[2] * light * 1.05f);
        }
    return pic;
}

} // namespace

// The leaf pictures "leafNN.tga" (RGBA sprigs on a transparent ground, stem
// at the bottom middle) and the bark pictures "truncNN.tga" (tiling, furrows
// along the picture's height, which runs along the branch).
bool writeForestAssets(const std::string& root)
{
    char name[64];
    for (int k = 0; k < 15; ++k) {
        std::snprintf(name, sizeof name, "ForestData/leaf%02d.tga", k);
        if (!writeTga(root + name, leafPicture(kStyles[k], 11u + 7u * unsigned(k)))) return false;
    }
    for (int k = 0; k < 10; ++k) {
        std::snprintf(name, sizeof name, "ForestData/trunc%02d.tga", k);
        if (!writeTga(root + name, barkPicture(k))) return false;
    }
    return true;
}

} // namespace assets
