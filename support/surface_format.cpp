#include "support/surface_format.h"

QSurfaceFormat compatibilityFormat(bool vsync)
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    format.setSwapInterval(vsync ? 1 : 0);
    return format;
}
