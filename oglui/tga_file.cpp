#include "oglui/tga_file.h"

#include <cstdio>
#include <memory>

namespace {

// Larger pictures are refused: a corrupt header must not make us allocate gigabytes.
constexpr int MAX_SIDE = 16384;

bool fail(OGLPicture& out, std::string* why, const char* reason)
{
    out = OGLPicture();
    if (why) *why = reason;
    return false;
}

} // namespace

bool readTga(const std::string& path, OGLPicture& out, std::string* why)
{
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!f) return fail(out, why, "cannot open the file");
    uint8_t h[18];
    if (std::fread(h, 1, 18, f.get()) != 18) return fail(out, why, "truncated header");
    const int idLength = h[0], colourMapType = h[1], imageType = h[2];
    const int width = h[12] | (h[13] << 8), height = h[14] | (h[15] << 8);
    const int bits = h[16], descriptor = h[17];
    if (colourMapType != 0 || (imageType != 2 && imageType != 10))
        return fail(out, why, "only true-colour pictures are read");
    if (bits != 24 && bits != 32) return fail(out, why, "only 24 and 32 bits per pixel are read");
    if (width <= 0 || height <= 0 || width > MAX_SIDE || height > MAX_SIDE)
        return fail(out, why, "bad picture size");
    if (std::fseek(f.get(), idLength, SEEK_CUR) != 0) return fail(out, why, "truncated header");

    const int bpp = bits / 8;
    const size_t count = size_t(width) * height;
    std::vector<uint8_t> raw(count * bpp);
    if (imageType == 2) {
        if (std::fread(raw.data(), 1, raw.size(), f.get()) != raw.size())
            return fail(out, why, "truncated pixel data");
    } else {
        size_t done = 0;
        while (done < count) {
            const int packet = std::fgetc(f.get());
            if (packet == EOF) return fail(out, why, "truncated pixel data");
            size_t n = size_t(packet & 0x7F) + 1;
            if (n > count - done) return fail(out, why, "run-length packet past the picture's end");
            uint8_t* dst = &raw[done * bpp];
            if (packet & 0x80) {
                if (std::fread(dst, 1, bpp, f.get()) != size_t(bpp)) return fail(out, why, "truncated pixel data");
                for (size_t i = 1; i < n; ++i)
                    for (int c = 0; c < bpp; ++c) dst[i * bpp + c] = dst[c];
            } else if (std::fread(dst, 1, n * bpp, f.get()) != n * bpp) {
                return fail(out, why, "truncated pixel data");
            }
            done += n;
        }
    }

    out.width = width;
    out.height = height;
    out.rgba.assign(count * 4, 255);
    const bool topDown = descriptor & 0x20;
    const bool rightToLeft = descriptor & 0x10;
    for (int y = 0; y < height; ++y) {
        const int dstY = topDown ? height - 1 - y : y;
        for (int x = 0; x < width; ++x) {
            const int dstX = rightToLeft ? width - 1 - x : x;
            const uint8_t* s = &raw[(size_t(y) * width + x) * bpp];
            uint8_t* d = &out.rgba[(size_t(dstY) * width + dstX) * 4];
            d[0] = s[2];  // stored as BGR(A)
            d[1] = s[1];
            d[2] = s[0];
            if (bpp == 4) d[3] = s[3];
        }
    }
    return true;
}
