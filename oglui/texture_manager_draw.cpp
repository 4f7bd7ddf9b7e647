#include "oglui/texture_manager.h"

#include "oglui/tga_file.h"
#include "util/texture_upload.h"

#include <GL/gl.h>
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
    const GLuint id = util::uploadTexture(picture.rgba.data(), picture.width, picture.height, GL_RGBA, GL_RGBA,
                                          GL_REPEAT, GL_LINEAR_MIPMAP_LINEAR, true);
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
