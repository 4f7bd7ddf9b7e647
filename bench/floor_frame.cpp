// The floor for a frame of the meadow on this renderer: the same number of
// triangles, lit, textured, depth- and alpha-tested, covering the screen as
// many times over as the scene's fragments, drawn from one indexed vertex
// buffer at 780 × 580. Nothing the scene does can be cheaper, so the scene's
// frame time over this one says how much of it is overhead. The floor is
// drawn through the viewer's kind of widget, which renders into its own
// framebuffer that is then composed into the window, or straight into a window.
//
//   floor_frame widget|window TRIANGLES SCREENS [FRAMES]
//
// prints "floor: widget|window, frames N, median X ms, p95 Y ms, triangles T, screens S".
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <malloc.h>

#include <QApplication>
#include <QOpenGLWidget>
#include <QOpenGLWindow>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "frame_times.h"
#include "util/texture_upload.h"

namespace {

struct Vertex {
    float position[3];
    float normal[3];
    float uv[2];
};

/// The vertices and the indexed triangles of all layers.
struct Mesh {
    std::vector<Vertex> vertices;
    std::vector<GLuint> indices;
};

/// About `cells` cell pairs in a grid over x in [-1, 1], y in [-1, top], at depth z.
void appendLayer(Mesh& mesh, int cells, float top, float z)
{
    const float height = (top + 1.0f) / 2.0f;
    const int columns = std::max(1, static_cast<int>(std::lround(std::sqrt(cells * bench::WIDTH / (bench::HEIGHT * height)))));
    const int rows = std::max(1, (cells + columns - 1) / columns);
    const GLuint first = static_cast<GLuint>(mesh.vertices.size());
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c <= columns; ++c) {
            const float x = -1 + 2.0f * c / columns, y = -1 + (top + 1) * r / rows;
            mesh.vertices.push_back({{x, y, z}, {0, 0, 1}, {(x + 1) * 4, (y + 1) * 3}});
        }
    // Cells row by row; the last row may be partly filled.
    int left = cells;
    for (int r = 0; r < rows && left > 0; ++r)
        for (int c = 0; c < columns && left > 0; ++c, --left) {
            const GLuint a = first + static_cast<GLuint>(r * (columns + 1) + c), b = a + 1;
            const GLuint d = a + static_cast<GLuint>(columns + 1), e = d + 1;
            for (GLuint i : {a, b, e, a, e, d}) mesh.indices.push_back(i);
        }
}

/// Layers back to front, so that every fragment passes the depth test; the
/// last one covers the remaining fraction of a screen.
Mesh buildLayers(long triangles, double screens)
{
    const int layers = std::max(1, static_cast<int>(std::ceil(screens)));
    Mesh mesh;
    long placed = 0;
    for (int k = 0; k < layers; ++k) {
        const double cover = std::min(1.0, screens - k);
        const long share = k + 1 == layers ? triangles - placed : std::lround(triangles * cover / screens);
        placed += share;
        appendLayer(mesh, static_cast<int>(std::max(1L, share / 2)), static_cast<float>(-1 + 2 * cover),
                    0.5f - 0.9f * static_cast<float>(k + 1) / static_cast<float>(layers + 1));
    }
    return mesh;
}

/// A mipmapped 256 × 256 picture, opaque, so that the alpha test passes
/// everywhere; read bilinearly from the nearest level, the cheapest filter
/// that does not shimmer.
GLuint makeTexture()
{
    std::vector<unsigned char> texels(256 * 256 * 4);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            unsigned char* t = &texels[static_cast<size_t>(y * 256 + x) * 4];
            t[0] = static_cast<unsigned char>(x);
            t[1] = static_cast<unsigned char>(128 + (x ^ y) / 2);
            t[2] = static_cast<unsigned char>(y);
            t[3] = 255;
        }
    return util::uploadTexture(texels.data(), 256, 256, GL_RGBA, GL_RGBA, GL_REPEAT, GL_LINEAR_MIPMAP_NEAREST, true);
}

void setState(GLsizei stride)
{
    glClearColor(0.3f, 0.5f, 0.9f, 1);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColor4f(0.8f, 0.9f, 0.7f, 1);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, reinterpret_cast<void*>(offsetof(Vertex, position)));
    glNormalPointer(GL_FLOAT, stride, reinterpret_cast<void*>(offsetof(Vertex, normal)));
    glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<void*>(offsetof(Vertex, uv)));
}

bool parseArguments(int argc, char** argv, bool& widget, long& triangles, double& screens, int& frames)
{
    if (argc < 4 || argc > 5) return false;
    widget = std::strcmp(argv[1], "widget") == 0;
    if (!widget && std::strcmp(argv[1], "window") != 0) return false;
    char* end = nullptr;
    triangles = std::strtol(argv[2], &end, 10);
    if (*end != '\0' || triangles < 2 || triangles > 10000000) return false;
    screens = std::strtod(argv[3], &end);
    if (*end != '\0' || !(screens > 0.0 && screens <= 64.0)) return false;
    if (argc == 5) {
        frames = static_cast<int>(std::strtol(argv[4], &end, 10));
        if (*end != '\0' || frames < 1 || frames > 100000) return false;
    }
    return true;
}

/// Draws the mesh every frame, as fast as the view can show it.
template <class Base>
class FloorView : public Base {
public:
    FloorView(const Mesh& mesh, bench::FrameTimes& times) : mesh_(mesh), times_(times) {}

protected:
    void initializeGL() override
    {
        glGenBuffers(2, buffers_);
        glBindBuffer(GL_ARRAY_BUFFER, buffers_[0]);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh_.vertices.size() * sizeof(Vertex)),
                     mesh_.vertices.data(), GL_STATIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers_[1]);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh_.indices.size() * sizeof(GLuint)),
                     mesh_.indices.data(), GL_STATIC_DRAW);
        texture_ = makeTexture();
    }
    void paintGL() override
    {
        times_.frameStarts();
        // Set every frame, as the scene does: the widget binds its own between frames.
        glBindTexture(GL_TEXTURE_2D, texture_);
        glBindBuffer(GL_ARRAY_BUFFER, buffers_[0]);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers_[1]);
        setState(sizeof(Vertex));
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh_.indices.size()), GL_UNSIGNED_INT, nullptr);
        this->update();
    }

private:
    const Mesh& mesh_;
    bench::FrameTimes& times_;
    GLuint buffers_[2] = {}, texture_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    // As the program does: the renderer's large per-frame buffers stay mapped.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    bool widget = true;
    long triangles = 0;
    double screens = 0;
    int frames = 300;
    if (!parseArguments(argc, argv, widget, triangles, screens, frames)) {
        std::fprintf(stderr, "usage: floor_frame widget|window TRIANGLES SCREENS [FRAMES]\n");
        return 2;
    }
    const Mesh mesh = buildLayers(triangles, screens);
    bench::useViewerSurface();
    QApplication app(argc, argv);
    bench::FrameTimes times(frames);
    if (widget)
        bench::showAndRun<FloorView<QOpenGLWidget>>(mesh, times);
    else
        bench::showAndRun<FloorView<QOpenGLWindow>>(mesh, times);
    std::printf("floor: %s, frames %d, median %.2f ms, p95 %.2f ms, triangles %zu, screens %.2f\n", argv[1], frames,
                times.median(), times.p95(), mesh.indices.size() / 3, screens);
    return 0;
}
