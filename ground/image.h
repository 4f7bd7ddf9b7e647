#pragma once
/// Pictures read from 24-bit BMP, binary PPM and uncompressed TGA files, and
/// the OpenGL texture objects made from them. This header carries no GL: the
/// texture names are plain unsigned ints and the GL side lives in image_gl.cpp.
#include "util/tga.h"

#include <cstdint>

/// Largest pixel buffer a reader accepts; a header asking for more is hostile
/// or corrupt.
using util::MAX_PICTURE_BYTES;

/// An RGB picture and its texture object. Pixel (x, y) lies at byte
/// (x + y·width)·3, rows packed without padding and kept in file order (BMP:
/// bottom row first, PPM: top row first). Owns both the buffer and the texture.
class Image {
public:
    int32_t width = 0;
    int32_t height = 0;
    unsigned int texName = 0;         ///< GL texture object, 0 when none
    unsigned char* pixels = nullptr;  ///< width·height·3 bytes (new[]), or null

    Image() = default;
    /// Releases the pixels and deletes the texture object (needs the context
    /// that made it, when there is one).
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    /// Releases the old pixels and reads a ".bmp" or ".ppm" file (the
    /// extension is compared case-sensitively). True when pixels were loaded.
    bool loadMap(const char* fileName);
    /// Uploads the pixels into a new texture object (repeat wrapping, linear
    /// filters; with `mipmap`, nearest-mipmap-nearest minification and a full
    /// mipmap chain). Replaces any previous texture. Needs a current GL context.
    void makeTexture(bool mipmap);
    /// Releases the pixels; the texture object stays.
    void freeData();
    /// Deletes the texture object, if any. Needs a current GL context.
    void deleteTexture();
};

/// A picture that may carry alpha (the grass textures and density map).
/// Plain fields so that picture operations can work on them directly.
class Texture {
public:
    int32_t width = 0;
    int32_t height = 0;
    unsigned char hasAlpha = 0;       ///< 1: 4 bytes per pixel RGBA, 0: 3 bytes RGB
    unsigned int texName = 0;         ///< GL texture object, 0 when none
    unsigned char* pixels = nullptr;  ///< width·height·(3 or 4) bytes (new[]), or null

    Texture() = default;
    /// Releases the pixels. The texture object is left to its owner
    /// (`deleteTexture`), who knows whether a context is current.
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    /// Bytes per pixel: 4 with alpha, 3 without.
    int bytesPerPixel() const { return hasAlpha ? 4 : 3; }
    /// Releases the old pixels and reads a ".bmp", ".ppm" or ".tga" file
    /// (case-sensitive). On failure prints one warning and returns false.
    bool loadMap(const char* fileName);
    /// Uploads the pixels into a new texture object with the given internal
    /// format (GL enum value), clamped wrapping and linear filters; with
    /// `mipmap`, nearest-mipmap-nearest minification and a mipmap chain.
    /// Does nothing without pixels. Needs a current GL context.
    void makeTexture(int internalFormat, bool mipmap);
    /// Releases the pixels; the texture object stays.
    void freeData();
    /// Deletes the texture object, if any. Needs a current GL context.
    void deleteTexture();
};

/// Readers: they report through the record's `pixels` (null on failure).
/// The `Image` BMP reader prints its failures; the `Texture` readers are silent.
void loadBMP(Image& image, const char* fileName);
void loadPPM(Image& image, const char* fileName);
void loadBMP(Texture& texture, const char* fileName);
void loadPPM(Texture& texture, const char* fileName);
void loadTGA(Texture& texture, const char* fileName);
