#include "tools/picture_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace assets {

namespace {

void put16(std::vector<uint8_t>& b, unsigned v) { b.push_back(v & 0xFF); b.push_back((v >> 8) & 0xFF); }
void put32(std::vector<uint8_t>& b, uint32_t v) { put16(b, v & 0xFFFF); put16(b, v >> 16); }

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

float hash01(int x, int y, unsigned seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return float((h ^ (h >> 16)) & 0xFFFFFF) / float(0xFFFFFF);
}

} // namespace

bool writeBmp(const std::string& path, const Picture& p)
{
    const int rowBytes = (p.width * 3 + 3) & ~3;
    std::vector<uint8_t> b;
    b.push_back('B'); b.push_back('M');
    put32(b, 54 + rowBytes * p.height); put32(b, 0); put32(b, 54);
    put32(b, 40); put32(b, p.width); put32(b, p.height); put16(b, 1); put16(b, 24);
    put32(b, 0); put32(b, rowBytes * p.height); put32(b, 2835); put32(b, 2835); put32(b, 0); put32(b, 0);
    for (int y = p.height - 1; y >= 0; --y) {  // BMP rows go from the bottom up
        const uint8_t* row = &p.pixels[size_t(y) * p.width * p.channels];
        for (int x = 0; x < p.width; ++x) {
            const uint8_t* px = row + x * p.channels;
            b.push_back(px[2]); b.push_back(px[1]); b.push_back(px[0]);
        }
        for (int pad = p.width * 3; pad < rowBytes; ++pad) b.push_back(0);
    }
    return writeFile(path, b);
}

bool writeTga(const std::string& path, const Picture& p)
{
    std::vector<uint8_t> b = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    put16(b, p.width); put16(b, p.height);
    b.push_back(uint8_t(p.channels * 8));
    b.push_back(p.channels == 4 ? 8 : 0);  // alpha bits; rows from the bottom up
    for (int y = p.height - 1; y >= 0; --y)
        for (int x = 0; x < p.width; ++x) {
            const uint8_t* px = &p.pixels[(size_t(y) * p.width + x) * p.channels];
            b.push_back(px[2]); b.push_back(px[1]); b.push_back(px[0]);
            if (p.channels == 4) b.push_back(px[3]);
        }
    return writeFile(path, b);
}

float smoothstep(float a, float b, float t)
{
    t = std::clamp((t - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

float tiledNoise(float x, float y, int period, unsigned seed)
{
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const float fx = x - x0, fy = y - y0;
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    auto corner = [&](int cx, int cy) {
        return hash01(((cx % period) + period) % period, ((cy % period) + period) % period, seed);
    };
    const float a = corner(x0, y0) + (corner(x0 + 1, y0) - corner(x0, y0)) * sx;
    const float c = corner(x0, y0 + 1) + (corner(x0 + 1, y0 + 1) - corner(x0, y0 + 1)) * sx;
    return a + (c - a) * sy;
}

} // namespace assets
