// Picture readers. They never trust a size read from a file: a picture must
// have positive sides and fit in MAX_PICTURE_BYTES before anything is
// allocated, and, except for a PPM raster, be wholly present in the file.
#include "ground/image.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>
#include <utility>

namespace {

/// What a reader hands back: a packed buffer of `channels` bytes per pixel.
struct Raster {
    int32_t width = 0;
    int32_t height = 0;
    int channels = 3;
    unsigned char* pixels = nullptr;
};

/// Closes the file on every way out of a reader.
struct FileCloser {
    FILE* file;
    ~FileCloser() { if (file) std::fclose(file); }
};

enum class BmpStatus { Ok, Open, Header, Signature, Compressed, Depth, Memory, Read };

uint32_t le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t le32(const unsigned char* p) { return le16(p) | (le16(p + 2) << 16); }

using util::bytesLeft;

bool sizeIsSane(int64_t width, int64_t height, int channels)
{
    // Sides are bounded first so that their product cannot overflow.
    return width > 0 && height > 0 && width <= MAX_PICTURE_BYTES && height <= MAX_PICTURE_BYTES
        && width * height <= MAX_PICTURE_BYTES / channels;
}

void swapRedBlue(unsigned char* pixels, int64_t count, int channels)
{
    for (int64_t i = 0; i < count; ++i) std::swap(pixels[i * channels], pixels[i * channels + 2]);
}

BmpStatus readBmp(const char* name, Raster& out, int& bits)
{
    FileCloser f{std::fopen(name, "rb")};
    if (!f.file) return BmpStatus::Open;
    unsigned char h[54];
    if (std::fread(h, 1, 54, f.file) != 54) return BmpStatus::Header;
    if (h[0] != 'B' || h[1] != 'M') return BmpStatus::Signature;
    if (le32(h + 30) != 0) return BmpStatus::Compressed;
    bits = int(le16(h + 28));
    if (bits != 24) return BmpStatus::Depth;
    // Top-down (negative height) and empty pictures are refused with the
    // memory message, as is any size beyond the bound.
    const int64_t width = int32_t(le32(h + 18)), height = int32_t(le32(h + 22));
    if (!sizeIsSane(width, height, 3)) return BmpStatus::Memory;
    const int64_t offset = le32(h + 10) ? le32(h + 10) : 54;
    const int64_t rowBytes = (width * 3 + 3) & ~int64_t(3);
    std::fseek(f.file, 0, SEEK_SET);
    // The last row's padding may be missing; its pixels may not.
    if (offset + rowBytes * (height - 1) + width * 3 > bytesLeft(f.file)) return BmpStatus::Read;
    unsigned char* pixels = new (std::nothrow) unsigned char[width * height * 3];
    if (!pixels) return BmpStatus::Memory;
    std::fseek(f.file, long(offset), SEEK_SET);
    for (int64_t row = 0; row < height; ++row) {
        if (std::fread(pixels + row * width * 3, 1, size_t(width * 3), f.file) != size_t(width * 3)
            || (row + 1 < height && std::fseek(f.file, long(rowBytes - width * 3), SEEK_CUR) != 0)) {
            delete[] pixels;
            return BmpStatus::Read;
        }
    }
    swapRedBlue(pixels, width * height, 3);
    out = Raster{int32_t(width), int32_t(height), 3, pixels};
    return BmpStatus::Ok;
}

/// Header tokens of a binary PPM: bytes with "#" comments turned into line ends.
struct PpmHeader {
    FILE* file;

    int readChar()
    {
        int c = std::getc(file);
        if (c == '#')
            do c = std::getc(file); while (c != EOF && c != '\n' && c != '\r');
        if (c == EOF) {
            std::printf("read error");
            return 0xFF;
        }
        return c;
    }

    int64_t readNumber()
    {
        int c;
        do c = readChar(); while (c == ' ' || c == '\t' || c == '\n' || c == '\r');
        if (c < '0' || c > '9') std::printf("read error");
        int64_t value = c - '0';
        // Capped both ways so that a run of digits cannot overflow (a stray
        // first byte makes the value negative); such sizes are refused later.
        for (c = readChar(); c >= '0' && c <= '9'; c = readChar())
            if (value < MAX_PICTURE_BYTES && value > -MAX_PICTURE_BYTES) value = value * 10 + (c - '0');
        return value;
    }
};

bool readPpm(const char* name, Raster& out)
{
    FileCloser f{std::fopen(name, "rb")};
    if (!f.file) return false;
    std::getc(f.file);
    if (std::getc(f.file) != '6') return false;
    PpmHeader header{f.file};
    const int64_t width = header.readNumber();
    const int64_t height = header.readNumber();
    const int64_t maxValue = header.readNumber();
    if (width + height == 0) return false;
    // Samples are single bytes: a deeper file would be misread.
    if (!sizeIsSane(width, height, 3) || maxValue < 1 || maxValue > 255) {
        std::printf("read error\n");
        return false;
    }
    const size_t bytes = size_t(width * height * 3);
    unsigned char* pixels = new (std::nothrow) unsigned char[bytes];
    if (!pixels) return false;
    // Raw reads: a sample of value '#' is a colour, not a comment. A short
    // raster keeps what it has, and the missing samples read as 255.
    const size_t read = std::fread(pixels, 1, bytes, f.file);
    const size_t missing = bytes - read;
    std::memset(pixels + read, 0xFF, missing);
    // One "read error" per missing byte, but a deep cut may not flood the console.
    if (missing > 16) {
        std::printf("read error: %zu bytes missing\n", missing);
    } else if (missing > 0) {
        for (size_t k = 0; k < missing; ++k) std::printf("read error");
        std::printf("\n");
    }
    out = Raster{int32_t(width), int32_t(height), 3, pixels};
    return true;
}

/// The shared TGA reader, raw files only; rows stay in file order (the
/// descriptor is not used).
bool readTga(const char* name, Raster& out)
{
    util::TgaPicture picture;
    if (!util::readTga(name, false, picture)) return false;
    unsigned char* pixels = new (std::nothrow) unsigned char[picture.pixels.size()];
    if (!pixels) return false;
    std::copy(picture.pixels.begin(), picture.pixels.end(), pixels);
    out = Raster{picture.width, picture.height, picture.channels, pixels};
    return true;
}

template <class Record>
void adopt(Record& record, const Raster& raster)
{
    delete[] record.pixels;
    record.pixels = raster.pixels;
    record.width = raster.width;
    record.height = raster.height;
}

/// True when `name` ends with the four characters `ext` (case-sensitive).
bool endsWith(const char* name, const char* ext)
{
    const size_t n = std::strlen(name);
    return n >= 4 && std::strcmp(name + n - 4, ext) == 0;
}

} // namespace

// [SECTION] Image

void loadBMP(Image& image, const char* fileName)
{
    Raster raster;
    int bits = 0;
    switch (readBmp(fileName, raster, bits)) {
    case BmpStatus::Ok: break;
    case BmpStatus::Open: std::printf("  error chargement BMP code 1\n"); break;
    case BmpStatus::Header: std::printf("  error chargement BMP code 2\n"); break;
    case BmpStatus::Signature: std::printf("  error chargement BMP code 3\n"); break;
    case BmpStatus::Compressed: std::printf("  error chargement BMP code 4\n"); break;
    case BmpStatus::Depth: std::printf("  error chargement BMP (not 24bits)  -%dbits\n", bits); break;
    case BmpStatus::Memory: std::printf("  error chargement BMP (memory)\n"); break;
    case BmpStatus::Read: std::printf("  error chargement BMP (read)\n"); break;
    }
    adopt(image, raster);
}

void loadPPM(Image& image, const char* fileName)
{
    Raster raster;
    readPpm(fileName, raster);
    adopt(image, raster);
}

Image::~Image()
{
    freeData();
    deleteTexture();
}

bool Image::loadMap(const char* fileName)
{
    freeData();
    const char* name = fileName ? fileName : "";
    if (endsWith(name, ".ppm"))
        loadPPM(*this, name);
    else if (endsWith(name, ".bmp"))
        loadBMP(*this, name);
    else
        std::cerr << "Image::loadMap: wrong filename " << name << std::endl;
    return pixels != nullptr;
}

void Image::freeData()
{
    delete[] pixels;
    pixels = nullptr;
}

// [SECTION] Texture

void loadBMP(Texture& texture, const char* fileName)
{
    Raster raster;
    int bits = 0;
    readBmp(fileName, raster, bits);
    adopt(texture, raster);
    texture.hasAlpha = 0;
}

void loadPPM(Texture& texture, const char* fileName)
{
    Raster raster;
    readPpm(fileName, raster);
    adopt(texture, raster);
    texture.hasAlpha = 0;
}

void loadTGA(Texture& texture, const char* fileName)
{
    Raster raster;
    readTga(fileName, raster);
    adopt(texture, raster);
    texture.hasAlpha = raster.channels == 4 ? 1 : 0;
}

Texture::~Texture() { freeData(); }

bool Texture::loadMap(const char* fileName)
{
    freeData();
    const char* name = fileName ? fileName : "";
    if (endsWith(name, ".ppm"))
        loadPPM(*this, name);
    else if (endsWith(name, ".bmp"))
        loadBMP(*this, name);
    else if (endsWith(name, ".tga"))
        loadTGA(*this, name);
    if (!pixels) {
        std::printf("Warning:Texture: unable to load map %s;\n", name);
        return false;
    }
    return true;
}

void Texture::freeData()
{
    delete[] pixels;
    pixels = nullptr;
}
