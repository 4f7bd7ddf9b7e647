#include "app/sky.h"

std::array<SkyVertex, 6> skyFan(float sizeX, float sizeY, float maxHeight)
{
    const float r = SKY_HORIZON[0], g = SKY_HORIZON[1], b = SKY_HORIZON[2];
    return {{
        {sizeX / 2, sizeY / 2, 100 + maxHeight, 0.3f, 0.35f, 0.9f},
        {-100, -100, -1, r, g, b},
        {sizeX + 100, -100, -1, r, g, b},
        {sizeX + 100, sizeY + 100, -1, r, g, b},
        {-100, sizeY + 100, -1, r, g, b},
        {-100, -100, -1, r, g, b},
    }};
}
