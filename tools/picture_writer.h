#pragma once
/// Minimal writers for the pictures of the run folder: 24-bit BMP and
/// uncompressed 24/32-bit TGA, from rows of 8-bit channels.
#include <cstdint>
#include <string>
#include <vector>

namespace assets {

/// A picture in memory: `channels` (3 = RGB, 4 = RGBA) bytes per pixel,
/// rows from the top down.
struct Picture {
    int width = 0;
    int height = 0;
    int channels = 3;
    std::vector<uint8_t> pixels;

    Picture(int w, int h, int c) : width(w), height(h), channels(c), pixels(size_t(w) * h * c, 0) {}
    uint8_t* at(int x, int y) { return &pixels[(size_t(y) * width + x) * channels]; }
};

/// Writes `p` as a 24-bit BMP (alpha dropped). Returns false on an I/O error.
bool writeBmp(const std::string& path, const Picture& p);

/// Writes `p` as an uncompressed TGA, 24 or 32 bits as its channels say.
bool writeTga(const std::string& path, const Picture& p);

constexpr float TWO_PI = 6.28318531f;

/// 0 below a, 1 above b, a smooth ramp between.
float smoothstep(float a, float b, float t);

/// Value noise in [0, 1], smooth, tiling with period `period` cells.
float tiledNoise(float x, float y, int period, unsigned seed);

} // namespace assets
