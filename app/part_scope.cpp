#define GL_GLEXT_PROTOTYPES
#include "app/part_scope.h"
#include <GL/gl.h>
#include <GL/glext.h>

namespace {
GLuint queries[2] = {0, 0};
}

PartScope::PartScope(FrameProfile* profile, FramePart part, int trianglesPerPrimitive)
    : profile_(profile), part_(part), trianglesPerPrimitive_(trianglesPerPrimitive)
{
    if (!profile_) return;
    glFinish();
    if (!queries[0]) glGenQueries(2, queries);
    glBeginQuery(GL_PRIMITIVES_GENERATED, queries[0]);
    glBeginQuery(GL_SAMPLES_PASSED, queries[1]);
    start_ = util::ProcessTime::now();
}

PartScope::~PartScope()
{
    if (!profile_) return;
    glEndQuery(GL_PRIMITIVES_GENERATED);
    glEndQuery(GL_SAMPLES_PASSED);
    glFinish();
    GLuint64 primitives = 0, fragments = 0;
    glGetQueryObjectui64v(queries[0], GL_QUERY_RESULT, &primitives);
    glGetQueryObjectui64v(queries[1], GL_QUERY_RESULT, &fragments);
    const util::ProcessTime end = util::ProcessTime::now();
    profile_->add(part_, end.wall - start_.wall - movedWall_, end.cpu - start_.cpu - movedCpu_,
                  static_cast<long>(primitives) * trianglesPerPrimitive_ + extraTriangles_,
                  static_cast<long>(fragments));
}

void PartScope::moveOut(FramePart sub, double wallMs, double cpuMs)
{
    if (!profile_) return;
    profile_->add(sub, wallMs, cpuMs);
    movedWall_ += wallMs;
    movedCpu_ += cpuMs;
}
