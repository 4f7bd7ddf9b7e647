// The GL side of the blade and patch geometry: vertex arrays drawn on flush.
#define GL_GLEXT_PROTOTYPES
#include "grass/grass_geometry.h"

#include <GL/gl.h>

#include <vector>

namespace {

/// One vertex as GL reads it from the array: normal, texture, position.
struct GlVertex {
    float normal[3];
    float st[2];
    float position[3];
};

class GlSink final : public GeometrySink {
public:
    void begin(GrassPrimitive primitive) override
    {
        if (primitive != primitive_) flush();
        primitive_ = primitive;
        firsts_.push_back(GLint(vertices_.size()));
    }
    void vertex(float normalZ, float s, float t, const float p[3]) override
    {
        vertices_.push_back({{0, 0, normalZ}, {s, t}, {p[0], p[1], p[2]}});
    }
    void end() override { counts_.push_back(GLsizei(vertices_.size()) - firsts_.back()); }
    void flush() override
    {
        if (!counts_.empty()) {
            glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
            glEnableClientState(GL_NORMAL_ARRAY);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glEnableClientState(GL_VERTEX_ARRAY);
            glNormalPointer(GL_FLOAT, sizeof(GlVertex), vertices_[0].normal);
            glTexCoordPointer(2, GL_FLOAT, sizeof(GlVertex), vertices_[0].st);
            glVertexPointer(3, GL_FLOAT, sizeof(GlVertex), vertices_[0].position);
            glMultiDrawArrays(primitive_ == GrassPrimitive::QuadStrip ? GL_QUAD_STRIP : GL_QUADS, firsts_.data(),
                              counts_.data(), GLsizei(counts_.size()));
            glPopClientAttrib();
        }
        vertices_.clear();
        firsts_.clear();
        counts_.clear();
    }

private:
    GrassPrimitive primitive_ = GrassPrimitive::QuadStrip;
    std::vector<GlVertex> vertices_;
    std::vector<GLint> firsts_;
    std::vector<GLsizei> counts_;
};

} // namespace

GeometrySink& glGeometrySink()
{
    static GlSink sink;
    return sink;
}
