#pragma once
/// The one way pictures become GL textures, for the ground's images and the
/// widgets' pictures alike. Needs a current GL context.

namespace util {

/// Makes a texture object of `width` × `height` pixels, rows packed without
/// padding in `format` (GL_RGB, GL_RGBA), stored as `internalFormat`, with
/// `wrap` on both axes, linear magnification and `minFilter`. With `mipmap`
/// its mipmaps are built too (which also rescales sides that are not powers
/// of two). The new texture is left bound; the pixel unpacking is restored.
unsigned int uploadTexture(const unsigned char* pixels, int width, int height, int internalFormat,
                           unsigned int format, int wrap, int minFilter, bool mipmap);

} // namespace util
