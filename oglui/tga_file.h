#pragma once
/// TGA pictures for the widgets' textures (true colour, 24 or 32 bits, raw or
/// run-length encoded, read by util/tga.h) as RGBA memory, without any GL.
#include <cstdint>
#include <string>
#include <vector>

/// An RGBA picture, 4 bytes per pixel, rows from the bottom up (GL's order).
struct OGLPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

/// Reads `path` into `out`, turned so that the first row is the bottom one.
/// Returns false for a missing, truncated, oversized or unsupported file;
/// `out` is then empty.
bool readTga(const std::string& path, OGLPicture& out);
