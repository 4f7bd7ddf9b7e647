#include "tools/assets.h"
#include "tools/picture_writer.h"

#include <algorithm>
#include <cmath>

namespace assets {

namespace {

uint8_t toByte(float v) { return uint8_t(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); }

} // namespace

// The blade picture. A blade samples it across its width (s) at one row (t)
// chosen per blade, so the rows give the meadow its spread of shades: dark
// green at the bottom rows, light yellow-green at the top. Across a row the
// middle vein is a little lighter and the two long sides fade out in alpha.
bool writeGrassBladeAssets(const std::string& root)
{
    const int width = 64, height = 256;
    Picture blade(width, height, 4);
    for (int y = 0; y < height; ++y) {
        const float up = 1.0f - float(y) / float(height - 1);  // 0 at the base row, 1 at the tip row
        for (int x = 0; x < width; ++x) {
            const float across = std::fabs((x + 0.5f) / width * 2.0f - 1.0f);  // 0 on the vein, 1 at the edge
            const float vein = 0.12f * (1.0f - std::min(1.0f, across * 4.0f));
            const float streak = 0.08f * (tiledNoise(x * 0.25f, y * 0.05f, 16, 7u) - 0.5f);
            const float light = 0.45f + 0.55f * up + vein + streak;
            uint8_t* p = blade.at(x, y);
            p[0] = toByte((0.10f + 0.45f * up) * light);
            p[1] = toByte((0.42f + 0.40f * up) * light);
            p[2] = toByte(0.06f * light);
            p[3] = toByte((1.0f - across) / 0.2f);  // opaque except the outer tenth on each side
        }
    }
    return writeTga(root + "GrassData/grassBlade.tga", blade);
}

} // namespace assets
