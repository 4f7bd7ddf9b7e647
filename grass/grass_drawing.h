#pragma once
/// The drawing side's record of a grass field: the camera of the last view
/// update, the blade streams, the texture objects, the draw order and the
/// triangle count. Only the drawing files (view update, geometry, textures,
/// passes) look inside; the field owns one and hands it out through
/// `GrassField::drawing()`. No GL here: texture names are plain unsigned ints.
#include <cstdint>
#include <vector>

#include "ground/image.h"

/// 1000 pre-drawn numbers in [0, 1] and a cursor: the per-patch blade streams.
struct RandomTable {
    static constexpr int SIZE = 1000;
    float values[SIZE] = {};
    uint16_t cursor = 0;

    /// Refills the table from the process-wide generator (util/random.h).
    void fill();
    /// Places the cursor; the next `next` returns the value after it.
    void setCursor(int index) { cursor = static_cast<uint16_t>(index); }
    /// Advances the cursor (wrapping past 999 to 0) and returns the value there.
    float next()
    {
        cursor = cursor + 1 <= SIZE - 1 ? static_cast<uint16_t>(cursor + 1) : 0;
        return values[cursor];
    }
};

/// The camera as the grass sees it; filled by the view update each frame.
struct GrassView {
    float camX = 0, camY = 0, camZ = 0;
    float modelview[16] = {};  ///< column order, as read from GL
    float projection[16] = {};
    float clip[16] = {};       ///< projection x modelview
    float planes[6][4] = {};   ///< right, left, bottom, top, near, far; not normalised
    float sideX = 0, sideY = -1; ///< camera's right axis in world x, y
    /// The enhanced look: levels blended over a band of distance with
    /// hysteresis, shaded blades, a grass carpet under every patch.
    bool look = false;
};

/// What the drawing keeps between frames.
struct GrassDrawing {
    /// Draws the blade streams from the process-wide generator.
    GrassDrawing() { randomTable.fill(); }

    GrassView view;          ///< the camera of the last view update
    RandomTable randomTable; ///< the patches' blade streams
    Texture picture3D;       ///< the blade picture's texture object
    Texture picture2D5;      ///< the synthesised 2.5D texture
    Texture picture2D;       ///< the synthesised 2D texture
    uint32_t polygonCount = 0; ///< triangles drawn in the last frame
    // Scratch, kept to avoid reallocations every frame and every patch.
    std::vector<int> drawOrder;    ///< patch order of the last draw
    std::vector<float> bladePairs; ///< (u, v) pairs of the last 3D patch
};
