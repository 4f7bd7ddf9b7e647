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
    void end() override
    {
        const GLuint first = GLuint(firsts_.back()), last = GLuint(vertices_.size());
        counts_.push_back(GLsizei(last - first));
        // Each quad a b d c of a strip as the two triangles, in the order and
        // with the diagonal, that the renderer makes of it: the pixels stay the same.
        if (primitive_ == GrassPrimitive::QuadStrip)
            for (GLuint d = first + 3; d < last; d += 2) indices_.insert(indices_.end(), {d - 3, d - 2, d, d - 1, d - 3, d});
    }
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
            GLint modes[2];
            glGetIntegerv(GL_POLYGON_MODE, modes);
            if (primitive_ == GrassPrimitive::Quads) {
                // One draw, as immediate mode merges them: the renderer splits
                // them as it would have.
                glDrawArrays(GL_QUADS, 0, GLsizei(vertices_.size()));
            } else if (modes[0] == GL_FILL && modes[1] == GL_FILL) {
                glDrawRangeElements(GL_TRIANGLES, 0, GLuint(vertices_.size() - 1), GLsizei(indices_.size()),
                                    GL_UNSIGNED_INT, indices_.data());
            } else {
                // Outlines are those of the quads, not of their triangles.
                glMultiDrawArrays(GL_QUAD_STRIP, firsts_.data(), counts_.data(), GLsizei(counts_.size()));
            }
            glPopClientAttrib();
        }
        vertices_.clear();
        indices_.clear();
        firsts_.clear();
        counts_.clear();
    }

private:
    GrassPrimitive primitive_ = GrassPrimitive::QuadStrip;
    std::vector<GlVertex> vertices_;
    std::vector<GLuint> indices_;       // the strips' triangles, for filled drawing
    std::vector<GLint> firsts_;         // each primitive's first vertex and count, for outlines
    std::vector<GLsizei> counts_;
};

} // namespace

GeometrySink& glGeometrySink()
{
    static GlSink sink;
    return sink;
}
