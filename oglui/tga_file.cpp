#include "oglui/tga_file.h"

#include "util/tga.h"

bool readTga(const std::string& path, OGLPicture& out)
{
    out = OGLPicture();
    util::TgaPicture file;
    if (!util::readTga(path, true, file)) return false;
    const int width = file.width, height = file.height, channels = file.channels;
    out.width = width;
    out.height = height;
    out.rgba.assign(size_t(width) * height * 4, 255);
    for (int y = 0; y < height; ++y) {
        const int dstY = file.topDown ? height - 1 - y : y;
        for (int x = 0; x < width; ++x) {
            const int dstX = file.rightToLeft ? width - 1 - x : x;
            const uint8_t* s = &file.pixels[(size_t(y) * width + x) * channels];
            uint8_t* d = &out.rgba[(size_t(dstY) * width + dstX) * 4];
            for (int c = 0; c < channels; ++c) d[c] = s[c];
        }
    }
    return true;
}
