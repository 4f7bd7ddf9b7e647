#include "oglui/texture_manager.h"

#include "oglui/tga_file.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <map>

namespace {

std::map<std::string, GLuint> s_textures;

} // namespace

unsigned int oglTextureLoad(const std::string& fileName)
{
    if (const unsigned int id = oglTextureFind(fileName)) return id;
    OGLPicture picture;
    if (!readTga(fileName, picture)) return 0;

    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    // gluBuild2DMipmaps also rescales pictures whose sides are not powers of two.
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, picture.width, picture.height, GL_RGBA,
                      GL_UNSIGNED_BYTE, picture.rgba.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    glBindTexture(GL_TEXTURE_2D, GLuint(previous));
    s_textures[fileName] = id;
    return id;
}

unsigned int oglTextureFind(const std::string& fileName)
{
    const auto it = s_textures.find(fileName);
    return it == s_textures.end() ? 0 : it->second;
}

void oglTextureReleaseAll()
{
    for (const auto& entry : s_textures) glDeleteTextures(1, &entry.second);
    s_textures.clear();
}
