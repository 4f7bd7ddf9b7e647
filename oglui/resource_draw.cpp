#include "oglui/resource.h"
#include "oglui/texture_manager.h"

#include <cstdio>

unsigned int OGLIResourceTexture::textureId() const
{
    // A picture that failed once is not read again every frame.
    if (m_pFile.empty() || m_pFailed) return 0;
    const unsigned int id = oglTextureLoad(m_pFile);
    if (!id) {
        std::printf("WARNING: texture file %s not found or invalid\n", m_pFile.c_str());
        m_pFailed = true;
    }
    return id;
}
