// The GL side of the blade and patch geometry: immediate-mode emission.
#include "grass/grass_geometry.h"

#include <GL/gl.h>

namespace {

class GlSink final : public GeometrySink {
public:
    void begin(GrassPrimitive primitive) override
    {
        glBegin(primitive == GrassPrimitive::QuadStrip ? GL_QUAD_STRIP : GL_QUADS);
    }
    void vertex(float normalZ, float s, float t, const float p[3]) override
    {
        glNormal3f(0, 0, normalZ);
        glTexCoord2f(s, t);
        glVertex3fv(p);
    }
    void end() override { glEnd(); }
};

} // namespace

GeometrySink& glGeometrySink()
{
    static GlSink sink;
    return sink;
}
