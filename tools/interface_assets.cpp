// Pictures of the tree editing panel: the value-control handle, the window
// body texture, the check-button icons and the file dialog's icons.
#include "tools/assets.h"
#include "tools/picture_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace assets {

namespace {

void put(Picture& p, int x, int y, int r, int g, int b, int a = 255)
{
    if (x < 0 || y < 0 || x >= p.width || y >= p.height) return;
    uint8_t* px = p.at(x, y);
    px[0] = uint8_t(r); px[1] = uint8_t(g); px[2] = uint8_t(b); px[3] = uint8_t(a);
}

// A filled triangle pointing up (dir = -1) or down (dir = 1) with its tip at (cx, tipY).
void triangle(Picture& p, int cx, int tipY, int dir, int size, int r, int g, int b)
{
    for (int i = 0; i < size; ++i)
        for (int x = cx - i; x <= cx + i; ++x) put(p, x, tipY + dir * i, r, g, b);
}

// A knob 16 x 32: raised body, arrow up on the upper half, arrow down on the lower.
Picture key()
{
    Picture p(16, 32, 4);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool edge = x == 0 || y == 0 || x == 15 || y == 31;
            const bool corner = (x == 0 || x == 15) && (y == 0 || y == 31);
            const float shade = 1.0f - 0.5f * std::abs(x - 7.5f) / 7.5f;  // rounded look
            if (corner) continue;
            if (edge) put(p, x, y, 20, 28, 22);
            else put(p, x, y, int(80 * shade + 30), int(110 * shade + 35), int(85 * shade + 30));
        }
    for (int x = 2; x < 14; ++x) put(p, x, 15, 30, 40, 34), put(p, x, 16, 150, 175, 155);
    triangle(p, 7, 5, 1, 5, 235, 240, 225);
    triangle(p, 8, 5, 1, 5, 235, 240, 225);
    triangle(p, 7, 26, -1, 5, 235, 240, 225);
    triangle(p, 8, 26, -1, 5, 235, 240, 225);
    return p;
}

// Faint tiling grain, light so that the body colour tints it; slightly transparent.
Picture panel()
{
    Picture p(64, 64, 4);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const int v = int(215 + 40 * tiledNoise(x / 8.0f, y / 8.0f, 8, 11));
            put(p, x, y, v, v, v, 225);
        }
    return p;
}

Picture box(bool set)
{
    Picture p(16, 16, 4);
    for (int y = 1; y < 15; ++y)
        for (int x = 1; x < 15; ++x) {
            const bool edge = x == 1 || y == 1 || x == 14 || y == 14;
            if (edge) put(p, x, y, 190, 200, 185);
            else put(p, x, y, 18, 24, 20, 230);
        }
    if (set)  // a check mark
        for (int i = 0; i < 9; ++i) {
            const int x = 4 + i, y = i < 3 ? 8 + i : 10 - (i - 3) * 6 / 5;
            for (int t = 0; t < 2; ++t) put(p, x, y + t, 140, 230, 120);
        }
    return p;
}

Picture folder(bool up)
{
    Picture p(16, 16, 4);
    for (int y = 3; y < 14; ++y)
        for (int x = 1; x < 15; ++x) {
            if (y < 5 && x > 7) continue;  // the tab
            const bool edge = x == 1 || x == 14 || y == 3 || y == 13 || (y == 5 && x > 7);
            if (edge) put(p, x, y, 120, 80, 20);
            else put(p, x, y, 230, 185, 80);
        }
    if (up) {
        triangle(p, 8, 5, 1, 4, 60, 40, 10);
        for (int y = 8; y < 12; ++y) put(p, 8, y, 60, 40, 10), put(p, 7, y, 60, 40, 10);
    }
    return p;
}

Picture file()
{
    Picture p(16, 16, 4);
    for (int y = 1; y < 15; ++y)
        for (int x = 3; x < 13; ++x) {
            if (x > 8 && y < 1 + (x - 8)) continue;  // folded corner
            const bool edge = x == 3 || x == 12 || y == 1 || y == 14 || (x > 8 && y == 1 + (x - 8));
            if (edge) put(p, x, y, 90, 100, 95);
            else put(p, x, y, 240, 242, 235);
        }
    for (int y = 6; y < 13; y += 2)
        for (int x = 5; x < 11; ++x) put(p, x, y, 120, 160, 125);
    return p;
}

} // namespace

bool writeInterfaceAssets(const std::string& root)
{
    const std::string dir = root + "ForestInterfaceData/Buttons/";
    return writeTga(dir + "key.tga", key()) && writeTga(dir + "panel.tga", panel())
        && writeTga(dir + "checkset.tga", box(true)) && writeTga(dir + "checkclear.tga", box(false))
        && writeTga(dir + "folder.tga", folder(false)) && writeTga(dir + "parent.tga", folder(true))
        && writeTga(dir + "file.tga", file());
}

} // namespace assets
