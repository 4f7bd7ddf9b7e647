#pragma once
/// Reading TGA pictures (true colour, 24 or 32 bits, raw or run-length
/// encoded) into RGBA memory, without any GL.
#include <cstdint>
#include <string>
#include <vector>

/// An RGBA picture, 4 bytes per pixel, rows from the bottom up (GL's order).
struct OGLPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

/// Reads `path` into `out`. Returns false, with the reason in `why` when
/// given, for a missing, truncated or unsupported file; `out` is then empty.
bool readTga(const std::string& path, OGLPicture& out, std::string* why = nullptr);
