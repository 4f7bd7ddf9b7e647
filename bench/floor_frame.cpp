// The floor for a frame of the meadow on this renderer: the same number of
// triangles, lit, textured, depth- and alpha-tested, covering the screen as
// many times over as the scene's fragments, drawn from one indexed vertex buffer into
// a 780 × 580 window and swapped. Nothing the scene does can be cheaper, so
// the scene's frame time over this one says how much of it is overhead.
//
//   floor_frame TRIANGLES SCREENS [FRAMES]
//
// prints "floor: frames N, median X ms, p95 Y ms, triangles T, screens S".
#define GL_GLEXT_PROTOTYPES
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int WIDTH = 780, HEIGHT = 580;
constexpr int WARM_UP_FRAMES = 10;

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
    const int columns = std::max(1, static_cast<int>(std::lround(std::sqrt(cells * WIDTH / (HEIGHT * height)))));
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
void makeTexture()
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
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 256, 256, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
}

void setState(GLsizei stride)
{
    glViewport(0, 0, WIDTH, HEIGHT);
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

bool parseArguments(int argc, char** argv, long& triangles, double& screens, int& frames)
{
    if (argc < 3 || argc > 4) return false;
    char* end = nullptr;
    triangles = std::strtol(argv[1], &end, 10);
    if (*end != '\0' || triangles < 2 || triangles > 10000000) return false;
    screens = std::strtod(argv[2], &end);
    if (*end != '\0' || !(screens > 0.0 && screens <= 64.0)) return false;
    if (argc == 4) {
        frames = static_cast<int>(std::strtol(argv[3], &end, 10));
        if (*end != '\0' || frames <= WARM_UP_FRAMES || frames > 100000) return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // As the program does: the renderer's large per-frame buffers stay mapped.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    glutInit(&argc, argv);
    long triangles = 0;
    double screens = 0;
    int frames = 300;
    if (!parseArguments(argc, argv, triangles, screens, frames)) {
        std::fprintf(stderr, "usage: floor_frame TRIANGLES SCREENS [FRAMES]  (FRAMES above %d)\n", WARM_UP_FRAMES);
        return 2;
    }
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    glutInitWindowSize(WIDTH, HEIGHT);
    glutCreateWindow("floor");
    glutDisplayFunc([] {}); // frames are drawn by the loop below

    const Mesh mesh = buildLayers(triangles, screens);
    GLuint buffers[2] = {};
    glGenBuffers(2, buffers);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(Vertex)),
                 mesh.vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.indices.size() * sizeof(GLuint)),
                 mesh.indices.data(), GL_STATIC_DRAW);
    makeTexture();
    setState(sizeof(Vertex));

    std::vector<double> times;
    auto last = std::chrono::steady_clock::now();
    for (int frame = 0; frame < frames; ++frame) {
        glutMainLoopEvent();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.indices.size()), GL_UNSIGNED_INT, nullptr);
        glutSwapBuffers();
        const auto now = std::chrono::steady_clock::now();
        if (frame >= WARM_UP_FRAMES) times.push_back(std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
    }
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    const double median = n % 2 ? times[n / 2] : 0.5 * (times[n / 2 - 1] + times[n / 2]);
    const double p95 = times[std::max<size_t>(static_cast<size_t>(std::ceil(0.95 * static_cast<double>(n))), 1) - 1];
    std::printf("floor: frames %d, median %.2f ms, p95 %.2f ms, triangles %ld, screens %.2f\n", frames, median, p95,
                mesh.indices.size() / 3, screens);
    return 0;
}
