// Texture objects made from loaded pictures.
#include "ground/image.h"

#include "util/texture_upload.h"

#include <GL/gl.h>

namespace {

void release(unsigned int& texName)
{
    if (texName == 0) return;
    glDeleteTextures(1, &texName);
    texName = 0;
}

void upload(unsigned int& texName, const unsigned char* pixels, int width, int height,
            GLint internalFormat, GLenum format, GLint wrap, bool mipmap)
{
    if (!pixels) return;
    release(texName);
    texName = util::uploadTexture(pixels, width, height, internalFormat, format, wrap,
                                  mipmap ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR, mipmap);
}

} // namespace

void Image::makeTexture(bool mipmap)
{
    upload(texName, pixels, width, height, GL_RGB, GL_RGB, GL_REPEAT, mipmap);
}

void Image::deleteTexture() { release(texName); }

void Texture::makeTexture(int internalFormat, bool mipmap)
{
    upload(texName, pixels, width, height, internalFormat, hasAlpha ? GL_RGBA : GL_RGB, GL_CLAMP, mipmap);
}

void Texture::deleteTexture() { release(texName); }
