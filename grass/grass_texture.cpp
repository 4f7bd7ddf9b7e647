// Pixel operations on the grass textures and the texture setters. No GL here:
// the setters leave the GL work to prepareGrassTextures (grass_texture_draw.cpp).
#include "grass/grass_texture.h"
#include "util/number.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "util/random.h"

namespace {

/// Replaces the texture's buffer with a new[] copy of `bytes`.
void adoptPixels(Texture& texture, const std::vector<unsigned char>& bytes)
{
    delete[] texture.pixels;
    texture.pixels = new unsigned char[bytes.size()];
    std::memcpy(texture.pixels, bytes.data(), bytes.size());
}

size_t byteCount(const Texture& texture)
{
    return size_t(texture.width) * size_t(texture.height) * size_t(texture.bytesPerPixel());
}

/// Calls `visit(index)` for each of the eight neighbours of the pixel at byte
/// index `i` that pass their bound test. The tests compare flat byte offsets
/// only, so the left and right neighbours wrap onto the next or previous row.
template <typename Visit>
void forNeighbours(long i, long b, long row, long total, Visit visit)
{
    if (i + b < total) visit(i + b);
    if (i - b > 0) visit(i - b);
    if (i + row < total) visit(i + row);
    if (i + row + b < total) visit(i + row + b);
    if (i + row - b < total) visit(i + row - b);
    if (i - row > 0) visit(i - row);
    if (i - row + b > 0) visit(i - row + b);
    if (i - row - b > 0) visit(i - row - b);
}

} // namespace

// [SECTION] Pixel operations

bool addAlphaChannel(Texture& texture, uint8_t alpha)
{
    if (!texture.pixels) {
        std::puts("Warning:Texture: unable to add alpha channel : no map;");
        return false;
    }
    const size_t count = size_t(texture.width) * size_t(texture.height);
    if (!texture.hasAlpha) {
        std::vector<unsigned char> rgba(count * 4);
        for (size_t p = 0; p < count; ++p) std::memcpy(&rgba[p * 4], &texture.pixels[p * 3], 3);
        adoptPixels(texture, rgba);
        texture.hasAlpha = 1;
    }
    for (size_t p = 0; p < count; ++p) texture.pixels[p * 4 + 3] = alpha;
    return true;
}

bool decreaseOpacity(Texture& texture, float coef)
{
    if (!texture.pixels) {
        std::puts("Warning:Texture: unable to decrease opacity : map==NULL;");
        return false;
    }
    if (!(coef > 0 && coef <= 1)) {
        std::puts("Warning:Texture: unable to decrease opacity : coef not in ]0,1];");
        return false;
    }
    if (!texture.hasAlpha) {
        std::puts("Warning:Texture: unable to decrease opacity : no alpha channel;");
        return false;
    }
    const int w = texture.width;
    const int n = int(coef * (w / 2));
    const size_t count = size_t(w) * size_t(texture.height);
    for (size_t p = 0; p < count; ++p) {
        const int x = int(p % size_t(w));
        unsigned char& a = texture.pixels[p * 4 + 3];
        if (x < n)
            a = (unsigned char)(float(x) / float(n) * a);
        else if (x > w - n - 1)
            a = (unsigned char)((1.0f - float(x - (w - n - 1)) / float(n)) * a);
    }
    return true;
}

bool filterChannel(Texture& texture, int channel, int centreWeight)
{
    if (!texture.pixels) {
        std::puts("Warning:Texture: unable to filtering channel :no map;");
        return false;
    }
    if (channel < 0 || channel > 3) {
        std::puts("Warning:Texture: unable to filtering channel :channel not in [0,3];");
        return false;
    }
    if (channel == 3 && !texture.hasAlpha) {
        std::puts("Warning:Texture: unable to filtering channel 3: no alpha channel;");
        return false;
    }
    if (centreWeight < 1) {
        std::puts("Warning:Texture: unable to filtering channel : coefLastValue<1;");
        return false;
    }
    const long b = texture.bytesPerPixel();
    const long row = long(texture.width) * b;
    const long total = long(byteCount(texture));
    const unsigned char* in = texture.pixels;
    std::vector<unsigned char> out(in, in + total);
    for (long i = 0; i < total; i += b) {
        int sum = centreWeight * in[i + channel];
        int weight = centreWeight;
        forNeighbours(i, b, row, total, [&](long k) {
            sum += in[k + channel];
            ++weight;
        });
        out[i + channel] = (unsigned char)(sum / weight);
    }
    adoptPixels(texture, out);
    return true;
}

bool extendColor(Texture& texture, int passes)
{
    if (!texture.pixels) {
        std::puts("Warning:Texture: unable to extend color :no map;");
        return false;
    }
    const long b = texture.bytesPerPixel();
    const long row = long(texture.width) * b;
    const long total = long(byteCount(texture));
    for (int pass = 0; pass < passes; ++pass) {
        const unsigned char* in = texture.pixels;
        std::vector<unsigned char> out(in, in + total);
        bool changed = false;
        for (long i = 0; i < total; i += b) {
            if (in[i] + in[i + 1] + in[i + 2] != 0) continue;
            forNeighbours(i, b, row, total, [&](long k) {
                for (int c = 0; c < 3; ++c)
                    if (in[k + c] > out[i + c]) {
                        out[i + c] = in[k + c];
                        changed = true;
                    }
            });
        }
        // A pass that changes nothing gives the same picture again, and so
        // would every pass after it: a wide texture asks for many.
        if (!changed) break;
        adoptPixels(texture, out);
    }
    return true;
}

bool concatMap(Texture& texture, const unsigned char* src, int height, int width, bool hasAlpha)
{
    if (!src) {
        std::puts("Warning:Texture: unable to concat map : no map;");
        return false;
    }
    const size_t bpp = hasAlpha ? 4 : 3;
    if (!texture.pixels) {
        texture.width = width;
        texture.height = height;
        texture.hasAlpha = hasAlpha ? 1 : 0;
        adoptPixels(texture, std::vector<unsigned char>(src, src + size_t(width) * size_t(height) * bpp));
        return true;
    }
    if (height != texture.height) {
        std::puts("Warning:Texture: unable to concat map : rows!=rows;");
        return false;
    }
    if ((texture.hasAlpha != 0) != hasAlpha) {
        std::puts("Warning:Texture: unable to concat map : channel!=channel;");
        return false;
    }
    const size_t ownRow = size_t(texture.width) * bpp;
    const size_t srcRow = size_t(width) * bpp;
    std::vector<unsigned char> joined((ownRow + srcRow) * size_t(height));
    for (size_t y = 0; y < size_t(height); ++y) {
        std::memcpy(&joined[y * (ownRow + srcRow)], &texture.pixels[y * ownRow], ownRow);
        std::memcpy(&joined[y * (ownRow + srcRow) + ownRow], &src[y * srcRow], srcRow);
    }
    adoptPixels(texture, joined);
    texture.width += width;
    return true;
}

bool concatMap(Texture& texture, const Texture& src)
{
    return concatMap(texture, src.pixels, src.height, src.width, src.hasAlpha != 0);
}

int textureBladeUnit(int bladesPerPatch)
{
    const int unit = (unsigned char)(bladesPerPatch / 4);
    return unit > 1 ? unit : 1;
}

// [SECTION] Blade picture and setters

void loadTexture3D(GrassField& field, const char* fileName)
{
    // Copy first: the name may be the field's own texture3DFile.
    char name[sizeof field.texture3DFile];
    std::snprintf(name, sizeof name, "%s", fileName ? fileName : "");
    std::snprintf(field.texture3DFile, sizeof field.texture3DFile, "%s", name);
    // Read into a scratch record so that a failed read leaves the current
    // blade picture (and any upload still pending) in place.
    Texture loaded;
    if (!loaded.loadMap(name)) return;
    addAlphaChannel(loaded, 255);
    decreaseOpacity(loaded, field.antialiasing3D);
    std::swap(field.picture3D.pixels, loaded.pixels);
    field.picture3D.width = loaded.width;
    field.picture3D.height = loaded.height;
    field.picture3D.hasAlpha = loaded.hasAlpha;
    // The upload and the rebuild of the textures drawn with it wait for the next draw.
    field.texturesReady = false;
}

void setTexture3D(GrassField& field, bool on)
{
    field.texture3D = on;
    field.texturesReady = false;
}

void setTexture3DFile(GrassField& field, const char* fileName) { loadTexture3D(field, fileName); }

void setAntialiasing3D(GrassField& field, float value)
{
    field.antialiasing3D = value;
    // No picture named yet (a scene being applied names it next): nothing to reload.
    if (field.texture3DFile[0] != '\0') loadTexture3D(field, field.texture3DFile);
}

void setAntialiasing2D5(GrassField& field, float value)
{
    // Bounded: ten times it is converted to an integer.
    field.antialiasing2D5 = util::bounded(value);
    field.texture2D5Stale = true;
}

void setSizeTexture2D5(GrassField& field, int width, int height)
{
    field.sizeX2D5 = width;
    field.sizeY2D5 = height;
    field.texture2D5Stale = true;
}

void setSeed2D5(GrassField& field, int seed)
{
    field.seed2D5 = seed;
    field.texture2D5Stale = true;
}

void newSeed2D5(GrassField& field)
{
    field.seed2D5 = int(1000.0f * util::randomUnit());
    field.texture2D5Stale = true;
}
