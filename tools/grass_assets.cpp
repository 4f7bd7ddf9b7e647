// The grass density map: a dense meadow with sparser patches, a few bare
// clearings and two trodden paths, so that the field shows some variety.
#include "tools/assets.h"
#include "tools/picture_writer.h"

#include <algorithm>
#include <cmath>

namespace assets {

namespace {

/// Density in [0, 1] at (u, v) in [0, 1]² of the field.
float density(float u, float v)
{
    // Meadow: mostly dense, thinning where the slow noise is high.
    const float sparse = smoothstep(0.55f, 0.75f, tiledNoise(u * 5, v * 5, 5, 31));
    float d = 0.95f - 0.05f * tiledNoise(u * 16, v * 16, 16, 32) - 0.5f * sparse;

    // Clearings, kept away from the centre where the rock starts.
    const float clearings[][3] = {{0.18f, 0.22f, 0.07f}, {0.78f, 0.30f, 0.09f}, {0.30f, 0.80f, 0.06f}, {0.82f, 0.84f, 0.05f}};
    for (const auto& c : clearings) {
        const float r = std::hypot(u - c[0], v - c[1]) / c[2];
        d = std::min(d, 0.05f + 0.95f * smoothstep(0.8f, 1.3f, r));
    }

    // Two winding paths, about three metres wide on the default ground, missing the centre.
    const float pathA = std::fabs(v - (0.33f + 0.10f * std::sin(TWO_PI * (1.3f * u + 0.2f)))) / 0.015f;
    const float pathB = std::fabs(u - (0.62f + 0.08f * std::sin(TWO_PI * (0.9f * v + 0.6f)))) / 0.012f;
    d = std::min(d, 0.08f + 0.92f * smoothstep(1.0f, 2.0f, std::min(pathA, pathB)));
    return std::clamp(d, 0.0f, 1.0f);
}

} // namespace

bool writeGrassAssets(const std::string& root)
{
    const int size = 256;
    Picture p(size, size, 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const uint8_t grey = uint8_t(std::lround(density(float(x) / (size - 1), float(y) / (size - 1)) * 255));
            uint8_t* px = p.at(x, y);
            px[0] = px[1] = px[2] = grey;
        }
    return writeBmp(root + "GrassData/densityMap1.bmp", p);
}

} // namespace assets
