#pragma once
/// The sky: one triangle fan from a point high above the ground's centre
/// down to a rim just below the ground, extended by 100 m on every side.
#include <array>

/// One vertex of the sky fan: position, then colour.
struct SkyVertex {
    float x, y, z;
    float r, g, b;
};

/// The colour of the sky's rim, where it meets the ground: the fog's colour.
constexpr float SKY_HORIZON[3] = {0.8f, 0.85f, 1.0f};

/// The fan's six vertices: the centre, then the rim closed on its first corner.
/// sizeX, sizeY and maxHeight are the ground's.
std::array<SkyVertex, 6> skyFan(float sizeX, float sizeY, float maxHeight);
