// The ground's default pictures: a height map with rolling hills and a valley,
// and a seamless soil-and-grass texture.
#include "tools/assets.h"
#include "tools/picture_writer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace assets {

namespace {

/// Noise tiling over a picture of `size` pixels with features `period` times across.
float tiledAt(int x, int y, int size, int period, unsigned seed)
{
    return tiledNoise(float(x) * period / size, float(y) * period / size, period, seed);
}

/// Unscaled terrain at (u, v) in [0, 1]²: broad swells, a few gentle noise
/// octaves, and a valley that winds across the whole field along x.
float terrain(float u, float v, int x, int y, int size)
{
    float h = 0.20f * std::sin(TWO_PI * (1.1f * u + 0.15f)) * std::cos(TWO_PI * (0.9f * v + 0.05f))
            + 0.10f * std::sin(TWO_PI * (1.7f * u + 1.3f * v))
            + 0.07f * std::cos(TWO_PI * (0.6f * u - 2.1f * v));
    h += 0.16f * tiledAt(x, y, size, 4, 11) + 0.06f * tiledAt(x, y, size, 8, 12);
    const float valleyCentre = 0.42f + 0.12f * std::sin(TWO_PI * (0.8f * u + 0.1f));
    const float across = (v - valleyCentre) / 0.12f;
    return h - 0.6f * std::exp(-across * across);
}

bool writeHeightMap(const std::string& path)
{
    const int size = 256;
    std::vector<float> h(size_t(size) * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            h[size_t(y) * size + x] = terrain(float(x) / (size - 1), float(y) / (size - 1), x, y, size);
    const auto [lo, hi] = std::minmax_element(h.begin(), h.end());
    const float low = *lo, range = *hi - *lo;
    Picture p(size, size, 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // The valley floor stays a little above zero and the crests below white.
            const float t = 0.04f + 0.92f * (h[size_t(y) * size + x] - low) / range;
            const uint8_t grey = uint8_t(std::lround(t * 255));
            uint8_t* px = p.at(x, y);
            px[0] = px[1] = px[2] = grey;
        }
    return writeBmp(path, p);
}

bool writeGroundTexture(const std::string& path)
{
    const int size = 256;
    const float soil[3] = {112, 86, 56}, grass[3] = {74, 112, 40}, dryGrass[3] = {128, 130, 66};
    Picture p(size, size, 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // Small patches, so that eight repetitions do not read as a pattern.
            const float patches = 0.45f * tiledAt(x, y, size, 8, 21) + 0.35f * tiledAt(x, y, size, 16, 22)
                                + 0.2f * tiledAt(x, y, size, 32, 23);
            const float grassiness = smoothstep(0.32f, 0.58f, patches);
            const float dryness = tiledAt(x, y, size, 8, 24);
            // Fine grain: tufts at a few pixels across, then single pixels.
            const float grain = 0.75f + 0.25f * tiledAt(x, y, size, 64, 25) + 0.22f * tiledAt(x, y, size, 256, 26);
            uint8_t* px = p.at(x, y);
            for (int k = 0; k < 3; ++k) {
                const float green = grass[k] + (dryGrass[k] - grass[k]) * dryness * 0.6f;
                const float colour = (soil[k] + (green - soil[k]) * grassiness) * grain;
                px[k] = uint8_t(std::clamp(colour, 0.0f, 255.0f));
            }
        }
    return writeBmp(path, p);
}

} // namespace

bool writeGroundAssets(const std::string& root)
{
    return writeHeightMap(root + "GroundData/heightMap1.bmp") && writeGroundTexture(root + "GroundData/ground3.bmp");
}

} // namespace assets
