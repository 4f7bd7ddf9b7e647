// Texture objects made from loaded pictures.
#include "ground/image.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

void upload(unsigned int& texName, const unsigned char* pixels, int width, int height,
            GLint internalFormat, GLenum format, GLint wrap, bool mipmap)
{
    if (!pixels) return;
    if (texName != 0) {
        glDeleteTextures(1, &texName);
        texName = 0;
    }
    // Rows are packed without padding; restore the caller's unpacking after.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, &texName);
    glBindTexture(GL_TEXTURE_2D, texName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    if (mipmap) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
        gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormat, width, height, format, GL_UNSIGNED_BYTE, pixels);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
    }
    glPopClientAttrib();
}

void release(unsigned int& texName)
{
    if (texName == 0) return;
    glDeleteTextures(1, &texName);
    texName = 0;
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
